// Helpers of the table-file tests: captured message boxes, fixed regional
// settings, and loading a registry and its tables from text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

namespace file_test {

/// One message box that was shown.
struct Message {
    std::string text;
    unsigned type;
};

/// Records every message box while it lives, and fixes the regional
/// settings to the built-in defaults so that saved formats do not depend on
/// the machine.
class MessageCapture {
public:
    MessageCapture() {
        m_prevHandler = kavo::SetMessageBoxHandler([this](const kavo::CKAVOString& s, unsigned nType) {
            messages.push_back({s.str(), nType});
            return kavo::IDOK;
        });
        m_prevProfile = kavo::SetProfileSource(
            [](const std::string&, const std::string&, std::string&) { return false; });
    }
    ~MessageCapture() {
        kavo::SetMessageBoxHandler(m_prevHandler);
        kavo::SetProfileSource(m_prevProfile);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::vector<Message> messages;

private:
    kavo::MessageBoxHandler m_prevHandler;
    kavo::ProfileSource m_prevProfile;
};

/// A registry read from the head of a text, and the reader positioned after it.
struct Loaded {
    kavo::CSpecFile file;
    kavo::CStyleRegistry registry;
    std::vector<std::unique_ptr<kavo::CTable>> tables;
    std::vector<int> results;  // Build result of each table tried

    kavo::CTable& operator[](int i) { return *tables[static_cast<std::size_t>(i)]; }

    /// Builds one more table; returns its result and keeps the table.
    int Next(kavo::CProgressDlg* pProgress = nullptr) {
        auto p = std::make_unique<kavo::CTable>();
        p->SetStyleRegistry(&registry);
        const int n = p->Build(file, pProgress);
        tables.push_back(std::move(p));
        results.push_back(n);
        return n;
    }
};

/// Opens text, builds the registry, and builds nTables tables.
inline std::unique_ptr<Loaded> Load(const std::string& text, int nTables = 1) {
    auto p = std::make_unique<Loaded>();
    p->file.OpenText(text);
    p->registry.Build(p->file);
    for (int i = 0; i < nTables; ++i) p->Next();
    return p;
}

/// The text a table saves (registry left out).
inline std::string SaveTable(const kavo::CTable& table, int bBlockedOnly = 0) {
    kavo::CSpecFile out;
    out.OpenTextWrite();
    table.Save(out, bBlockedOnly);
    return out.GetText();
}

/// Lines of a text, LF-separated, the last newline not giving an empty line.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

/// Values of the lines whose key (text before the first "=") is key.
inline std::vector<std::string> Values(const std::string& text, const std::string& key) {
    std::vector<std::string> out;
    for (const std::string& line : Lines(text))
        if (line.compare(0, key.size() + 1, key + "=") == 0) out.push_back(line.substr(key.size() + 1));
    return out;
}

/// Items of a ", "-separated value.
inline std::vector<std::string> Items(const std::string& value) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = value.find(", ", start);
        out.push_back(value.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos) break;
        start = sep + 2;
    }
    return out;
}

/// A progress dialog that records the positions; from the given check on,
/// the user has asked to cancel.
class RecordingProgress : public kavo::CProgressDlg {
public:
    explicit RecordingProgress(int nCancelAt = -1) : m_nCancelAt(nCancelAt) {}
    void SetPos(int nPos) override { positions.push_back(nPos); }
    int CheckCancelButton() override { return m_nCancelAt > 0 && ++m_nChecks >= m_nCancelAt ? 1 : 0; }
    std::vector<int> positions;

private:
    int m_nCancelAt;
    int m_nChecks = 0;
};

}  // namespace file_test
