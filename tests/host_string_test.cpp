#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/string.h"

using kavo::CKAVOString;

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

}  // namespace

// ---- Val and IsNumeric ----------------------------------------------------

TEST(StringNumber, ValReadsSignedDecimals) {
    EXPECT_EQ(CKAVOString("").Val(), 0);
    EXPECT_EQ(CKAVOString("-").Val(), 0);
    EXPECT_EQ(CKAVOString("+5").Val(), 5);
    EXPECT_EQ(CKAVOString("-42").Val(), -42);
    EXPECT_EQ(CKAVOString(" 12 ").Val(), 12);
    EXPECT_EQ(CKAVOString("\t7").Val(), 7);
    EXPECT_EQ(CKAVOString("007").Val(), 7);
}

TEST(StringNumber, ValStopsAtFirstOtherCharacter) {
    EXPECT_EQ(CKAVOString("12x").Val(), 12);
    EXPECT_EQ(CKAVOString("12 34").Val(), 12);
    EXPECT_EQ(CKAVOString("1,200").Val(), 1);
    EXPECT_EQ(CKAVOString("x12").Val(), 0);
    EXPECT_EQ(CKAVOString("- 5").Val(), 0);  // the sign must touch the digits
    EXPECT_EQ(CKAVOString("--5").Val(), 0);
}

TEST(StringNumber, ValReachesBothEndsOfTheRangeExactly) {
    EXPECT_EQ(CKAVOString("9223372036854775807").Val(), kMax);
    EXPECT_EQ(CKAVOString("-9223372036854775808").Val(), kMin);
    EXPECT_EQ(CKAVOString("-9223372036854775807").Val(), kMin + 1);
}

TEST(StringNumber, ValSaturatesBeyondTheRange) {
    EXPECT_EQ(CKAVOString("9223372036854775808").Val(), kMax);
    EXPECT_EQ(CKAVOString("-9223372036854775809").Val(), kMin);
    EXPECT_EQ(CKAVOString("99999999999999999999999999999").Val(), kMax);
    EXPECT_EQ(CKAVOString("-99999999999999999999999999999").Val(), kMin);
}

TEST(StringNumber, IsNumericNeedsTheWholeStringToBeANumber) {
    EXPECT_FALSE(CKAVOString("").IsNumeric());
    EXPECT_FALSE(CKAVOString("   ").IsNumeric());
    EXPECT_FALSE(CKAVOString("-").IsNumeric());
    EXPECT_FALSE(CKAVOString("+").IsNumeric());
    EXPECT_FALSE(CKAVOString("12x").IsNumeric());
    EXPECT_FALSE(CKAVOString("1 2").IsNumeric());
    EXPECT_FALSE(CKAVOString("1.5").IsNumeric());
    EXPECT_TRUE(CKAVOString("+5").IsNumeric());
    EXPECT_TRUE(CKAVOString(" 12 ").IsNumeric());
    EXPECT_TRUE(CKAVOString("-0").IsNumeric());
}

TEST(StringNumber, IsNumericRejectsValuesOutsideTheRange) {
    EXPECT_TRUE(CKAVOString("9223372036854775807").IsNumeric());
    EXPECT_TRUE(CKAVOString("-9223372036854775808").IsNumeric());
    EXPECT_FALSE(CKAVOString("9223372036854775808").IsNumeric());
    EXPECT_FALSE(CKAVOString("-9223372036854775809").IsNumeric());
}

TEST(StringNumber, StrGivesPlainDecimalText) {
    CKAVOString s;
    EXPECT_EQ(s.Str(0, -1, ' '), "0");
    EXPECT_EQ(s.Str(-17, -1, ' '), "-17");
    EXPECT_EQ(s.Str(kMax, -1, ' '), "9223372036854775807");
    EXPECT_EQ(s.Str(kMin, -1, ' '), "-9223372036854775808");
    EXPECT_EQ(s.Str(42, 5, '*'), "***42");
    EXPECT_EQ(s.Str(12345, 3, ' '), "12345");  // never cut
}

TEST(StringNumber, I64toaWritesBothEnds) {
    char buf[21];
    EXPECT_STREQ(kavo::i64toa(kMin, buf), "-9223372036854775808");
    EXPECT_STREQ(kavo::i64toa(kMax, buf), "9223372036854775807");
    EXPECT_STREQ(kavo::i64toa(0, buf), "0");
    EXPECT_STREQ(kavo::i64toa(-5, buf), "-5");
    EXPECT_EQ(kavo::i64toa(7, buf), buf);
}

// ---- GetNextWord -------------------------------------------------------------

TEST(StringWords, TwoItems) {
    CKAVOString s("1200, 800");
    EXPECT_EQ(s.GetNextWord(), "1200");
    EXPECT_EQ(s, "800");
    EXPECT_EQ(s.GetNextWord(), "800");
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetNextWord(), "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringWords, CommaWithoutBlankDoesNotSeparate) {
    CKAVOString s("a,b, c");
    EXPECT_EQ(s.GetNextWord(), "a,b");
    EXPECT_EQ(s.GetNextWord(), "c");
}

TEST(StringWords, EmptyItemsComeBackEmpty) {
    CKAVOString s(", x, , y");
    EXPECT_EQ(s.GetNextWord(), "");
    EXPECT_EQ(s.GetNextWord(), "x");
    EXPECT_EQ(s.GetNextWord(), "");
    EXPECT_EQ(s.GetNextWord(), "y");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringWords, TrailingSeparatorLeavesNothing) {
    CKAVOString s("1, 2, ");
    EXPECT_EQ(s.GetNextWord(), "1");
    EXPECT_EQ(s.GetNextWord(), "2");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringWords, ItemsKeepInnerBlanks) {
    CKAVOString s("New York, Los Angeles");
    EXPECT_EQ(s.GetNextWord(), "New York");
    EXPECT_EQ(s.GetNextWord(), "Los Angeles");
}

