// Message boxes, profile values and their replaceable handlers.
#include "host_test_support.h"

using kavo::CKAVOString;

static std::string Get(const char* section, const char* key, const char* def, int size = 50) {
    char buf[64] = "untouched";
    const int n = kavo::GetProfileString(section, key, def, buf, size);
    EXPECT_EQ(n, static_cast<int>(std::string(buf).size()));
    return buf;
}


TEST(Handlers, MessageBoxesAndProfileSourcesInstalledOrDefault) {
    std::vector<std::string> seen;
    auto original = kavo::SetMessageBoxHandler([&](const CKAVOString& text, unsigned type) {
        seen.push_back(text.str() + "/" + std::to_string(type));
        return 7;
    });
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("hello\nworld"), kavo::MB_ICONSTOP), 7);
    auto prev = kavo::SetMessageBoxHandler(kavo::MessageBoxHandler());
    EXPECT_EQ(prev(CKAVOString("plain"), kavo::MB_OK), 7);  // the one installed before
    EXPECT_EQ(seen, (std::vector<std::string>{"hello\nworld/16", "plain/0"}));  // MB_ICONSTOP is 16, MB_OK 0
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(kavo::KAVOMessageBox(CKAVOString("to stderr")), kavo::IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to stderr\n");
    kavo::SetMessageBoxHandler(original);
    // Profile values come from the installed or the default source, cut to the buffer.
    std::vector<std::string> asked;
    auto was = kavo::SetProfileSource([&](const std::string& sect, const std::string& key, std::string& v) {
        asked.push_back(sect + "/" + key);
        v = "abcdef";
        return key == "sDecimal";
    });
    EXPECT_EQ(Get("intl", "sDecimal", "", 4), "abc");
    EXPECT_EQ(Get("intl", "sThousand", "'"), "'");  // the default fills a gap
    char buf[4] = "xyz";  // a zero-sized buffer is left alone
    EXPECT_EQ(kavo::GetProfileString("intl", "sDecimal", "", buf, 0) +
                  kavo::GetProfileString("intl", "sDecimal", "", nullptr, 10), 0);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(asked, (std::vector<std::string>{"intl/sDecimal", "intl/sThousand"}));
    // An empty source restores the default one, which reads the INI file named by the environment.
    const char* old = std::getenv("KAVO_WININI");
    const std::string oldValue = old ? old : "";
    kavo::SetProfileSource(kavo::ProfileSource());
    const std::string path = std::filesystem::temp_directory_path() / ("kavo" + std::to_string(::getpid()));
    ::setenv("KAVO_WININI", path.c_str(), 1);
    EXPECT_EQ(Get("intl", "sDecimal", "."), ".");  // no file yet: the default
    std::ofstream(path, std::ios::binary) << "; regional settings\n[windows]\nsDecimal=wrong section\n"
                                             "[ INTL ]\r\n  sdecimal = ,  \r\n;sThousand=commented out\n"
                                             "sThousand=.\niLZero=0\nsThousand=later duplicate\n"
                                             "[other]\niLZero=1\n";
    EXPECT_EQ(Get("intl", "sDecimal", "?"), ",");
    EXPECT_EQ(Get("Intl", "SThousand", "?"), ".");
    EXPECT_EQ(Get("intl", "iLZero", "?"), "0");
    EXPECT_EQ(Get("missing", "iLZero", "dflt"), "dflt");
    kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    EXPECT_EQ(Get("intl", "sDecimal", "."), ".");  // an installed source wins over the file
    kavo::SetProfileSource(was);
    old ? ::setenv("KAVO_WININI", oldValue.c_str(), 1) : ::unsetenv("KAVO_WININI");
    std::filesystem::remove(path);
}
