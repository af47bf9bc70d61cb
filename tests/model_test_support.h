// Helpers shared by the model and interaction tests: elements and nodes whose
// protected geometry is opened up, nodes that log their destruction, and
// tables read from text.
#pragma once

#include <string>
#include <vector>

#include "kavotbl/kavotbl.h"

namespace kavo_test {

/// A plain element with its protected setters made public.
class TestOb : public kavo::CTblOb {
public:
    using CTblOb::CTblOb;
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    using CTblOb::SetMaxSize;
    using CTblOb::SetMinSize;
    void SetTextHeight(int n) { m_nTextHeight = n; }
};

/// Gives any element the box rc through the element assignment, which copies
/// the position (and text, style, limits, pages and saved boxes, taken here
/// from ob itself) but keeps the blocked mark and the border.
inline void Place(kavo::CTblOb& ob, const kavo::CRect& rc) {
    TestOb tmp;
    static_cast<kavo::CTblOb&>(tmp) = ob;
    tmp.Pos() = rc, ob = tmp;
}

/// Names of destroyed nodes, in the order of destruction.
using DestroyLog = std::vector<std::string>;

/// A column or row node with its box, limits and parent opened up; with a log
/// it records its destruction (before its children go).
template <class Base>
class Node : public Base {
public:
    explicit Node(const char* pszText = "", DestroyLog* pLog = nullptr, kavo::CRect rc = kavo::CRect())
        : m_pLog(pLog) { this->SetText(pszText), this->Pos() = rc; }
    ~Node() override { if (m_pLog != nullptr) m_pLog->push_back(this->GetText().str()); }
    using Base::Pos;
    using Base::SetBorder;
    using Base::SetMaxSize;
    using Base::SetMinSize;
    using Base::SetParent;
    /// Forgets the children without destroying them (for trees that share a node).
    void DetachChildren() { this->m_listChildren.clear(); }

private:
    DestroyLog* m_pLog;
};

using TestColumn = Node<kavo::CTblColumn>;

/// A row that also accepts cells.
class TestRow : public Node<kavo::CTblRow> {
public:
    using Node::Node;
    using CTblRow::AddCell;
};

/// The texts of a subtree as "text(child,child)", to compare shapes.
inline std::string Shape(const kavo::CRowColOb& node) {
    std::string s = node.GetText().str();
    for (int i = 0; i < node.GetNumChildren(); ++i) s += (i ? "," : "(") + Shape(*node.GetChildAt(i));
    return node.GetNumChildren() ? s + ")" : s;
}

/// The pages of an element, in order.
inline std::vector<int> Pages(const kavo::CTblOb& ob) {
    std::vector<int> v;
    for (int i = 0; i < ob.GetNumPages(); ++i) v.push_back(ob.GetPage(i));
    return v;
}
using Ints = std::vector<int>;

/// Appends the children to p in order and returns p, to build trees in one expression.
template <class T, class... C>
T* With(T* p, C*... children) {
    (p->AddChild(children), ...);
    return p;
}

/// Loads the first table of a table-file text into t (registry part first),
/// with message boxes swallowed. Returns what the table reader returns.
inline int LoadTableText(const char* pszText, kavo::CStyleRegistry& reg, kavo::CTable& t) {
    const kavo::MessageBoxHandler old =
        kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return kavo::IDOK; });
    kavo::CSpecFile file;
    file.OpenText(pszText), reg.Build(file), t.SetStyleRegistry(&reg);
    const int nResult = t.Build(file);
    kavo::SetMessageBoxHandler(old);
    return nResult;
}

}  // namespace kavo_test
