// Printing a large table to PDF and rendering one window of it to PNG on the
// Cairo surface. Counters: pages per second, and the share of the time spent
// inside the surface (Pango and Cairo) against the library's own layout and
// drawing logic, timed around every surface hook.
//
//   kavotbl_cairo_bench --benchmark_filter=Print/1000
#include <benchmark/benchmark.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_tables.h"
#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/kavotbl.h"

namespace {

using namespace kavo;
using Clock = std::chrono::steady_clock;

// A surface that adds up the time spent in its backend.
class TimedCairoDC : public CCairoDC {
public:
    using CCairoDC::CCairoDC;
    double Seconds() const { return std::chrono::duration<double>(m_spent).count(); }

protected:
    struct Timer {
        Clock::duration& total;
        Clock::time_point start = Clock::now();
        ~Timer() { total += Clock::now() - start; }
    };
    CSize OnGetTextExtent(const char* p, int n) const override {
        Timer t{m_spent};
        return CCairoDC::OnGetTextExtent(p, n);
    }
    void OnTextLine(const char* p, int n, int x, int y) override {
        Timer t{m_spent};
        CCairoDC::OnTextLine(p, n, x, y);
    }
    void OnRectangle(const CRect& rc) override {
        Timer t{m_spent};
        CCairoDC::OnRectangle(rc);
    }
    void OnLineTo(const CPoint& a, const CPoint& b) override {
        Timer t{m_spent};
        CCairoDC::OnLineTo(a, b);
    }
    int OnExcludeClipRect(const CRect& rc) override {
        Timer t{m_spent};
        return CCairoDC::OnExcludeClipRect(rc);
    }
    void OnSaveDC() override {
        Timer t{m_spent};
        CCairoDC::OnSaveDC();
    }
    void OnRestoreDC() override {
        Timer t{m_spent};
        CCairoDC::OnRestoreDC();
    }

private:
    mutable Clock::duration m_spent{};
};

// n × n data cells under one spanner per ten columns and one caption per
// fifty rows, with figures of up to seven digits.
std::string MakeTable(int n) {
    unsigned v = 12345;
    kavobench::TableSpec spec;
    spec.nRows = spec.nCols = n;
    spec.nSpan = 10;
    spec.nGroupRows = 50;
    spec.head =
        "[Style]\nLabel=Row\nHorJust=Left\n[Style]\nLabel=Column\nHorJust=Center\n"
        "[Style]\nLabel=ColumnGroup\nHorJust=Center\nLineBottom=Single\n";
    spec.title = "Table 1. A large table";
    spec.stubHead = "Area";
    spec.column = kavobench::Numbered("C");
    spec.value = [&v](int, int) {
        v = v * 1103515245u + 12345u;
        return static_cast<std::int64_t>((v >> 8) % 10000000);
    };
    return kavobench::TableText(spec);
}

// Fonts are given once the table is read.
struct Loaded : kavobench::LoadedTable {
    explicit Loaded(const std::string& text) : LoadedTable(text) {
        LOGFONT lf;
        lf.lfHeight = -13;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        registry.UpdateFonts(&lf, 200);
    }
};

cairo_status_t Discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

// The second argument 1 prints as the program does by default: the house
// style and every publishing option; 0 as the table file says.
void Print(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool bPublishing = state.range(1) != 0;
    const std::string text = MakeTable(n);
    double pages = 0, surface = 0, layout = 0, total = 0;
    for (auto _ : state) {
        Loaded doc(text);
        if (bPublishing) {
            kavo::ApplyHouseStyle(doc.registry);
            doc.table.SetPrintOptions(kavo::CPrintOptions::Publishing());
        }
        cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(Discard, nullptr, 612, 792);
        cairo_t* cr = cairo_create(pdf);
        const auto start = Clock::now();
        {
            TimedCairoDC dc(cr, MM_TWIPS);
            dc.SetViewportOrg(36, 36);
            const CRect rc(0, 0, 10800, -14400);
            doc.table.LayoutPrinter(rc, &dc);
            layout += std::chrono::duration<double>(Clock::now() - start).count();
            for (int p = 0; p < doc.table.GetNumPages(); ++p) {
                doc.table.Draw(&dc, rc, p);
                cairo_show_page(cr);
            }
            pages += doc.table.GetNumPages();
            surface += dc.Seconds();
        }
        const auto finish = Clock::now();
        cairo_destroy(cr);
        cairo_surface_finish(pdf);  // Cairo writes the PDF here
        cairo_surface_destroy(pdf);
        const auto end = Clock::now();
        surface += std::chrono::duration<double>(end - finish).count();
        total += std::chrono::duration<double>(end - start).count();
    }
    state.counters["cells"] = static_cast<double>(n) * n;
    state.counters["pages"] = pages / static_cast<double>(state.iterations());
    // Per CPU second: wall time on a shared machine says little.
    state.counters["pages_per_s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["layout_s"] = layout / static_cast<double>(state.iterations());
    // Time inside the surface's hooks and in writing the PDF, against
    // everything else (the library's layout and drawing passes).
    state.counters["surface_share"] = surface / total;
    state.counters["library_share"] = 1.0 - surface / total;
}
BENCHMARK(Print)
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->ArgNames({"side", "publishing"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// The kavotbl program's print at 8 points: every style gets the font once
// the table is read.
struct Loaded8 : kavobench::LoadedTable {
    explicit Loaded8(const std::string& text) : LoadedTable(text) {
        LOGFONT lf;
        lf.lfHeight = -11;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        registry.UpdateFonts(&lf, 160);
    }
};

// What a printed page shows, in points from the paper's top-left corner.
struct PageContent {
    struct Text {
        std::string text;
        double x, y;  // top-left corner of the line
    };
    struct Rule {
        double x1, y1, x2, y2;
    };
    std::vector<Text> texts;
    std::vector<Rule> rules;
};

// A surface that notes every line of text and rule it draws.
class RecordingCairoDC : public CCairoDC {
public:
    RecordingCairoDC(cairo_t* cr, std::vector<PageContent>& pages) : CCairoDC(cr, MM_TWIPS), m_pages(pages) {}

protected:
    static double X(int x) { return 36 + x / 20.0; }
    static double Y(int y) { return 36 - y / 20.0; }
    void OnTextLine(const char* p, int n, int x, int y) override {
        m_pages.back().texts.push_back({std::string(p, static_cast<std::size_t>(n)), X(x), Y(y)});
        CCairoDC::OnTextLine(p, n, x, y);
    }
    void OnLineTo(const CPoint& a, const CPoint& b) override {
        m_pages.back().rules.push_back({X(a.x), Y(a.y), X(b.x), Y(b.y)});
        CCairoDC::OnLineTo(a, b);
    }

private:
    std::vector<PageContent>& m_pages;
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void WhitePage(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, 612, 792);
    cairo_fill(cr);
}

// The library's print of a loaded table: layout, every page, the PDF written
// (letter paper, 36 pt margins), as the kavotbl program prints.
void LibraryPrint(Loaded8& doc, std::vector<PageContent>* pRecord) {
    cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(Discard, nullptr, 612, 792);
    cairo_t* cr = cairo_create(pdf);
    {
        std::unique_ptr<CCairoDC> dc = pRecord ? std::make_unique<RecordingCairoDC>(cr, *pRecord)
                                               : std::make_unique<CCairoDC>(cr, MM_TWIPS);
        dc->SetViewportOrg(36, 36);
        dc->SetGatherText(true);
        const CRect rc(0, 0, 10800, -14400);
        doc.table.LayoutPrinter(rc, dc.get());
        for (int p = 0; p < doc.table.GetNumPages(); ++p) {
            if (pRecord) pRecord->emplace_back();
            WhitePage(cr);
            doc.table.Draw(dc.get(), rc, p);
            dc->Flush();
            cairo_show_page(cr);
        }
    }
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_surface_destroy(pdf);
}

// The same strings and rules at the same places on the same pages, drawn by
// Cairo alone with its own text interface.
void CairoPrint(const std::vector<PageContent>& pages) {
    cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(Discard, nullptr, 612, 792);
    cairo_t* cr = cairo_create(pdf);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 8);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_set_line_width(cr, 0.5);
    for (const PageContent& page : pages) {
        WhitePage(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (const PageContent::Rule& r : page.rules) {
            cairo_move_to(cr, r.x1, r.y1);
            cairo_line_to(cr, r.x2, r.y2);
            cairo_stroke(cr);
        }
        for (const PageContent::Text& t : page.texts) {
            cairo_move_to(cr, t.x, t.y + fe.ascent);
            cairo_show_text(cr, t.text.c_str());
        }
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_surface_destroy(pdf);
}

// The library's print against Cairo alone drawing what it drew: the library
// loads nothing in the timed part, but lays the table out; both write the
// whole PDF. Alternating runs, timed in CPU seconds of the process, since
// wall time on a shared machine says little; medians of the iterations.
// ratio = library / Cairo alone.
void PrintAgainstCairo(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string text = MakeTable(n);
    std::vector<PageContent> pages;
    {
        Loaded8 doc(text);
        LibraryPrint(doc, &pages);
    }
    std::vector<double> lib, base;
    for (auto _ : state) {
        state.PauseTiming();
        Loaded8 doc(text);
        state.ResumeTiming();
        const double t0 = CpuSeconds();
        LibraryPrint(doc, nullptr);
        const double t1 = CpuSeconds();
        CairoPrint(pages);
        const double t2 = CpuSeconds();
        lib.push_back(t1 - t0);
        base.push_back(t2 - t1);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["cells"] = static_cast<double>(n) * n;
    state.counters["pages"] = static_cast<double>(pages.size());
    state.counters["library_s"] = median(lib);
    state.counters["cairo_s"] = median(base);
    state.counters["ratio"] = median(lib) / median(base);
}
BENCHMARK(PrintAgainstCairo)->Arg(316)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(3);

void RenderWindow(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Loaded doc(MakeTable(n));
    double surface = 0, layout = 0, total = 0;
    for (auto _ : state) {
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1280, 800);
        cairo_t* cr = cairo_create(image);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        const auto start = Clock::now();
        {
            TimedCairoDC dc(cr, MM_TEXT);
            const CRect window(0, 0, 1280, 800);
            doc.table.LayoutTable(window, &dc);
            layout += std::chrono::duration<double>(Clock::now() - start).count();
            doc.table.ScrollBy(-2000, -3000);
            doc.table.Draw(&dc, window, -1);
            surface += dc.Seconds();
        }
        const auto encode = Clock::now();
        cairo_destroy(cr);
        cairo_surface_write_to_png_stream(image, Discard, nullptr);
        cairo_surface_destroy(image);
        const auto end = Clock::now();
        surface += std::chrono::duration<double>(end - encode).count();
        total += std::chrono::duration<double>(end - start).count();
    }
    state.counters["layout_s"] = layout / static_cast<double>(state.iterations());
    state.counters["surface_share"] = surface / total;
    state.counters["library_share"] = 1.0 - surface / total;
}
BENCHMARK(RenderWindow)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

#endif
