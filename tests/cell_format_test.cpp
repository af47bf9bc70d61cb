// Cell value formatting: implied decimals, grouping, separators, leading
// zero, zero text, hidden values and the dirty mark.
#include "host_test_support.h"

using namespace kavo;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

class CellFormatTest : public kavo_test::HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        m_fmt.Init();  // no regional settings: "," and "." and a leading zero
    }
    std::string Text(std::int64_t v, int nDecimals, int bZeroBefore) {
        m_fmt.m_nDecimals = nDecimals, m_fmt.m_bZeroBeforeDecimal = bZeroBefore;
        CTblCell cell(v);
        cell.SetFormat(&m_fmt), cell.Format();
        EXPECT_FALSE(cell.IsDirty());
        return cell.GetText().str();
    }
    CFormat m_fmt;
};

// zeroBefore -1: either setting gives the text.
struct Row { std::int64_t value; int decimals, zeroBefore; const char* text; };

const struct { const char *thousand, *decimal; std::vector<Row> rows; } kBlocks[] = {
    {",", ".", {
        // The worked results.
        {0, 0, -1, "-"}, {0, 2, -1, "-"}, {0, 7, -1, "-"},  // the zero text, whatever the format
        {7, 0, -1, "7"}, {-998, 0, -1, "-998"}, {1000, 0, -1, "1,000"}, {-1234567, 0, -1, "-1,234,567"},
        {1234567, 2, -1, "12,345.67"}, {-1234567, 3, -1, "-1,234.567"}, {12, 2, 1, "0.12"}, {12, 2, 0, ".12"},
        {-5, 2, 1, "-0.05"}, {5, 3, 0, ".005"}, {123456, 6, 1, "0.123456"},
        // Grouping: a separator in front of every full group of three but the first.
        {999, 0, -1, "999"}, {-999, 0, -1, "-999"}, {99999, 0, -1, "99,999"}, {100000, 0, -1, "100,000"},
        {-100000, 0, -1, "-100,000"}, {999999, 0, -1, "999,999"}, {1000000, 0, -1, "1,000,000"},
        // Only the integer part is grouped, however many decimals follow.
        {123456789, 6, -1, "123.456789"}, {1234567890, 6, -1, "1,234.567890"}, {-1000001, 1, 1, "-100,000.1"},
        // As many decimals as digits: one zero before the separator; more: the padding goes after it.
        {123, 3, 1, "0.123"}, {123, 3, 0, ".123"}, {5, 4, 1, "0.0005"}, {5, 4, 0, ".0005"},
        {-42, 5, 1, "-0.00042"}, {-42, 5, 0, "-.00042"}, {1234, 3, -1, "1.234"},
        {1200, 2, -1, "12.00"}, {100, 2, -1, "1.00"}, {10, 2, 1, "0.10"},  // trailing zeros stay
        // The most negative value has its full magnitude.
        {kMin, 0, -1, "-9,223,372,036,854,775,808"}, {kMax, 0, -1, "9,223,372,036,854,775,807"},
        {kMin + 1, 0, -1, "-9,223,372,036,854,775,807"}, {kMin, 2, -1, "-92,233,720,368,547,758.08"},
        {kMin, 18, -1, "-9.223372036854775808"}, {kMin, 19, 1, "-0.9223372036854775808"},
        {kMin, 19, 0, "-.9223372036854775808"},
        // Twenty places and the zero before them fill the work buffer.
        {-1, 20, 1, "-0.00000000000000000001"}, {kMin, 20, 1, "-0.09223372036854775808"},
        // A negative decimal count acts as none.
        {1234567, -3, -1, "1,234,567"}, {-5, -1, -1, "-5"}, {1234567, INT_MIN, -1, "1,234,567"},
    }},
    {".", ",", {{1234567, 2, -1, "12.345,67"}}},
    {"<>", "::", {{1234567890, 0, -1, "1<>234<>567<>890"}, {1234567, 2, -1, "12<>345::67"},
                  {-5, 2, 1, "-0::05"}, {-123456789, 3, 0, "-123<>456::789"}}},
    {"", ".", {{1234567, 0, -1, "1234567"}, {-1234567, 2, -1, "-12345.67"}}},
    {",", "", {{1234567, 2, -1, "12,34567"}, {12, 2, 1, "012"}, {12, 2, 0, "12"}}},
};


