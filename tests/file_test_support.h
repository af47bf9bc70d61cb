// Helpers of the table-file tests: captured message boxes, fixed regional
// settings, tables read from text and saved back to text.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"

namespace file_test {

using Strings = std::vector<std::string>;

struct Message {
    std::string text;
    unsigned type;
};

/// Records every message box while it lives, and fixes the regional
/// settings to the built-in defaults so that saved formats do not depend on
/// the machine.
class MessageCapture {
public:
    MessageCapture()
        : m_prevHandler(kavo::SetMessageBoxHandler([this](const kavo::CKAVOString& s, unsigned nType) {
              messages.push_back({s.str(), nType});
              return kavo::IDOK;
          })),
          m_prevProfile(kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; })) {}
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

/// The label of a style or format, "-" for none.
template <class T>
std::string Label(const T* p) {
    return p ? p->GetLabel().str() : "-";
}

/// A registry read from the head of a text, and the tables built after it.
struct Loaded {
    kavo::CSpecFile file;
    kavo::CStyleRegistry registry;
    std::vector<std::unique_ptr<kavo::CTable>> tables;
    std::vector<int> results;  // Build result of each table tried
    kavo::CTable& operator[](int i) { return *tables[static_cast<std::size_t>(i)]; }
    /// Builds one more table; returns its result and keeps the table.
    int Next(kavo::CProgressDlg* pProgress = nullptr) {
        tables.push_back(std::make_unique<kavo::CTable>());
        tables.back()->SetStyleRegistry(&registry);
        results.push_back(tables.back()->Build(file, pProgress));
        return results.back();
    }
};

/// Opens text, builds the registry, and builds nTables tables.
inline std::unique_ptr<Loaded> Load(const std::string& text, int nTables = 1) {
    auto p = std::make_unique<Loaded>();
    p->file.OpenText(text);
    p->registry.Build(p->file);
    while (nTables-- > 0) p->Next();
    return p;
}

/// s written n times.
inline std::string Rep(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

/// The values of a table's data cells, rows separated by "/".
inline std::string Data(const kavo::CTable& t) {
    std::string out;
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) out += (c ? " " : r ? "/" : "") + std::to_string(t.GetCellData(r, c));
    return out;
}

/// The style label of every data cell, "+" its format's when that is not
/// "Default" (the registry's first); rows separated by "/".
inline std::string Cells(const kavo::CTable& t) {
    std::string out;
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) {
            const std::string f = Label(t.GetCell(r, c)->GetFormat());
            out += (c ? " " : r ? "/" : "") + Label(t.GetCell(r, c)->GetStyle()) + (f == "Default" ? "" : "+" + f);
        }
    return out;
}

/// The text a table saves (registry left out).
inline std::string SaveTable(const kavo::CTable& table, int bBlockedOnly = 0) {
    kavo::CSpecFile out;
    out.OpenTextWrite();
    table.Save(out, bBlockedOnly);
    return out.GetText();
}

/// Lines of a text; the last newline gives no empty line.
inline Strings Lines(const std::string& text) {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

/// Values of the lines whose key is key.
inline Strings Values(const std::string& text, const std::string& key) {
    Strings out;
    for (const std::string& line : Lines(text))
        if (line.compare(0, key.size() + 1, key + "=") == 0) out.push_back(line.substr(key.size() + 1));
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
