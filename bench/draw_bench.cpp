// Speed of drawing: one 800x600 window of a small and of a large table laid
// out for the screen, and every printed page of a printer layout.
//
// Tables are generated: data columns in spanners of five, data rows in row
// groups of twenty-five. Two shapes of each size: tall (10 data columns)
// and square. The surface records nothing, so the figures are the library's
// own cost plus the surface's text wrapping.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

using namespace kavo;

namespace {

std::string TableText(int nRows, int nCols) {
    std::ostringstream out;
    out << "[Table]\nSize=" << nRows << ", " << nCols << "\nName=Generated\n\n[Title]\nText=Generated table of "
        << nRows << " rows and " << nCols << " columns\n\n[StubHead]\nText=Area\n";
    for (int c = 0; c < nCols; ++c) {
        if (c % 5 == 0) out << "\n[ColumnGroup]\nText=Group " << c / 5 << "\n";
        out << "\n[Column]\nText=Col " << c << "\n";
        if (c % 5 == 4 || c == nCols - 1) out << "[EndGroup]\n";
    }
    for (int r = 0; r < nRows; ++r) {
        if (r % 25 == 0) out << "\n[RowGroup]\nText=Region " << r / 25 << "\n";
        out << "\n[Row]\nText=Area " << r << "\nData=";
        for (int c = 0; c < nCols; ++c) out << (c ? ", " : "") << (r * 7919 + c * 104729) % 1000000;
        out << "\n";
        if (r % 25 == 24 || r == nRows - 1) out << "[EndGroup]\n";
    }
    return out.str();
}

// A loaded table with its registry (which outlives it) and a surface.
struct Fixture {
    Fixture(int nRows, int nCols) {
        CSpecFile file;
        file.OpenText(TableText(nRows, nCols));
        registry.Build(file);
        LOGFONT lf;
        lf.lfHeight = 16;
        std::strcpy(lf.lfFaceName, "Sans");
        registry.UpdateFonts(&lf, 200);
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
        dc.SetRecording(false);
        table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    }
    CStyleRegistry registry;
    CTable table;
    CRecordingDC dc;
    int loaded = 0;
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
