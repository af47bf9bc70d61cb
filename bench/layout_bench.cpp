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

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

using namespace kavo;

namespace {

// Letter paper less half-inch margins, in twips with y growing upward.
const CRect kLetterPrintable(0, 0, 11520, -15120);
const CRect kWindow(0, 0, 1024, 768);

std::string TableText(int nRows, int nCols, int nSpan) {
    std::ostringstream out;
    out << "[Table]\nSize=" << nRows << ", " << nCols << "\nName=Generated\n\n[Title]\nText=Generated table of "
        << nRows << " rows and " << nCols << " columns\n\n[StubHead]\nText=Area of residence\n";
    for (int c = 0; c < nCols; ++c) {
        if (c % nSpan == 0) out << "\n[ColumnGroup]\nText=Group of columns " << c / nSpan << "\n";
        out << "\n[Column]\nText=Column " << c << "\n";
        if (c % nSpan == nSpan - 1 || c == nCols - 1) out << "[EndGroup]\n";
    }
    for (int r = 0; r < nRows; ++r) {
        if (r % 25 == 0) out << "\n[RowGroup]\nText=Region " << r / 25 << "\n";
        out << "\n[Row]\nText=Area number " << r << "\nData=";
        for (int c = 0; c < nCols; ++c) out << (c ? ", " : "") << (r * 7919 + c * 104729) % 1000000;
        out << "\n";
        if (r % 25 == 24 || r == nRows - 1) out << "[EndGroup]\n";
    }
    return out.str();
}

// A loaded table with its registry (which outlives it) and two surfaces.
struct Fixture {
    Fixture(int nRows, int nCols, int nSpan) {
        CSpecFile file;
        file.OpenText(TableText(nRows, nCols, nSpan));
        registry.Build(file);
        LOGFONT lf;
        lf.lfHeight = 16;
        std::strcpy(lf.lfFaceName, "Sans");
        registry.UpdateFonts(&lf, 200);
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
        screen.SetRecording(false);
        printer.SetRecording(false);
        printer.SetMapMode(MM_TWIPS);
    }
    CStyleRegistry registry;
    CTable table;
    CRecordingDC screen;
    CRecordingDC printer;
    int loaded = 0;
};

// Tables are built once per shape and shared by the benchmarks.
Fixture& Get(int nRows, int nCols, int nSpan) {
    static std::map<std::tuple<int, int, int>, std::unique_ptr<Fixture>> fixtures;
    auto& p = fixtures[{nRows, nCols, nSpan}];
    if (!p) p = std::make_unique<Fixture>(nRows, nCols, nSpan);
    return *p;
}

void SetCellCounters(benchmark::State& state, const CTable& t) {
    const double nCells = static_cast<double>(t.GetNumDataRows()) * t.GetNumDataColumns();
    state.counters["cells"] = nCells;
    state.counters["ns_per_cell"] =
        benchmark::Counter(nCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ScreenLayout(benchmark::State& state) {
    Fixture& f = Get(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 5);
    if (!f.loaded) {
        state.SkipWithError("table did not load");
        return;
    }
    for (auto _ : state) {
        f.table.LayoutTable(kWindow, &f.screen);
        benchmark::DoNotOptimize(f.table.Size());
    }
    SetCellCounters(state, f.table);
}

// One print: the printer layout; the screen layout is restored between
// iterations, outside the timing, as a host does after printing.
void BM_PrinterLayout(benchmark::State& state) {
    Fixture& f = Get(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                     static_cast<int>(state.range(2)));
    if (!f.loaded) {
        state.SkipWithError("table did not load");
        return;
    }
    f.table.LayoutTable(kWindow, &f.screen);
    f.table.BackupClient(1);
    for (auto _ : state) {
        f.table.LayoutPrinter(kLetterPrintable, &f.printer);
        benchmark::DoNotOptimize(f.table.GetNumPages());
        state.PauseTiming();
        f.table.RestoreClient(1);
        state.ResumeTiming();
    }
    f.table.LayoutPrinter(kLetterPrintable, &f.printer);
    state.counters["pages"] = f.table.GetNumPages();
    state.counters["column_pages"] = f.table.GetNumHorzPages();
    f.table.RestoreClient(1);
    SetCellCounters(state, f.table);
}

// Switching back to the screen layout after printing.
void BM_RestoreScreenLayout(benchmark::State& state) {
    Fixture& f = Get(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 5);
    if (!f.loaded) {
        state.SkipWithError("table did not load");
        return;
    }
    f.table.LayoutTable(kWindow, &f.screen);
    f.table.BackupClient(1);
    for (auto _ : state) {
        state.PauseTiming();
        f.table.LayoutPrinter(kLetterPrintable, &f.printer);
        state.ResumeTiming();
        f.table.RestoreClient(1);
    }
    SetCellCounters(state, f.table);
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
