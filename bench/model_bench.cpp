// Speed of the table object model: handing out cells, building and tearing
// down trees, deep copies, data-child lookup, and the table-wide hit test,
// block and scroll over a loaded table.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_tables.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/model/table.h"

namespace {

using namespace kavo;

class BenchRow : public CTblRow {
public:
    using CTblRow::AddCell;
};

// Cells taken from a block that Alloc reserved up front.
void BM_AllocCellReserved(benchmark::State& state) {
    const int nCols = 100;
    const int nRows = static_cast<int>(state.range(0)) / nCols;
    for (auto _ : state) {
        CTable t;
        t.Alloc(CSize(nRows, nCols));
        for (int i = 0; i < nRows * nCols; ++i) benchmark::DoNotOptimize(t.AllocCell(i));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AllocCellReserved)->Arg(10000)->Arg(1000000);

// Cells taken from a block that grows one cell at a time.
void BM_AllocCellOnDemand(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CTable t;
        for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(t.AllocCell(i));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AllocCellOnDemand)->Arg(10000)->Arg(1000000);

// A table of rows × 50 cells built by hand and destroyed.
void BM_BuildAndDestroyRows(benchmark::State& state) {
    const int nRows = static_cast<int>(state.range(0));
    const int nCols = 50;
    for (auto _ : state) {
        CTable t;
        t.Alloc(CSize(nRows, nCols));
        for (int r = 0; r < nRows; ++r) {
            auto* pRow = new BenchRow;
            for (int c = 0; c < nCols; ++c) pRow->AddCell(t.AllocCell(c));
            t.AddChild(pRow);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * nCols);
}
BENCHMARK(BM_BuildAndDestroyRows)->Arg(1000)->Arg(20000);

// A column tree of spanners, each over ten data columns.
CTblColumn* MakeColumnTree(int nSpanners) {
    auto* pRoot = new CTblColumn;
    for (int s = 0; s < nSpanners; ++s) {
        auto* pSpanner = new CTblColumn;
        for (int c = 0; c < 10; ++c) pSpanner->AddChild(new CTblColumn);
        pRoot->AddChild(pSpanner);
    }
    return pRoot;
}

void BM_ColumnDeepCopy(benchmark::State& state) {
    CTblColumn* pRoot = MakeColumnTree(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CTblColumn copy(*pRoot);
        benchmark::DoNotOptimize(copy.GetNumChildren());
    }
    delete pRoot;
    state.SetItemsProcessed(state.iterations() * state.range(0) * 11);
}
BENCHMARK(BM_ColumnDeepCopy)->Arg(100)->Arg(10000);

void BM_ColumnAssign(benchmark::State& state) {
    CTblColumn* pRoot = MakeColumnTree(static_cast<int>(state.range(0)));
    CTblColumn target;
    for (auto _ : state) {
        target = *pRoot;  // replaces (and destroys) the previous copy
        benchmark::DoNotOptimize(target.GetNumChildren());
    }
    delete pRoot;
    state.SetItemsProcessed(state.iterations() * state.range(0) * 11);
}
BENCHMARK(BM_ColumnAssign)->Arg(100)->Arg(10000);

// Finding the last data column walks every leaf once.
void BM_GetDataChildLast(benchmark::State& state) {
    CTblColumn* pRoot = MakeColumnTree(static_cast<int>(state.range(0)));
    const int nLast = pRoot->GetNumDataChildren() - 1;
    for (auto _ : state) {
        int n = 0;
        benchmark::DoNotOptimize(pRoot->GetDataChild(nLast, &n));
    }
    delete pRoot;
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}
BENCHMARK(BM_GetDataChildLast)->Arg(100)->Arg(10000);

// A loaded table of rows × 20 columns; boxes are left empty, so a hit test
// misses everything and scans every node and cell.
std::string FlatTableText(int nRows) {
    kavobench::TableSpec spec;
    spec.nRows = nRows;
    spec.nCols = 20;
    spec.column = kavobench::Numbered("C");
    spec.row = kavobench::Numbered("R");
    spec.value = [](int, int c) { return c * 7; };
    return kavobench::TableText(spec);
}

// Messages are off before the table is read.
struct QuietMessages {
    QuietMessages() { SetMessageBoxHandler([](const CKAVOString&, unsigned) { return IDOK; }); }
};

struct LoadedTable : QuietMessages, kavobench::LoadedTable {
    explicit LoadedTable(int nRows) : kavobench::LoadedTable(FlatTableText(nRows)) {}
};

void BM_TableHitTestMiss(benchmark::State& state) {
    LoadedTable lt(static_cast<int>(state.range(0)));
    CTblOb* pHit = nullptr;
    for (auto _ : state) benchmark::DoNotOptimize(lt.table.HitTest(CPoint(5, 5), pHit));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 20);
}
BENCHMARK(BM_TableHitTestMiss)->Arg(1000)->Arg(10000);

void BM_TableBlockToggle(benchmark::State& state) {
    LoadedTable lt(static_cast<int>(state.range(0)));
    CRectArray rects;
    for (auto _ : state) {
        rects.RemoveAll();
        lt.table.Block(rects, 1);
        lt.table.Block(rects, 0);
        benchmark::DoNotOptimize(rects.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 20 * 2);
}
BENCHMARK(BM_TableBlockToggle)->Arg(1000)->Arg(10000);

void BM_TableScroll(benchmark::State& state) {
    LoadedTable lt(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        lt.table.ScrollBy(-3, -5);
        benchmark::DoNotOptimize(lt.table.GetCell(0, 0)->GetPos());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 20);
}
BENCHMARK(BM_TableScroll)->Arg(1000)->Arg(10000);

}  // namespace