// ---- Substrings and searching ------------------------------------------

TEST(StringParts, LeftRightMidTakeWhatIsAsked) {
    const CKAVOString s("abcdef");
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Right(2), "ef");
    EXPECT_EQ(s.Mid(2), "cdef");
    EXPECT_EQ(s.Mid(1, 3), "bcd");
}

TEST(StringParts, ArgumentsAreClamped) {
    const CKAVOString s("abc");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(10), "abc");
    EXPECT_EQ(s.Right(-3), "");
    EXPECT_EQ(s.Right(10), "abc");
    EXPECT_EQ(s.Mid(-2), "abc");
    EXPECT_EQ(s.Mid(3), "");
    EXPECT_EQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(1, 100), "bc");
    EXPECT_EQ(s.Mid(1, -1), "");
    EXPECT_EQ(CKAVOString().Mid(0, 1), "");
}

TEST(StringParts, FindAndInsert) {
    CKAVOString s("a, b, c");
    EXPECT_EQ(s.Find(", "), 1);
    EXPECT_EQ(s.Find(", ", 2), 4);
    EXPECT_EQ(s.Find("z"), -1);
    EXPECT_EQ(s.Find("a", 100), -1);
    EXPECT_EQ(s.Find("a", -5), 0);
    CKAVOString t("ace");
    EXPECT_EQ(t.Insert(1, "b"), 4);
    EXPECT_EQ(t, "abce");
    EXPECT_EQ(t.Insert(99, "!"), 5);
    EXPECT_EQ(t, "abce!");
    EXPECT_EQ(t.Insert(-3, ">"), 6);
    EXPECT_EQ(t, ">abce!");
}

TEST(StringParts, CaseAndTrimming) {
    CKAVOString s("  Mixed Case\xC3\xA9 \t");
    s.TrimLeft();
    EXPECT_EQ(s, "Mixed Case\xC3\xA9 \t");
    s.TrimRight();
    EXPECT_EQ(s, "Mixed Case\xC3\xA9");
    s.MakeUpper();
    EXPECT_EQ(s, "MIXED CASE\xC3\xA9");  // bytes beyond ASCII untouched
    s.MakeLower();
    EXPECT_EQ(s, "mixed case\xC3\xA9");
}

TEST(StringParts, BytesPassThroughIncludingZero) {
    const char raw[] = {'a', '\0', 'b'};
    CKAVOString s(raw, 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.Right(1), "b");
    EXPECT_EQ(s.Mid(1, 1).GetLength(), 1);
}

// ---- Comparison ----------------------------------------------------------

TEST(StringCompare, CompareNoCaseIgnoresAsciiCaseOnly) {
    EXPECT_EQ(CKAVOString("[Table]").CompareNoCase("[TABLE]"), 0);
    EXPECT_EQ(CKAVOString("Default").CompareNoCase("default"), 0);
    EXPECT_NE(CKAVOString("Tabl").CompareNoCase("Table"), 0);
    EXPECT_NE(CKAVOString("Table").CompareNoCase("Tabl"), 0);
    EXPECT_NE(CKAVOString("\xC3\xA9").CompareNoCase("\xC3\x89"), 0);  // not ASCII letters
    EXPECT_EQ(CKAVOString("").CompareNoCase(""), 0);
    EXPECT_NE(CKAVOString("").CompareNoCase("a"), 0);
}

TEST(StringCompare, OrderingSigns) {
    EXPECT_LT(CKAVOString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(CKAVOString("abd").CompareNoCase("ABC"), 0);
    EXPECT_LT(CKAVOString("ab").CompareNoCase("abc"), 0);
    EXPECT_LT(CKAVOString("abc").Compare("abd"), 0);
    EXPECT_GT(CKAVOString("b").Compare("a"), 0);
    EXPECT_EQ(CKAVOString("x").Compare("x"), 0);
    EXPECT_LT(CKAVOString("a").Compare("\xE9"), 0);  // bytes compare unsigned
    EXPECT_GT(CKAVOString("x").Compare(nullptr), 0);
}

// ---- Longest word ------------------------------------------------------------

TEST(StringLongestWord, UsesTheWidestWordAndTheLineHeight) {
    kavo::CRecordingDC dc;  // no font: 8 units a byte, 16 a line
    EXPECT_EQ(CKAVOString("a bbb  cc").GetLongestWordSize(&dc), kavo::CSize(3 * 8, 16));
    EXPECT_EQ(CKAVOString("one\ttwo\nthree\r\nxy").GetLongestWordSize(&dc), kavo::CSize(5 * 8, 16));
    EXPECT_EQ(CKAVOString("single").GetLongestWordSize(&dc), kavo::CSize(6 * 8, 16));
}

TEST(StringLongestWord, FollowsTheSelectedFont) {
    kavo::CRecordingDC dc;
    kavo::LOGFONT lf;
    lf.lfHeight = -20;  // 10 units a byte, 20 a line
    kavo::CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    EXPECT_EQ(CKAVOString("ab abcd").GetLongestWordSize(&dc), kavo::CSize(40, 20));
}

TEST(StringLongestWord, NothingToMeasure) {
    kavo::CRecordingDC dc;
    EXPECT_EQ(CKAVOString("").GetLongestWordSize(&dc), kavo::CSize(0, 0));
    EXPECT_EQ(CKAVOString(" \t\r\n ").GetLongestWordSize(&dc), kavo::CSize(0, 0));
    EXPECT_EQ(CKAVOString("word").GetLongestWordSize(nullptr), kavo::CSize(0, 0));
}
