// Helpers shared by the host, style and cell format tests: the lines of a
// table file, captured message boxes, fixed regional settings and field-wise
// comparison of styles and formats.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "kavotbl/host/host.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

namespace kavo_test {

using Strings = std::vector<std::string>;

using Line = std::pair<std::string, std::string>;  // key and value
using Lines = std::vector<Line>;

/// Every line a reader returns, until end of file.
inline Lines ReadAll(kavo::CSpecFile& f) {
    Lines lines;
    for (kavo::CKAVOString k, v; f.GetLine(k, v) == 0;) lines.push_back({k.str(), v.str()});
    return lines;
}
inline Lines ReadLines(std::string text) {
    kavo::CSpecFile f;
    return f.OpenText(std::move(text)), ReadAll(f);
}

/// The text that an object's Save writes.
template <class T>
std::string SavedText(const T& ob) {
    kavo::CSpecFile out;
    out.OpenTextWrite();
    ob.Save(out);
    return out.GetText();
}

/// The fields that the reader and writer of a style or format deal in.
inline Strings Fields(const kavo::CStyle& s) {
    Strings f = {s.m_strLabel.str(), std::to_string(s.m_crColor), std::to_string(s.m_nHorJust),
                 std::to_string(s.m_nVertJust)};
    for (kavo::LINES l : {s.m_lineLeft, s.m_lineTop, s.m_lineRight, s.m_lineBottom, s.m_borderLeft,
                          s.m_borderTop, s.m_borderRight, s.m_borderBottom})
        f.push_back(std::to_string(l));
    for (int n : {s.m_nFontSize, s.m_nFontBold, s.m_nFontItalic}) f.push_back(std::to_string(n));
    f.push_back(s.m_strFontFace.str());
    return f;
}
inline Strings Fields(const kavo::CFormat& f) {
    return {f.m_strLabel.str(),     std::to_string(f.m_nDecimals), f.m_strThousandSep.str(),
            f.m_strDecimalSep.str(), f.m_strZeroRound.str(),        f.m_strZeroMask.str(),
            std::to_string(f.m_bZeroBeforeDecimal), std::to_string(f.m_bHidden)};
}

/// Message boxes land in m_messages and regional settings ("intl" only) come
/// from m_profile, empty by default, so nothing depends on the machine.
/// m_file is a reader for sections that the test inspects afterwards.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevProfile = kavo::SetProfileSource(
            [this](const std::string& section, const std::string& key, std::string& value) {
                const auto it = m_profile.find(key);
                return section == "intl" && it != m_profile.end() && (value = it->second, true);
            });
        m_prevHandler = kavo::SetMessageBoxHandler([this](const kavo::CKAVOString& s, unsigned) {
            return m_messages.push_back(s.str()), kavo::IDOK;
        });
    }
    void TearDown() override {
        kavo::SetProfileSource(std::move(m_prevProfile));
        kavo::SetMessageBoxHandler(std::move(m_prevHandler));
    }

    /// Reads a section as the registry does: its heading, then Build reads the body.
    template <class T>
    T ReadSection(const std::string& text) {
        m_file.OpenText(text);
        kavo::CKAVOString k, v;
        EXPECT_EQ(m_file.GetLine(k, v), 0);
        T ob;
        EXPECT_EQ(ob.Build(m_file), 1);
        return ob;
    }
    /// The key of the next line of m_file, or "<eof>".
    std::string NextKey() {
        kavo::CKAVOString k, v;
        return m_file.GetLine(k, v) == 0 ? k.str() : "<eof>";
    }

    std::map<std::string, std::string> m_profile;
    Strings m_messages;
    kavo::CSpecFile m_file;
    kavo::ProfileSource m_prevProfile;
    kavo::MessageBoxHandler m_prevHandler;
};

}  // namespace kavo_test
