// Row pages for publication: a caption goes to the next page with its first
// rows, a group's last row is not left alone at the top of a page, and a
// page that starts inside row groups repeats their captions at its top.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/table.h"
#include "layout/layout_common.h"

namespace kavo {

struct CTable::ContinuedCaptions {
    // One row for each caption repeated on some page, in row-tree order.
    std::vector<std::unique_ptr<CTblRow>> rows;
    // The repeated captions of row page r, outermost first, are
    // byPage[start[r]] to byPage[start[r + 1] - 1].
    std::vector<int> start;
    std::vector<CTblRow*> byPage;
};

namespace {

// A row of the tree in pre-order, with what pagination needs to know of it.
struct Entry {
    CTblRow* pRow;
    int nParent;   // entry of the parent; -1 for a child of the root
    int nLevel;    // 0 for a child of the root
    int nEnd;      // one past the last entry of the subtree
    int nKeepEnd;  // the last entry that must share a page with this one
    int nCopy;     // its repeated caption, once made; else -1
    long long nRepeatH;  // height of the repeated captions down to this one; -1 until known
    long long nTop;
    int nPage;
};

}  // namespace

void CTable::DiscardContinuedCaptions() {
    delete m_pContinued;
    m_pContinued = nullptr;
}

int CTable::GetNumContinuedCaptions() const {
    return m_bPrinterInForce && m_pContinued ? static_cast<int>(m_pContinued->rows.size()) : 0;
}

const CTblRow* CTable::GetContinuedCaption(int i) const {
    return m_pContinued->rows[static_cast<std::size_t>(i)].get();
}

int CTable::PaginateRows(CDC* pDC, int nBody, int nTop) {
    const bool bKeep = m_printOptions.bKeepWithNext != 0;
    const bool bRepeat = m_printOptions.bContinuedCaptions != 0;

    // The rows in pre-order, gathered without recursion.
    std::vector<Entry> rows;
    {
        struct Frame {
            const CRowColOb* pNode;
            int nEntry;
            int nNext;
        };
        std::vector<Frame> stack{{m_pRowRoot, -1, 0}};
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.nNext >= f.pNode->GetNumChildren()) {
                if (f.nEntry >= 0) rows[static_cast<std::size_t>(f.nEntry)].nEnd = static_cast<int>(rows.size());
                stack.pop_back();
                continue;
            }
            CTblRow* pChild = static_cast<CTblRow*>(f.pNode->GetChildAt(f.nNext++));
            const int nParent = f.nEntry;
            const int nLevel = nParent < 0 ? 0 : rows[static_cast<std::size_t>(nParent)].nLevel + 1;
            rows.push_back({pChild, nParent, nLevel, 0, 0, -1, -1, 0, 0});
            stack.push_back({pChild, static_cast<int>(rows.size()) - 1, 0});
        }
    }
    const int n = static_cast<int>(rows.size());
    auto at = [&rows](int i) -> Entry& { return rows[static_cast<std::size_t>(i)]; };
    auto isData = [&](int i) { return at(i).nEnd == i + 1; };

    // A caption keeps its first two data rows (all when it has fewer) and the
    // captions between. Children come after their parent in pre-order, so a
    // walk from the end knows every child's first two data rows.
    {
        std::vector<int> first(static_cast<std::size_t>(n), -1), second(static_cast<std::size_t>(n), -1);
        for (int i = n - 1; i >= 0; --i) {
            Entry& e = at(i);
            const std::size_t u = static_cast<std::size_t>(i);
            if (isData(i)) {
                first[u] = i;
                e.nKeepEnd = i;
                continue;
            }
            for (int c = i + 1; c < e.nEnd && second[u] < 0; c = at(c).nEnd) {
                for (int d : {first[static_cast<std::size_t>(c)], second[static_cast<std::size_t>(c)]}) {
                    if (d < 0) continue;
                    (first[u] < 0 ? first[u] : second[u]) = d;
                    if (second[u] >= 0) break;
                }
            }
            e.nKeepEnd = second[u] >= 0 ? second[u] : e.nEnd - 1;
        }
    }
    std::vector<long long> prefix(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) prefix[static_cast<std::size_t>(i) + 1] = prefix[static_cast<std::size_t>(i)] + at(i).pRow->Height();
    auto height = [&](int i) -> long long { return at(i).pRow->Height(); };
    auto span = [&](int i, int j) { return prefix[static_cast<std::size_t>(j) + 1] - prefix[static_cast<std::size_t>(i)]; };

    // Repeated captions are measured only for the groups a page continues:
    // the caption's text and the suffix, wrapped at the caption's width.
    delete m_pContinued;
    m_pContinued = bRepeat ? new ContinuedCaptions : nullptr;
    auto repeatHeight = [&](int a, auto& self) -> long long {
        Entry& e = at(a);
        if (e.nRepeatH >= 0) return e.nRepeatH;
        const long long nAbove = e.nParent < 0 ? 0 : self(e.nParent, self);
        auto pCopy = std::make_unique<CTblRow>();
        pCopy->SetText(e.pRow->GetText() + m_printOptions.strContinued);
        pCopy->SetStyle(e.pRow->GetStyle());
        pCopy->SetMinSize(e.pRow->GetMinSize());
        pCopy->SetMaxSize(e.pRow->GetMaxSize());
        pCopy->CalcLayoutSize(pDC, e.nLevel);
        pCopy->Offset(RowIndent(e.nLevel), static_cast<int>(nTop + nAbove));
        e.nCopy = static_cast<int>(m_pContinued->rows.size());
        e.nRepeatH = nAbove + pCopy->Height();
        m_pContinued->rows.push_back(std::move(pCopy));
        return e.nRepeatH;
    };
    const long long nRoom = std::llabs(static_cast<long long>(nBody));
    // Height of the captions repeated above row b when a page starts with it;
    // none when they would leave no room for the row itself.
    auto repeatedAbove = [&](int b) -> long long {
        if (!bRepeat || at(b).nParent < 0) return 0;
        const long long h = repeatHeight(at(b).nParent, repeatHeight);
        return h + height(b) > nRoom ? 0 : h;
    };

    int nPage = 0, nPageStart = 0;
    // A group's last data row i would start a page alone: the row before it
    // goes along when it belongs to the same group, leaves two rows behind
    // on its page, is not needed there by a caption, and fits on a new page
    // with row i.
    auto moveOneMore = [&](int i) {
        const Entry& e = at(i);
        const int p = i - 1;
        if (!isData(i) || e.nParent < 0 || at(e.nParent).nEnd != i + 1) return false;
        if (p < nPageStart + 2 || !isData(p) || at(p).nParent != e.nParent) return false;
        for (int a = e.nParent; a >= 0 && at(a).nPage == nPage; a = at(a).nParent)
            if (at(a).nKeepEnd >= p) return false;
        return repeatedAbove(p) + height(p) + height(i) <= nRoom;
    };

    CTblRow* pRoot = m_pRowRoot;
    pRoot->Offset(-pRoot->Left(), -pRoot->Top());
    pRoot->Offset(-5 * g_nMargin, nTop);  // where the walk of one row after another puts it
    pRoot->AddPage(0);
    long long y = static_cast<long long>(nTop) + pRoot->Height();
    const long long nLimit = static_cast<long long>(nTop) + nRoom;
    std::vector<int> pageFirst{0};
    for (int i = 0; i < n;) {
        const long long nNeed = bKeep && !isData(i) ? span(i, at(i).nKeepEnd) : height(i);
        if (i > nPageStart && y + nNeed > nLimit) {
            const int b = bKeep && moveOneMore(i) ? i - 1 : i;
            ++nPage;
            pageFirst.push_back(b);
            nPageStart = b;
            y = nTop + repeatedAbove(b);
            for (int k = b; k < i; ++k) {
                at(k).nTop = y, at(k).nPage = nPage;
                y += height(k);
            }
            continue;  // row i is weighed again on the new page
        }
        // The first row of a page that is taller than the page is cut at its foot.
        if (i == nPageStart && y + height(i) > nLimit) at(i).pRow->SetHeight(static_cast<int>(nLimit - y));
        at(i).nTop = y, at(i).nPage = nPage;
        y += height(i);
        ++i;
    }

    for (Entry& e : rows) {
        CTblRow* pRow = e.pRow;
        pRow->Offset(-pRow->Left(), -pRow->Top());
        pRow->Offset(RowIndent(e.nLevel), static_cast<int>(e.nTop));
        pRow->AddPage(e.nPage);
    }

    // Each page's repeated captions, outermost first; a caption's row lists
    // the row pages it is repeated on.
    if (m_pContinued) {
        ContinuedCaptions& cc = *m_pContinued;
        cc.start.assign(1, 0);
        cc.byPage.clear();
        std::vector<CTblRow*> chain;
        for (int r = 0; r <= nPage; ++r) {
            const int b = pageFirst[static_cast<std::size_t>(r)];
            if (r > 0 && repeatedAbove(b) > 0) {
                chain.clear();
                for (int a = at(b).nParent; a >= 0; a = at(a).nParent)
                    chain.push_back(cc.rows[static_cast<std::size_t>(at(a).nCopy)].get());
                for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
                    (*it)->AddPage(r);
                    cc.byPage.push_back(*it);
                }
            }
            cc.start.push_back(static_cast<int>(cc.byPage.size()));
        }
        // Captions measured for a page that could not take them go.
        cc.rows.erase(std::remove_if(cc.rows.begin(), cc.rows.end(),
                                     [](const std::unique_ptr<CTblRow>& p) { return p->GetNumPages() == 0; }),
                      cc.rows.end());
    }
    return nPage + 1;
}

void CTable::FinishContinuedCaptions(int nHorzPages, int nRight) {
    if (!m_pContinued) return;
    for (const std::unique_ptr<CTblRow>& p : m_pContinued->rows) {
        p->IHateTwips();
        // Row pages become the pages of every column page of them.
        std::vector<int> rowPages;
        for (int i = 0; i < p->GetNumPages(); ++i) rowPages.push_back(p->GetPage(i));
        p->CTblOb::RemoveAllPages();
        for (int r : rowPages)
            for (int c = 0; c < nHorzPages; ++c) p->AddPage(r * nHorzPages + c);
        p->SetBorders(nRight);
    }
}

void CTable::DrawContinuedCaptions(CDC* pDC, int nPage) {
    if (!m_bPrinterInForce || !m_pContinued || nPage < 0 || m_nHorzPages <= 0) return;
    const ContinuedCaptions& cc = *m_pContinued;
    const std::size_t r = static_cast<std::size_t>(nPage / m_nHorzPages);
    if (r + 1 >= cc.start.size()) return;
    for (int k = cc.start[r]; k < cc.start[r + 1]; ++k) cc.byPage[static_cast<std::size_t>(k)]->CTblOb::Draw(pDC, nPage);
}

}  // namespace kavo
