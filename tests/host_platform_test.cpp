#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "kavotbl/host/platform.h"

using kavo::CKAVOString;

// ---- Message boxes -----------------------------------------------------------

TEST(MessageBox, HandlerSeesTextAndTypeAndAnswers) {
    std::vector<std::pair<std::string, unsigned>> seen;
    auto prev = kavo::SetMessageBoxHandler([&](const CKAVOString& text, unsigned type) {
        seen.emplace_back(text.str(), type);
        return 7;
    });
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("hello\nworld"), kavo::MB_ICONSTOP), 7);
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("second")), 7);
    kavo::SetMessageBoxHandler(prev);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, "hello\nworld");
    EXPECT_EQ(seen[0].second, static_cast<unsigned>(kavo::MB_ICONSTOP));
    EXPECT_EQ(seen[1].second, static_cast<unsigned>(kavo::MB_OK));
}

TEST(MessageBox, SetReturnsThePreviousHandlerAndEmptyRestoresTheDefault) {
    int first = 0, second = 0;
    auto original = kavo::SetMessageBoxHandler([&](const CKAVOString&, unsigned) { ++first; return 1; });
    auto prev = kavo::SetMessageBoxHandler([&](const CKAVOString&, unsigned) { ++second; return 2; });
    ASSERT_TRUE(static_cast<bool>(prev));
    EXPECT_EQ(prev(CKAVOString("x"), 0), 1);  // the one installed first
    EXPECT_EQ(first, 1);
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("y")), 2);
    EXPECT_EQ(second, 1);

    kavo::SetMessageBoxHandler(kavo::MessageBoxHandler());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("to stderr")), kavo::IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr\n");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    kavo::SetMessageBoxHandler(original);
}

// ---- Profile values ------------------------------------------------------------

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevSource = kavo::SetProfileSource(kavo::ProfileSource());
        if (const char* old = std::getenv("KAVO_WININI")) m_oldEnv = old, m_hadEnv = true;
        m_path = (std::filesystem::temp_directory_path() /
                  ("kavotbl_win_" + std::to_string(::getpid()) + ".ini")).string();
    }
    void TearDown() override {
        kavo::SetProfileSource(m_prevSource);
        if (m_hadEnv)
            ::setenv("KAVO_WININI", m_oldEnv.c_str(), 1);
        else
            ::unsetenv("KAVO_WININI");
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    void WriteIni(const std::string& text) {
        std::ofstream(m_path, std::ios::binary) << text;
        ::setenv("KAVO_WININI", m_path.c_str(), 1);
    }
    static std::string Get(const char* section, const char* key, const char* def, int size = 50) {
        char buf[64] = "untouched";
        const int n = kavo::GetProfileString(section, key, def, buf, size);
        EXPECT_EQ(n, static_cast<int>(std::string(buf).size()));
        return buf;
    }

    kavo::ProfileSource m_prevSource;
    std::string m_oldEnv;
    bool m_hadEnv = false;
    std::string m_path;
};

TEST_F(Profile, InstalledSourceAnswersAndDefaultsFillTheGaps) {
    std::vector<std::string> asked;
    kavo::SetProfileSource([&](const std::string& section, const std::string& key, std::string& value) {
        asked.push_back(section + "/" + key);
        if (key == "sDecimal") {
            value = ",";
            return true;
        }
        return false;
    });
    EXPECT_EQ(Get("intl", "sDecimal", "."), ",");
    EXPECT_EQ(Get("intl", "sThousand", "'"), "'");
    EXPECT_EQ(asked, (std::vector<std::string>{"intl/sDecimal", "intl/sThousand"}));
}

TEST_F(Profile, ValuesAreCutToTheBuffer) {
    kavo::SetProfileSource([](const std::string&, const std::string&, std::string& value) {
        value = "abcdef";
        return true;
    });
    EXPECT_EQ(Get("s", "k", "", 4), "abc");
    EXPECT_EQ(Get("s", "k", "", 1), "");
    char buf[4] = "xyz";
    EXPECT_EQ(kavo::GetProfileString("s", "k", "", buf, 0), 0);
    EXPECT_STREQ(buf, "xyz");  // a zero-sized buffer is left alone
    EXPECT_EQ(kavo::GetProfileString("s", "k", "", nullptr, 10), 0);
}

TEST_F(Profile, IniFileNamedByTheEnvironment) {
    WriteIni("; regional settings\n"
             "[windows]\nsDecimal=wrong section\n"
             "[ INTL ]\r\n"
             "  sdecimal = ,  \r\n"
             ";sThousand=commented out\n"
             "sThousand=.\n"
             "iLZero=0\n"
             "sThousand=later duplicate\n"
             "[other]\niLZero=1\n");
    EXPECT_EQ(Get("intl", "sDecimal", "?"), ",");
    EXPECT_EQ(Get("Intl", "SThousand", "?"), ".");
    EXPECT_EQ(Get("intl", "iLZero", "?"), "0");
    EXPECT_EQ(Get("intl", "sList", "dflt"), "dflt");
    EXPECT_EQ(Get("missing", "iLZero", "dflt"), "dflt");
}

TEST_F(Profile, UnreadableIniFileGivesTheDefault) {
    ::setenv("KAVO_WININI", (m_path + ".absent").c_str(), 1);
    EXPECT_EQ(Get("intl", "sDecimal", "."), ".");
    EXPECT_EQ(Get("intl", "iLZero", "1"), "1");
}

TEST_F(Profile, InstalledSourceWinsOverTheFile) {
    WriteIni("[intl]\nsDecimal=,\n");
    auto prev = kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    EXPECT_FALSE(static_cast<bool>(prev));  // the default was in force
    EXPECT_EQ(Get("intl", "sDecimal", "."), ".");
    kavo::SetProfileSource(kavo::ProfileSource());
    EXPECT_EQ(Get("intl", "sDecimal", "."), ",");
}

// ---- Wait cursor ---------------------------------------------------------------

TEST(WaitCursor, HooksRunAndDefaultsDoNothing) {
    kavo::BeginWaitCursor();  // no hooks: nothing happens
    kavo::EndWaitCursor();
    int depth = 0, calls = 0;
    kavo::SetWaitCursorHooks([&] { ++depth, ++calls; }, [&] { --depth, ++calls; });
    kavo::BeginWaitCursor();
    EXPECT_EQ(depth, 1);
    kavo::EndWaitCursor();
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(calls, 2);
    kavo::SetWaitCursorHooks(nullptr, nullptr);
    kavo::BeginWaitCursor();
    EXPECT_EQ(calls, 2);
}
