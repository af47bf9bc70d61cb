// Frames of the viewer: 100 scroll positions of a table, spread over its
// whole extent, drawn into a 1280x800 image as the viewer draws a window
// (white background, the table's screen layout through the view
// controller). A table of 1,000 cells is the baseline for one of 1,000,000:
// the counters give processor milliseconds per frame and the large table's
// ratio.
//
//   kavotbl_viewer_bench
#include <benchmark/benchmark.h>

#ifdef KAVOTBL_HAVE_VIEWER

#include <cairo.h>

#include <ctime>
#include <memory>

#include "bench_tables.h"
#include "kavotbl/cairo/cairo_dc.h"
#include "view_controller.h"

namespace {

constexpr int kWidth = 1280, kHeight = 800, kFrames = 100;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Window {
    explicit Window(int nRows, int nCols) {
        kavobench::TableSpec spec;
        spec.nRows = nRows, spec.nCols = nCols, spec.nSpan = 5, spec.nGroupRows = 20;
        spec.title = "Table 1. Population by area and group";
        spec.stubHead = "Area";
        loaded = std::make_unique<kavobench::LoadedTable>(kavobench::TableText(spec));
        kavo::viewer::GiveFont(loaded->registry, "DejaVu Sans", 10.0);
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
        cr = cairo_create(surface);
        dc = std::make_unique<kavo::CCairoDC>(cr, kavo::MM_TEXT);
        dc->SetDeviceBounds(0, 0, kWidth, kHeight);
        loaded->registry.CreateCompatibleDC(dc.get());
        view = std::make_unique<kavo::viewer::ViewController>(loaded->table);
        view->Layout(dc.get(), kWidth, kHeight);
    }
    ~Window() {
        view.reset();
        dc.reset();
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    // Draws the 100 frames; returns the seconds of processor time they took
    // (wall time on a shared machine says more about the neighbours).
    double Frames() {
        const double start = CpuSeconds();
        for (int i = 0; i < kFrames; ++i) {
            view->ScrollTo(static_cast<int>(static_cast<long long>(view->MaxScrollX()) * i / (kFrames - 1)),
                           static_cast<int>(static_cast<long long>(view->MaxScrollY()) * i / (kFrames - 1)));
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            view->Draw(dc.get());
        }
        cairo_surface_flush(surface);
        return CpuSeconds() - start;
    }
    std::unique_ptr<kavobench::LoadedTable> loaded;
    cairo_surface_t* surface;
    cairo_t* cr;
    std::unique_ptr<kavo::CCairoDC> dc;
    std::unique_ptr<kavo::viewer::ViewController> view;
};

Window& Small() {
    static Window w(50, 20);  // 1,000 cells
    return w;
}
Window& Large() {
    static Window w(10000, 100);  // 1,000,000 cells
    return w;
}

void BM_ViewerFrames_1000Cells(benchmark::State& state) {
    Window& w = Small();
    double dSeconds = 0;
    for (auto _ : state) dSeconds += w.Frames();
    state.counters["ms_per_frame"] = dSeconds * 1000.0 / kFrames / static_cast<double>(state.iterations());
}

void BM_ViewerFrames_1000000Cells(benchmark::State& state) {
    Window& w = Large();
    Window& base = Small();
    double dSeconds = 0, dBase = 0;
    for (auto _ : state) {
        dSeconds += w.Frames();
        state.PauseTiming();
        dBase += base.Frames();  // the baseline, measured in the same run
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ms_per_frame"] = dSeconds * 1000.0 / kFrames / n;
    state.counters["baseline_ms_per_frame"] = dBase * 1000.0 / kFrames / n;
    state.counters["ratio"] = dBase > 0 ? dSeconds / dBase : 0;
}

}  // namespace

BENCHMARK(BM_ViewerFrames_1000Cells)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ViewerFrames_1000000Cells)->Unit(benchmark::kMillisecond)->MinTime(0.5);

#else

static void BM_ViewerSkipped(benchmark::State& state) {
    for (auto _ : state) {
    }
    state.SetLabel("built without the viewer");
}
BENCHMARK(BM_ViewerSkipped);

#endif
