// Cell value formatting: implied decimals, grouping, separators, leading
// zero, zero text, hidden values and the dirty mark.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/style/format.h"

using namespace kavo;

namespace {

class CellFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No regional settings: formats start from "," and "." and a leading zero.
        m_prevProfile = SetProfileSource(
            [](const std::string&, const std::string&, std::string&) { return false; });
        m_fmt.m_strThousandSep = ",";
        m_fmt.m_strDecimalSep = ".";
    }
    void TearDown() override { SetProfileSource(std::move(m_prevProfile)); }

    std::string Text(std::int64_t v, int nDecimals, int bZeroBefore) {
        m_fmt.m_nDecimals = nDecimals;
        m_fmt.m_bZeroBeforeDecimal = bZeroBefore;
        return Text(v);
    }
    std::string Text(std::int64_t v) {
        CTblCell cell(v);
        cell.SetFormat(&m_fmt);
        cell.Format();
        EXPECT_FALSE(cell.IsDirty());
        return cell.GetText().str();
    }

    CFormat m_fmt;
    ProfileSource m_prevProfile;
};

}  // namespace

// --- the worked results --------------------------------------------------------

namespace {

struct Worked {
    std::int64_t value;
    int decimals;
    int zeroBefore;  // -1: either setting gives the text
    const char* text;
};

const Worked kWorked[] = {
    {7, 0, -1, "7"},
    {-998, 0, -1, "-998"},
    {1000, 0, -1, "1,000"},
    {-1234567, 0, -1, "-1,234,567"},
    {1234567, 2, -1, "12,345.67"},
    {-1234567, 3, -1, "-1,234.567"},
    {12, 2, 1, "0.12"},
    {12, 2, 0, ".12"},
    {-5, 2, 1, "-0.05"},
    {5, 3, 0, ".005"},
    {123456, 6, 1, "0.123456"},
};

}  // namespace

TEST_F(CellFormatTest, WorkedResults) {
    for (const Worked& w : kWorked) {
        for (int z = 0; z <= 1; ++z) {
            if (w.zeroBefore != -1 && w.zeroBefore != z) continue;
            EXPECT_EQ(Text(w.value, w.decimals, z), w.text)
                << "value " << w.value << ", decimals " << w.decimals << ", leading zero " << z;
        }
    }
}

TEST_F(CellFormatTest, ZeroShowsTheZeroTextWhateverTheFormat) {
    for (int d : {0, 2, 7})
        for (int z = 0; z <= 1; ++z) EXPECT_EQ(Text(0, d, z), "-");
    m_fmt.m_strZeroMask = "n/a";
    EXPECT_EQ(Text(0), "n/a");
}

TEST_F(CellFormatTest, SwappedSeparators) {
    m_fmt.m_strThousandSep = ".";
    m_fmt.m_strDecimalSep = ",";
    EXPECT_EQ(Text(1234567, 2, 1), "12.345,67");
}

// --- grouping ------------------------------------------------------------------

TEST_F(CellFormatTest, GroupingBoundaries) {
    EXPECT_EQ(Text(999, 0, 1), "999");
    EXPECT_EQ(Text(-999), "-999");
    EXPECT_EQ(Text(1000), "1,000");
    EXPECT_EQ(Text(-1000), "-1,000");
    EXPECT_EQ(Text(99999), "99,999");
    EXPECT_EQ(Text(100000), "100,000");
    EXPECT_EQ(Text(999999), "999,999");
    EXPECT_EQ(Text(1000000), "1,000,000");
    EXPECT_EQ(Text(-100000), "-100,000");
}

TEST_F(CellFormatTest, GroupingOfTheIntegerPartOnly) {
    // Three integer digits: no separator, however many decimals follow.
    EXPECT_EQ(Text(123456789, 6, 1), "123.456789");
    EXPECT_EQ(Text(1234567890, 6, 1), "1,234.567890");
    EXPECT_EQ(Text(-1000001, 1, 1), "-100,000.1");
}

TEST_F(CellFormatTest, SeparatorsOfSeveralCharacters) {
    m_fmt.m_strThousandSep = "<>";
    m_fmt.m_strDecimalSep = "::";
    EXPECT_EQ(Text(1234567890, 0, 1), "1<>234<>567<>890");
    EXPECT_EQ(Text(1234567, 2, 1), "12<>345::67");
    EXPECT_EQ(Text(-5, 2, 1), "-0::05");
    EXPECT_EQ(Text(-123456789, 3, 0), "-123<>456::789");
}

TEST_F(CellFormatTest, EmptySeparators) {
    m_fmt.m_strThousandSep = "";
    EXPECT_EQ(Text(1234567, 0, 1), "1234567");
    EXPECT_EQ(Text(-1234567, 2, 1), "-12345.67");
    m_fmt.m_strThousandSep = ",";
    m_fmt.m_strDecimalSep = "";
    EXPECT_EQ(Text(1234567, 2, 1), "12,34567");
    EXPECT_EQ(Text(12, 2, 1), "012");
    EXPECT_EQ(Text(12, 2, 0), "12");
}

