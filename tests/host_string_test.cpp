// The utility byte string and its decimal conversions.
#include "host_test_support.h"

using kavo::CKAVOString;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(StringNumber, DecimalTextBothWays) {
    const struct { const char* text; std::int64_t val; bool numeric; } cases[] = {
        {"", 0, false},     {"   ", 0, false}, {"-", 0, false},     {"+5", 5, true},     {"-42", -42, true},
        {" 12 ", 12, true}, {"\t7", 7, true},   {"007", 7, true},    {"-0", 0, true},     {"12x", 12, false},
        {"12 34", 12, false}, {"1.5", 1, false}, {"x12", 0, false}, {"--5", 0, false},
        {"- 5", 0, false},  // the sign touches the digits
        {"9223372036854775807", kMax, true}, {"-9223372036854775808", kMin, true},
        // Beyond the range Val saturates and the text is no number.
        {"9223372036854775808", kMax, false}, {"-9223372036854775809", kMin, false},
        {"99999999999999999999999999999", kMax, false}, {"-99999999999999999999999999999", kMin, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CKAVOString(c.text).Val(), c.val) << '"' << c.text << '"';
        EXPECT_EQ(CKAVOString(c.text).IsNumeric() != 0, c.numeric) << '"' << c.text << '"';
    }
    CKAVOString s;
    EXPECT_EQ(s.Str(kMin, -1, ' '), "-9223372036854775808");
    EXPECT_EQ(s.Str(42, 5, '*'), "***42");
    EXPECT_EQ(s.Str(-12345, 3, ' '), "-12345");  // never cut
    char buf[21];
    EXPECT_EQ(kavo::i64toa(kMax, buf), buf);
    EXPECT_STREQ(buf, "9223372036854775807");
}

TEST(StringWords, ItemsOfACommaBlankListAndTheWidestWord) {
    // A comma without a blank does not separate; a trailing separator leaves nothing.
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"1200, 800", {"1200", "800"}}, {"a,b, c", {"a,b", "c"}}, {", x, , y", {"", "x", "", "y"}},
        {"New York, Los Angeles, ", {"New York", "Los Angeles"}},
    };
    for (const auto& c : cases) {
        CKAVOString s(c.first);
        std::vector<std::string> items;
        do items.push_back(s.GetNextWord().str());
        while (!s.IsEmpty());
        EXPECT_EQ(items, c.second) << c.first;
        EXPECT_EQ(s.GetNextWord(), "");
    }
    kavo::CRecordingDC dc;  // no font: 8 units a byte, 16 a line
    EXPECT_EQ(CKAVOString("one\ttwo\nthree\r\nxy  a").GetLongestWordSize(&dc), kavo::CSize(5 * 8, 16));
    EXPECT_EQ(CKAVOString(" \t\r\n ").GetLongestWordSize(&dc), kavo::CSize(0, 0));
    EXPECT_EQ(CKAVOString("word").GetLongestWordSize(nullptr), kavo::CSize(0, 0));
}

TEST(StringParts, ClampedSubstringsAndCaseOfAsciiLettersOnly) {
    const CKAVOString s("abcdef");
    const std::pair<CKAVOString, const char*> parts[] = {
        {s.Left(2), "ab"},   {s.Right(2), "ef"},     {s.Mid(1, 3), "bcd"},    {s.Left(-1), ""},
        {s.Left(10), "abcdef"}, {s.Right(-3), ""},   {s.Right(10), "abcdef"}, {s.Mid(-2), "abcdef"},
        {s.Mid(10), ""},     {s.Mid(4, 100), "ef"},  {s.Mid(1, -1), ""},      {CKAVOString().Mid(0, 1), ""},
        {CKAVOString(std::string("a\0b", 3)).Right(1), "b"},  // bytes pass through, a zero byte too
    };
    for (const auto& p : parts) EXPECT_EQ(p.first, p.second);
    EXPECT_EQ((std::vector<int>{s.Find("cd", 3), s.Find("a", -5), s.Find("a", 100)}),
              (std::vector<int>{-1, 0, -1}));
    CKAVOString u("ace");
    EXPECT_EQ((u.Insert(99, "!"), u.Insert(-3, ">")), 5);
    EXPECT_EQ(u, ">ace!");
    CKAVOString m(" \t Mixed Case\xC3\xA9 \t\r\n");
    m.TrimLeft(), m.TrimRight(), m.MakeUpper();
    EXPECT_EQ(m, "MIXED CASE\xC3\xA9");  // bytes beyond ASCII untouched
    m.MakeLower();
    EXPECT_EQ(m, "mixed case\xC3\xA9");
    const struct { const char *a, *b; int nocase, exact; } cases[] = {
        {"[Table]", "[TABLE]", 0, 1}, {"", "a", -1, -1}, {"abd", "ABC", 1, 1}, {"Tabl", "Table", -1, -1},
        {"Table", "Tabl", 1, 1}, {"\xC3\xA9", "\xC3\x89", 1, 1},  // not ASCII letters
        {"a", "\xE9", -1, -1},                                    // bytes compare unsigned
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(CKAVOString(c.a).CompareNoCase(c.b)), c.nocase) << c.a << " " << c.b;
        EXPECT_EQ(sign(CKAVOString(c.a).Compare(c.b)), c.exact) << c.a << " " << c.b;
    }
    EXPECT_GT(CKAVOString("x").Compare(nullptr), 0);
}