TEST_F(CellFormatTest, ValuesThroughFormats) {
    for (const auto& block : kBlocks) {
        m_fmt.m_strThousandSep = block.thousand, m_fmt.m_strDecimalSep = block.decimal;
        for (const Row& r : block.rows) {
            // Both settings of the leading zero, or the one the row names.
            for (int z = r.zeroBefore == 1 ? 1 : 0; z <= (r.zeroBefore == 0 ? 0 : 1); ++z)
                EXPECT_EQ(Text(r.value, r.decimals, z), r.text)
                    << block.thousand << block.decimal << " " << r.value << " " << r.decimals << " " << z;
        }
    }
}

TEST_F(CellFormatTest, ManyDecimalsPadWithZerosUpToABoundAndHiddenValuesShowNoDigits) {
    EXPECT_EQ(Text(5, 25, 1), "0." + std::string(24, '0') + "5");
    EXPECT_EQ(Text(-1234567, 21, 0), "-." + std::string(14, '0') + "1234567");
    m_fmt.m_strDecimalSep = "::";
    // A count from a file is not checked; the text must still be a
    // well-formed number of modest size, not gigabytes of zeros.
    const std::string text = Text(-987, std::numeric_limits<int>::max(), 1);
    EXPECT_LT(text.size(), 4096u);
    EXPECT_EQ(text.find_first_not_of('0', 4), text.size() - 3);
    EXPECT_EQ(text.substr(0, 4) + text.substr(text.size() - 3), "-0::987");
    m_fmt.m_bHidden = 1, m_fmt.m_strZeroMask = "n/a";  // hidden values show nothing but the zero text
    EXPECT_EQ(Text(0, 2, 1), "n/a");
    EXPECT_EQ(Text(1234567, 0, 1), "");
    EXPECT_EQ(Text(-1, 2, 0), "");
}

TEST_F(CellFormatTest, OnlyANewValueWithAFormatIsFormattedAgainInTheSameBuffer) {
    CFormat other = m_fmt;
    other.m_nDecimals = 3, other.m_strThousandSep = " ";
    CTblCell cell(kMin);
    cell.SetFormat(&m_fmt), cell.Format();
    const char* pBuffer = cell.GetText().c_str();
    m_fmt.m_nDecimals = 2;  // editing the format in place does not mark the cell ...
    cell.SetFormat(&other);  // ... nor does a new format, nor the same value
    cell.SetData(kMin);
    EXPECT_FALSE(cell.IsDirty());
    cell.Format();
    EXPECT_EQ(cell.GetText(), "-9,223,372,036,854,775,808");
    const std::pair<std::int64_t, const char*> values[] = {
        {7654321, "7 654.321"}, {-1234567890123, "-1 234 567 890.123"}, {0, "-"}};
    for (const auto& v : values) {
        cell.SetData(v.first);  // a new value is formatted with the format now in force
        EXPECT_TRUE(cell.IsDirty());
        cell.Format();
        EXPECT_EQ(cell.GetText(), v.second);
        EXPECT_EQ(cell.GetText().c_str(), pBuffer);  // the text buffer is reused
    }
    CTblCell loaded(1234);  // a cell without a format keeps its text and stays dirty
    loaded.SetText("as loaded"), loaded.Format();
    EXPECT_EQ(loaded.GetText(), "as loaded");
    EXPECT_TRUE(loaded.IsDirty());
    loaded.SetFormat(&m_fmt), loaded.Format();  // a format arrives: the pending value, two decimals now
    EXPECT_EQ(loaded.GetText(), "12.34");
}