// --- decimals and the leading zero ---------------------------------------------

TEST_F(CellFormatTest, PaddingWithAndWithoutTheLeadingZero) {
    // As many decimals as digits: exactly one zero before the separator.
    EXPECT_EQ(Text(123, 3, 1), "0.123");
    EXPECT_EQ(Text(123, 3, 0), ".123");
    // More decimals than digits: the padding goes after the separator.
    EXPECT_EQ(Text(5, 4, 1), "0.0005");
    EXPECT_EQ(Text(5, 4, 0), ".0005");
    EXPECT_EQ(Text(-42, 5, 1), "-0.00042");
    EXPECT_EQ(Text(-42, 5, 0), "-.00042");
    // An integer digit present: no extra zero whatever the setting.
    EXPECT_EQ(Text(1234, 3, 1), "1.234");
    EXPECT_EQ(Text(1234, 3, 0), "1.234");
}

TEST_F(CellFormatTest, TrailingZerosOfTheValueStay) {
    EXPECT_EQ(Text(1200, 2, 1), "12.00");
    EXPECT_EQ(Text(100, 2, 1), "1.00");
    EXPECT_EQ(Text(10, 2, 1), "0.10");
}

// --- hidden values ---------------------------------------------------------------

TEST_F(CellFormatTest, HiddenValues) {
    m_fmt.m_bHidden = 1;
    EXPECT_EQ(Text(0, 2, 1), "-");  // zero still shows the zero text
    EXPECT_EQ(Text(1234567), "");
    EXPECT_EQ(Text(-1), "");
    m_fmt.m_strZeroMask = "";
    EXPECT_EQ(Text(0), "");
}

// --- the dirty mark --------------------------------------------------------------

TEST_F(CellFormatTest, NoReformatWithoutAChangeOfValue) {
    CFormat other;
    other.m_nDecimals = 3;
    other.m_strThousandSep = " ";

    CTblCell cell(1234567);
    cell.SetFormat(&m_fmt);
    cell.Format();
    ASSERT_EQ(cell.GetText(), "1,234,567");

    cell.SetFormat(&other);  // a new format does not mark the cell
    EXPECT_FALSE(cell.IsDirty());
    cell.Format();
    EXPECT_EQ(cell.GetText(), "1,234,567");

    m_fmt.m_nDecimals = 2;  // nor does editing the format in place
    cell.SetFormat(&m_fmt);
    cell.Format();
    EXPECT_EQ(cell.GetText(), "1,234,567");

    cell.SetData(1234567);  // the same value changes nothing
    EXPECT_FALSE(cell.IsDirty());
    cell.Format();
    EXPECT_EQ(cell.GetText(), "1,234,567");

    cell.SetFormat(&other);
    cell.SetData(7654321);  // a new value is formatted with the format now in force
    EXPECT_TRUE(cell.IsDirty());
    cell.Format();
    EXPECT_FALSE(cell.IsDirty());
    EXPECT_EQ(cell.GetText(), "7 654.321");
}

TEST_F(CellFormatTest, NewCellIsDirtyEvenForZero) {
    CTblCell cell;
    EXPECT_TRUE(cell.IsDirty());
    cell.SetFormat(&m_fmt);
    cell.Format();
    EXPECT_EQ(cell.GetText(), "-");
}

TEST_F(CellFormatTest, CellWithoutFormatKeepsItsTextAndStaysDirty) {
    CTblCell cell(1234);
    cell.SetText("as loaded");
    cell.Format();
    EXPECT_EQ(cell.GetText(), "as loaded");
    EXPECT_TRUE(cell.IsDirty());
    // Once a format arrives the pending value is shown.
    cell.SetFormat(&m_fmt);
    cell.Format();
    EXPECT_EQ(cell.GetText(), "1,234");
}

TEST_F(CellFormatTest, ReformattingReusesTheTextBuffer) {
    CTblCell cell(std::numeric_limits<std::int64_t>::min());
    cell.SetFormat(&m_fmt);
    cell.Format();
    const char* pBuffer = cell.GetText().c_str();
    for (std::int64_t v : {INT64_C(12), INT64_C(-1234567890123), INT64_C(0), INT64_C(999999999999999)}) {
        cell.SetData(v);
        cell.Format();
        EXPECT_EQ(cell.GetText().c_str(), pBuffer) << v;
    }
    EXPECT_EQ(cell.GetText(), "999,999,999,999,999");
}

// --- values and counts outside the usual range -----------------------------------

