// Helpers of the table-file tests: captured message boxes, fixed regional
// settings, tables read from text and saved back to text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"

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
          m_prevProfile(kavo::SetProfileSource(
              [](const std::string&, const std::string&, std::string&) { return false; })) {}
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

/// The label of a style or format, "-" for none.
template <class T>
std::string Label(const T* p) {
    return p ? p->GetLabel().str() : "-";
}

/// Per data cell its value (or with bStyles its style label, "+" its
/// format's when that is not "Default"), rows separated by "/".
inline std::string Cells(const kavo::CTable& t, bool bStyles = false) {
    std::string out;
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) {
            const kavo::CTblCell* p = t.GetCell(r, c);
            const std::string f = Label(p->GetFormat()), sep = c ? " " : r ? "/" : "";
            out += sep + (bStyles ? Label(p->GetStyle()) + (f == "Default" ? "" : "+" + f)
                                  : std::to_string(p->GetData()));
        }
    return out;
}

/// Fields of a table, "|"-joined: an element (t table, T title, S stub
/// head, H heading, F footing, g first spanner, c first data column, G first
/// row group or row, r first data row) and a field (x text, s style, C cell
/// style, f cell format, a area name, k area codes); or "A" the area levels,
/// "#" data columns x rows, "K" children of the column and row roots, "X"
/// texts of the data columns, then of the rows, "D" the values, "P" the
/// cell styles, "N" the cells of the block.
inline std::string Fields(const kavo::CTable& t, const std::string& what) {
    auto x = [](int a, int b) { return std::to_string(a) + "x" + std::to_string(b); };
    std::string out;
    std::istringstream in(what);
    for (std::string w; in >> w; out += "|") {
        const char e = w[0], f = w.size() > 1 ? w[1] : ' ';
        const kavo::CRowColOb* n = nullptr;
        if (e == 'g' || e == 'G')
            n = (e == 'g' ? t.GetColumnRoot()->GetChildAt(0) : t.GetRowRoot()->GetChildAt(0));
        if (e == 'c') n = t.GetColumn(0);
        if (e == 'r') n = t.GetRow(0);
        const kavo::CTblOb* pieces[] = {t.GetTitle(), t.GetStubHead(), t.GetHeader(), t.GetFooter(), &t};
        const kavo::CTblOb* p = n ? n : pieces[std::min<std::size_t>(std::string("TSHF").find(e), 4)];
        auto row = [n] { return static_cast<const kavo::CTblRow*>(n); };  // when n is a row
        if (e == 'A') out += std::to_string(t.GetNumAreaLevels());
        if (e == '#') out += x(t.GetNumDataColumns(), t.GetNumDataRows());
        if (e == 'K') out += x(t.GetColumnRoot()->GetNumChildren(), t.GetRowRoot()->GetNumChildren());
        if (e == 'N') out += std::to_string(t.GetNumDataCells());
        if (e == 'D' || e == 'P') out += Cells(t, e == 'P');
        for (int i = 0; e == 'X' && i < t.GetNumDataColumns(); ++i)
            out += t.GetColumn(i)->GetText().str() + " ";
        for (int i = 0; e == 'X' && i < t.GetNumDataRows(); ++i) out += "/" + t.GetRow(i)->GetText().str();
        if (f == 'x') out += p->GetText().str();
        if (f == 's') out += Label(p->GetStyle());
        if (f == 'C') out += Label(n->GetCellStyle());
        if (f == 'f') out += Label(n->GetCellFormat());
        if (f == 'a') out += row()->GetAreaName().str();
        for (int i = 0; f == 'k' && i < 8; ++i)
            out += (i ? " " : "") + std::to_string(row()->GetArea().GetCode(i));
    }
    return out.substr(0, out.empty() ? 0 : out.size() - 1);
}

/// The string table's text of a message about a line: the line number, a
/// newline and the key.
inline std::string LineMessage(unsigned nID, int nLine, const std::string& key) {
    std::string text = kavo::LoadKAVOString(nID).str();
    return text.replace(text.find("%d"), 2, std::to_string(nLine)) + "\n" + key;
}

/// A table read after a registry: what Build answers, what Fields gives,
/// and the messages shown (one of them is message when that is set), which
/// stop the read when it fails.
struct Case {
    std::string text;
    const char* what;
    std::string expected;
    std::size_t nMessages = 0;
    std::string message = "";
    int nResult = 1;
};

/// Reads every case after the registry and checks it.
inline void CheckCases(const std::string& registry, const std::vector<Case>& cases) {
    MessageCapture capture;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        capture.messages.clear();
        auto doc = Load(registry + c.text);
        EXPECT_EQ(doc->results[0], c.nResult);
        EXPECT_EQ((*doc)[0].IsLoaded(), c.nResult);
        EXPECT_EQ(Fields((*doc)[0], c.what), c.expected);
        std::string shown;
        for (const Message& m : capture.messages) shown += m.text + "\n--\n";
        EXPECT_EQ(capture.messages.size(), c.nMessages) << shown;
        for (const Message& m : capture.messages)
            EXPECT_EQ(m.type, c.nResult ? kavo::MB_OK : kavo::MB_OK | kavo::MB_ICONSTOP);
        if (c.message.empty()) continue;
        EXPECT_NE(shown.find(c.message + "\n--\n"), std::string::npos) << shown;
    }
}

/// The text a table saves (registry left out).
inline std::string SaveTable(const kavo::CTable& table, int bBlockedOnly = 0) {
    kavo::CSpecFile out;
    out.OpenTextWrite();
    table.Save(out, bBlockedOnly);
    return out.GetText();
}

/// Values of the lines of a text whose key is key.
inline Strings Values(const std::string& text, const std::string& key) {
    Strings out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, key.size() + 1, key + "=") == 0) out.push_back(line.substr(key.size() + 1));
    return out;
}

}  // namespace file_test
