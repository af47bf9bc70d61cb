// The 1,000,000-cell table (1000 x 1000 under spanners of ten columns and
// captions of fifty rows) written as a spreadsheet, CSV and a web page, next
// to printing it to PDF in the same run as the baseline. Counters: cells
// per second and, for each, the process's peak resident size so far (run
// one benchmark alone, --benchmark_filter=Xlsx, for its own peak).
//
//   kavotbl_export_formats_bench --benchmark_filter=/1000
#include <benchmark/benchmark.h>

#if defined(KAVOTBL_HAVE_EXPORT)

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench_tables.h"
#include "kavotbl/export/export.h"
#include "kavotbl/kavotbl.h"

#ifdef KAVOTBL_HAVE_CAIRO
#include <cairo-pdf.h>
#include <cairo.h>

#include "kavotbl/cairo/cairo_dc.h"
#endif

namespace {

std::string MakeTable(int n) {
    unsigned v = 12345;
    kavobench::TableSpec spec;
    spec.nRows = spec.nCols = n;
    spec.nSpan = 10;
    spec.nGroupRows = 50;
    spec.head =
        "[Style]\nLabel=Row\nHorJust=Left\n[Style]\nLabel=Column\nHorJust=Center\n"
        "[Style]\nLabel=ColumnGroup\nHorJust=Center\nLineBottom=Single\n[Format]\nLabel=Default\nDecimals=1\n";
    spec.title = "Table 1. A large table";
    spec.stubHead = "Area";
    spec.column = kavobench::Numbered("C");
    spec.value = [&v](int, int) {
        v = v * 1103515245u + 12345u;
        return static_cast<std::int64_t>((v >> 8) % 10000000);
    };
    return kavobench::TableText(spec);
}

struct Loaded : kavobench::LoadedTable {
    explicit Loaded(const std::string& text) : LoadedTable(text) {
        kavo::LOGFONT lf;
        lf.lfHeight = -13;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        registry.UpdateFonts(&lf, 200);
    }
};

Loaded& Get(int n) {
    static Loaded* p = nullptr;
    static int nLoaded = 0;
    if (!p || nLoaded != n) {
        delete p;
        p = new Loaded(MakeTable(n));
        nLoaded = n;
    }
    return *p;
}

void Counters(benchmark::State& state, int n) {
    state.counters["cells_per_s"] =
        benchmark::Counter(static_cast<double>(n) * n, benchmark::Counter::kIsIterationInvariantRate);
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    state.counters["peak_rss_mb"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void Export(benchmark::State& state, kavo::ExportFormat format) {
    const int n = static_cast<int>(state.range(0));
    Loaded& doc = Get(n);
    kavo::CExportOptions options;
    options.format = format;
    const std::string path = std::string("/tmp/kavotbl-export-bench.") + kavo::GetExportFormatName(format);
    for (auto _ : state) {
        kavo::CExportReport report;
        if (!kavo::ExportTable(doc.table, path.c_str(), options, &report)) state.SkipWithError(report.strError.c_str());
    }
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    state.counters["file_mb"] = static_cast<double>(f.tellg()) / 1e6;
    std::remove(path.c_str());
    Counters(state, n);
}

void Xlsx(benchmark::State& state) { Export(state, kavo::ExportFormat::Xlsx); }
void Csv(benchmark::State& state) { Export(state, kavo::ExportFormat::Csv); }
void Html(benchmark::State& state) { Export(state, kavo::ExportFormat::Html); }
BENCHMARK(Xlsx)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(Csv)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(Html)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);

#ifdef KAVOTBL_HAVE_CAIRO
cairo_status_t Discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

// The baseline: the same table laid out on letter paper and printed.
void PrintPdf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Loaded& doc = Get(n);
    for (auto _ : state) {
        cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(Discard, nullptr, 612, 792);
        cairo_t* cr = cairo_create(pdf);
        {
            kavo::CCairoDC dc(cr, kavo::MM_TWIPS);
            dc.SetViewportOrg(36, 36);
            const kavo::CRect rc(0, 0, 10800, -14400);
            doc.table.LayoutPrinter(rc, &dc);
            for (int p = 0; p < doc.table.GetNumPages(); ++p) {
                doc.table.Draw(&dc, rc, p);
                cairo_show_page(cr);
            }
        }
        cairo_destroy(cr);
        cairo_surface_finish(pdf);
        cairo_surface_destroy(pdf);
    }
    Counters(state, n);
}
BENCHMARK(PrintPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1);
#endif

}  // namespace

#endif