TEST_F(CellFormatTest, ExtremeValues) {
    const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(Text(kMin, 0, 1), "-9,223,372,036,854,775,808");
    EXPECT_EQ(Text(kMax, 0, 1), "9,223,372,036,854,775,807");
    EXPECT_EQ(Text(kMin, 2, 1), "-92,233,720,368,547,758.08");
    EXPECT_EQ(Text(kMin, 19, 1), "-0.9223372036854775808");
    EXPECT_EQ(Text(kMin, 19, 0), "-.9223372036854775808");
    EXPECT_EQ(Text(kMin, 18, 0), "-9.223372036854775808");
    EXPECT_EQ(Text(kMin + 1, 0, 1), "-9,223,372,036,854,775,807");
}

TEST_F(CellFormatTest, TwentyDecimalsWithLeadingZero) {
    // The widest case of the usual range: twenty places and the zero before them.
    EXPECT_EQ(Text(-1, 20, 1), "-0.00000000000000000001");
    const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(Text(kMin, 20, 1), "-0.09223372036854775808");
}

TEST_F(CellFormatTest, NegativeDecimalCountActsAsNone) {
    EXPECT_EQ(Text(1234567, -3, 1), "1,234,567");
    EXPECT_EQ(Text(-5, -1, 1), "-5");
    EXPECT_EQ(Text(1234567, std::numeric_limits<int>::min(), 0), "1,234,567");
}

TEST_F(CellFormatTest, MoreThanTwentyDecimalsPadWithZeros) {
    EXPECT_EQ(Text(5, 25, 1), "0." + std::string(24, '0') + "5");
    EXPECT_EQ(Text(-1234567, 21, 0), "-." + std::string(14, '0') + "1234567");
    m_fmt.m_strDecimalSep = "::";
    EXPECT_EQ(Text(42, 40, 1), "0::" + std::string(38, '0') + "42");
}

TEST_F(CellFormatTest, HugeDecimalCountStaysBounded) {
    // A count read from a file is not checked; the text must still be a
    // well-formed number of modest size, not gigabytes of zeros.
    const std::string text = Text(-987, std::numeric_limits<int>::max(), 1);
    ASSERT_GE(text.size(), 7u);
    EXPECT_LT(text.size(), 4096u);
    EXPECT_EQ(text.substr(0, 3), "-0.");
    EXPECT_EQ(text.substr(text.size() - 3), "987");
    EXPECT_EQ(text.find_first_not_of('0', 3), text.size() - 3);
}

// --- against the step-by-step rules ------------------------------------------------

namespace {

// The rules as written: digits of the magnitude, then pad, leading zero,
// split and grouping by insertion from the right end, then the sign.
std::string ByTheRules(std::int64_t v, int d, bool bZeroBefore, const std::string& ts, const std::string& ds) {
    const bool bNeg = v < 0;
    std::string s = std::to_string(v);
    if (bNeg) s.erase(0, 1);
    if (d < 0) d = 0;
    if (d == 0) {
        for (int p = static_cast<int>(s.size()) - 3; p > 0; p -= 3) s.insert(static_cast<std::size_t>(p), ts);
    } else {
        if (d > static_cast<int>(s.size())) s.insert(0, static_cast<std::size_t>(d) - s.size(), '0');
        if (bZeroBefore && static_cast<int>(s.size()) == d) s.insert(0, "0");
        const std::size_t n = s.size();
        s = s.substr(0, n - static_cast<std::size_t>(d)) + ds + s.substr(n - static_cast<std::size_t>(d));
        for (int p = static_cast<int>(s.size() - ds.size()) - d - 3; p > 0; p -= 3)
            s.insert(static_cast<std::size_t>(p), ts);
    }
    return bNeg ? "-" + s : s;
}

}  // namespace

TEST_F(CellFormatTest, AgreesWithTheRulesAroundEveryPowerOfTen) {
    std::vector<std::int64_t> values = {1, -1, std::numeric_limits<std::int64_t>::max(),
                                        std::numeric_limits<std::int64_t>::min() + 1};
    std::int64_t p = 1;
    for (int k = 1; k <= 18; ++k) {
        p *= 10;
        for (std::int64_t v : {p - 1, p, p + 1, p * 9 / 10 + 7}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    const std::pair<const char*, const char*> seps[] = {{",", "."}, {"", ""}, {"<>", "::"}, {".", ","}};
    for (const auto& sep : seps) {
        m_fmt.m_strThousandSep = sep.first;
        m_fmt.m_strDecimalSep = sep.second;
        for (std::int64_t v : values)
            for (int d = -1; d <= 22; ++d)
                for (int z = 0; z <= 1; ++z)
                    ASSERT_EQ(Text(v, d, z), ByTheRules(v, d, z != 0, sep.first, sep.second))
                        << "value " << v << ", decimals " << d << ", leading zero " << z;
    }
}
