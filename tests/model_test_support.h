// Helpers shared by the model and interaction tests: elements whose protected
// geometry is opened up, rows that accept cells, and nodes that count their
// destruction.
#pragma once

#include <string>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/model/tbl_ob.h"
#include "kavotbl/style/registry.h"

namespace kavo_test {

using kavo::CRect;
using kavo::CSize;

/// A plain element with its protected setters made public.
class TestOb : public kavo::CTblOb {
public:
    using CTblOb::CTblOb;
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    using CTblOb::SetMaxSize;
    using CTblOb::SetMinSize;
    using CTblOb::SetSize;
    using CTblOb::SetWidth;
    void SetTextHeight(int n) { m_nTextHeight = n; }
};

/// Gives any element the box rc through the public element assignment, which
/// copies the position (and text, style, sizes, pages) but keeps the blocked
/// mark and the border. Text and style are carried over so only the box changes.
inline void Place(kavo::CTblOb& ob, const CRect& rc) {
    TestOb tmp(ob.GetText(), ob.GetStyle());
    tmp.Pos() = rc;
    tmp.SetMinSize(ob.GetMinSize());
    tmp.SetMaxSize(ob.GetMaxSize());
    for (int i = 0; i < ob.GetNumPages(); ++i) tmp.AddPage(ob.GetPage(i));
    ob = tmp;
}

/// Collects the names of destroyed nodes, in order.
struct DestroyLog {
    std::vector<std::string> names;
    int Count(const std::string& name) const {
        int n = 0;
        for (const auto& s : names) n += s == name ? 1 : 0;
        return n;
    }
};

/// A column that records its destruction in a log.
class LoggedColumn : public kavo::CTblColumn {
public:
    LoggedColumn(const char* pszText, DestroyLog* pLog) : m_pLog(pLog) { SetText(pszText); }
    ~LoggedColumn() override { m_pLog->names.push_back(GetText().str()); }
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    using CRowColOb::SetParent;

private:
    DestroyLog* m_pLog;
};

/// A row that accepts cells and can be linked to a parent, optionally logging
/// its destruction.
class TestRow : public kavo::CTblRow {
public:
    explicit TestRow(const char* pszText = "", DestroyLog* pLog = nullptr) : m_pLog(pLog) {
        SetText(pszText);
    }
    ~TestRow() override {
        if (m_pLog != nullptr) m_pLog->names.push_back(GetText().str());
    }
    using CTblRow::AddCell;
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    using CRowColOb::SetParent;

private:
    DestroyLog* m_pLog;
};

/// A column with its box opened up (no logging).
class TestColumn : public kavo::CTblColumn {
public:
    explicit TestColumn(const char* pszText = "") { SetText(pszText); }
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    using CTblOb::SetMaxSize;
    using CTblOb::SetMinSize;
    using CRowColOb::SetParent;
    /// Forgets the children without destroying them (for trees that share a node).
    void DetachChildren() { m_listChildren.clear(); }
};

/// A cell with its box and border opened up.
class TestCell : public kavo::CTblCell {
public:
    using CTblCell::CTblCell;
    using CTblOb::Pos;
    using CTblOb::SetBorder;
};

/// A table whose own border can be set.
class TestTable : public kavo::CTable {
public:
    using CTblOb::Pos;
    using CTblOb::SetBorder;
};

/// Loads the first table of a table-file text into t (registry part first),
/// counting the messages shown. Returns what the table reader returns.
inline int LoadTableText(const char* pszText, kavo::CStyleRegistry& reg, kavo::CTable& t,
                         int* pnMessages) {
    int nMessages = 0;
    kavo::MessageBoxHandler old = kavo::SetMessageBoxHandler(
        [&nMessages](const kavo::CKAVOString&, unsigned) { return ++nMessages, kavo::IDOK; });
    kavo::CSpecFile file;
    file.OpenText(pszText);
    reg.Build(file);
    t.SetStyleRegistry(&reg);
    const int nResult = t.Build(file);
    kavo::SetMessageBoxHandler(old);
    if (pnMessages != nullptr) *pnMessages = nMessages;
    return nResult;
}

}  // namespace kavo_test
