// Speed of drawing: one 800x600 window of a small and of a large table laid
// out for the screen, and every printed page of a printer layout.
//
// Tables are generated: data columns in spanners of five, data rows in row
// groups of twenty-five. Two shapes of each size: tall (10 data columns)
// and square. The surface records nothing, so the figures are the library's
// own cost plus the surface's text wrapping.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "bench_tables.h"
#include "kavotbl/host/recording_dc.h"

using namespace kavo;

namespace {

std::string TableText(int nRows, int nCols) {
    kavobench::TableSpec spec;
    spec.nRows = nRows;
    spec.nCols = nCols;
    spec.nSpan = 5;
    spec.nGroupRows = 25;
    spec.name = "Generated";
    spec.title =
        "Generated table of " + std::to_string(nRows) + " rows and " + std::to_string(nCols) + " columns";
    spec.stubHead = "Area";
    spec.column = kavobench::Numbered("Col ");
    return kavobench::TableText(spec);
}

// A loaded table and a surface, laid out for an 800x600 window.
struct Fixture : kavobench::LoadedTable {
    Fixture(int nRows, int nCols) : LoadedTable(TableText(nRows, nCols), "Sans", 16) {
        dc.SetRecording(false);
        table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    }
    CRecordingDC dc;
};

// Tables are built once per shape and shared by the benchmarks.
Fixture& Get(int nRows, int nCols) {
    static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
    auto& p = fixtures[{nRows, nCols}];
    if (!p) p = std::make_unique<Fixture>(nRows, nCols);
    return *p;
}

// One window: the top-left one (state.range(2) == 0) or one scrolled into
// the middle of the table (1).
void BM_DrawWindow(benchmark::State& state) {
    const int nRows = static_cast<int>(state.range(0));
    const int nCols = static_cast<int>(state.range(1));
    Fixture& f = Get(nRows, nCols);
    if (!f.loaded) {
        state.SkipWithError("table not loaded");
        return;
    }
    const CSize size = f.table.Size();
    const int dx = state.range(2) ? -(size.cx / 2) : 0;
    const int dy = state.range(2) ? -(size.cy / 2) : 0;
    f.table.ScrollBy(dx, dy);
    f.dc.SetClipBox(CRect(0, 0, 800, 600));
    for (auto _ : state) f.table.Draw(&f.dc, CRect(0, 0, 800, 600), -1);
    f.table.ScrollBy(-dx, -dy);
    state.counters["cells"] = static_cast<double>(nRows) * nCols;
}

// Every page of a printer layout on a twips surface (US letter less margins).
void BM_DrawAllPages(benchmark::State& state) {
    const int nRows = static_cast<int>(state.range(0));
    const int nCols = static_cast<int>(state.range(1));
    Fixture& f = Get(nRows, nCols);
    CRecordingDC printer(MM_TWIPS);
    printer.SetRecording(false);
    const CRect rc(0, 0, 11520, -14400);
    f.table.BackupClient(1);
    f.table.LayoutPrinter(rc, &printer);
    for (auto _ : state)
        for (int page = 0; page < f.table.GetNumPages(); ++page) f.table.Draw(&printer, rc, page);
    state.counters["pages"] = f.table.GetNumPages();
    f.table.RestoreClient(1);
}

}  // namespace

// rows, columns, scrolled to the middle
BENCHMARK(BM_DrawWindow)
    ->Args({100, 10, 0})
    ->Args({100000, 10, 0})
    ->Args({100, 10, 1})
    ->Args({100000, 10, 1})
    ->Args({40, 25, 0})
    ->Args({1000, 1000, 0})
    ->Args({40, 25, 1})
    ->Args({1000, 1000, 1})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_DrawAllPages)->Args({100, 10})->Args({100000, 10})->Args({1000, 1000})->Unit(benchmark::kMillisecond);
