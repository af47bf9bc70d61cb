// Speed of layout: the screen layout and the printer layout of generated
// tables from a thousand to a million cells, and the printing of a wide
// table (200 data columns under spanners of seven) on letter paper.
//
// Tables are generated as table-file text and loaded once per shape; data
// columns sit in spanners, data rows in row groups of twenty-five. The
// surfaces record nothing, so the figures are the library's own cost plus
// the surface's text wrapping. "ns_per_cell" is the time of one layout
// divided by the number of data cells.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "bench_tables.h"
#include "kavotbl/host/recording_dc.h"

using namespace kavo;

namespace {

// Letter paper less half-inch margins, in twips with y growing upward.
const CRect kLetterPrintable(0, 0, 11520, -15120);
const CRect kWindow(0, 0, 1024, 768);

std::string TableText(int nRows, int nCols, int nSpan) {
    kavobench::TableSpec spec;
    spec.nRows = nRows;
    spec.nCols = nCols;
    spec.nSpan = nSpan;
    spec.nGroupRows = 25;
    spec.name = "Generated";
    spec.title =
        "Generated table of " + std::to_string(nRows) + " rows and " + std::to_string(nCols) + " columns";
    spec.stubHead = "Area of residence";
    spec.spanner = kavobench::Numbered("Group of columns ");
    spec.row = kavobench::Numbered("Area number ");
    return kavobench::TableText(spec);
}

// A loaded table and two surfaces.
struct Fixture : kavobench::LoadedTable {
    Fixture(int nRows, int nCols, int nSpan) : LoadedTable(TableText(nRows, nCols, nSpan), "Sans", 16) {
        screen.SetRecording(false);
        printer.SetRecording(false);
        printer.SetMapMode(MM_TWIPS);
    }
    CRecordingDC screen;
    CRecordingDC printer;
};

// The table of the benchmark's shape (data rows, data columns), built once
// per shape and shared by the benchmarks; null, with the benchmark marked
// skipped, when it did not load.
Fixture* Get(benchmark::State& state, int nSpan) {
    static std::map<std::tuple<int, int, int>, std::unique_ptr<Fixture>> fixtures;
    const int nRows = static_cast<int>(state.range(0)), nCols = static_cast<int>(state.range(1));
    auto& p = fixtures[{nRows, nCols, nSpan}];
    if (!p) p = std::make_unique<Fixture>(nRows, nCols, nSpan);
    if (p->loaded) return p.get();
    state.SkipWithError("table did not load");
    return nullptr;
}

// The same, laid out for the screen with that layout kept, as a host does
// before it prints.
Fixture* GetBeforePrinting(benchmark::State& state, int nSpan) {
    Fixture* f = Get(state, nSpan);
    if (f) {
        f->table.LayoutTable(kWindow, &f->screen);
        f->table.BackupClient(1);
    }
    return f;
}

void SetCellCounters(benchmark::State& state, const CTable& t) {
    const double nCells = static_cast<double>(t.GetNumDataRows()) * t.GetNumDataColumns();
    state.counters["cells"] = nCells;
    state.counters["ns_per_cell"] =
        benchmark::Counter(nCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ScreenLayout(benchmark::State& state) {
    Fixture* f = Get(state, 5);
    if (!f) return;
    for (auto _ : state) {
        f->table.LayoutTable(kWindow, &f->screen);
        benchmark::DoNotOptimize(f->table.Size());
    }
    SetCellCounters(state, f->table);
}

// One print: the printer layout; the screen layout is restored between
// iterations, outside the timing, as a host does after printing.
void BM_PrinterLayout(benchmark::State& state) {
    Fixture* f = GetBeforePrinting(state, static_cast<int>(state.range(2)));
    if (!f) return;
    for (auto _ : state) {
        f->table.LayoutPrinter(kLetterPrintable, &f->printer);
        benchmark::DoNotOptimize(f->table.GetNumPages());
        state.PauseTiming();
        f->table.RestoreClient(1);
        state.ResumeTiming();
    }
    f->table.LayoutPrinter(kLetterPrintable, &f->printer);
    state.counters["pages"] = f->table.GetNumPages();
    state.counters["column_pages"] = f->table.GetNumHorzPages();
    f->table.RestoreClient(1);
    SetCellCounters(state, f->table);
}

// Switching back to the screen layout after printing.
void BM_RestoreScreenLayout(benchmark::State& state) {
    Fixture* f = GetBeforePrinting(state, 5);
    if (!f) return;
    for (auto _ : state) {
        state.PauseTiming();
        f->table.LayoutPrinter(kLetterPrintable, &f->printer);
        state.ResumeTiming();
        f->table.RestoreClient(1);
    }
    SetCellCounters(state, f->table);
}

// 10^3 to 10^6 cells in 20 columns (spanners of five).
BENCHMARK(BM_ScreenLayout)
    ->Args({50, 20})
    ->Args({500, 20})
    ->Args({5000, 20})
    ->Args({50000, 20})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrinterLayout)
    ->Args({50, 20, 5})
    ->Args({500, 20, 5})
    ->Args({5000, 20, 5})
    ->Args({50000, 20, 5})
    ->Unit(benchmark::kMicrosecond);
// The wide table: 200 data columns under spanners of seven, 100 rows.
BENCHMARK(BM_PrinterLayout)->Args({100, 200, 7})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RestoreScreenLayout)->Args({5000, 20})->Unit(benchmark::kMicrosecond);

}  // namespace
