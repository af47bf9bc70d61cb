// The continuation copies of spanners that a printer layout adds to the
// column tree, taken out of it and put back again.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "kavotbl/model/table.h"

namespace kavo {

struct CTable::SpannerCopies {
    // One parent whose children list held copies, as it was before they left.
    struct Level {
        CTblColumn* pParent = nullptr;
        std::vector<CRowColOb*> listBefore;
        std::vector<std::pair<CTblColumn*, std::size_t>> owners;  // each with its children count before
        std::vector<std::pair<CTblColumn*, std::vector<CRowColOb*>>> copies;
    };
    std::vector<Level> levels;  // in the order taken; put back in reverse
    // The tree as the copies left it (each node and its children count):
    // the copies only go back into a tree nobody has changed since.
    std::vector<std::pair<const CRowColOb*, std::size_t>> shape;

    SpannerCopies() = default;
    SpannerCopies(const SpannerCopies&) = delete;
    SpannerCopies& operator=(const SpannerCopies&) = delete;
    ~SpannerCopies() { Discard(); }

    /// Takes every copy out of the tree under pRoot, handing its columns to
    /// the spanner it continues.
    void Take(CTblColumn* pRoot);
    /// Puts the copies back where they were; checks the tree first when bCheck.
    /// Returns 0 (and destroys the copies) when the tree has changed.
    int PutBack(CTblColumn* pRoot, bool bCheck);
    void Discard();
    bool Empty() const { return levels.empty(); }

private:
    void TakeLevel(CTblColumn* pParent);
    static void Shape(const CRowColOb* pRoot, std::vector<std::pair<const CRowColOb*, std::size_t>>& out);
};

}  // namespace kavo
