// Writing tables of 10^3 to 10^6 cells as RTF documents, next to a baseline
// that only assembles the export grid (CTable::LayoutRTF) and visits its
// entries; and escaping texts for the document, ASCII and beyond.
//
// Counters: ns_per_cell (shown as seconds per cell, e.g. "40n") and, for the
// documents, bytes_per_cell of RTF.
//
//   kavotbl_export_rtf_bench --benchmark_filter='/1000000'
#include <benchmark/benchmark.h>

#if defined(KAVOTBL_HAVE_EXPORT)

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_tables.h"
#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/export/rtf_document.h"
#include "kavotbl/export/text.h"

namespace {

constexpr int kCols = 20;

// A table of nCells cells in 20 data columns under four spanners, its rows
// in groups of ten under captions, values of up to eight digits.
std::string MakeTable(int nCells) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> value(0, 99999999);
    kavobench::TableSpec spec;
    spec.nRows = std::max(1, nCells / kCols);
    spec.nCols = kCols;
    spec.nSpan = kCols / 4;
    spec.nGroupRows = 10;
    spec.title = "Persons by district and age group";
    spec.stubHead = "District";
    spec.spanner = kavobench::Numbered("Age group ");
    spec.row = kavobench::Numbered("District ");
    spec.value = [&](int, int) { return value(rng); };
    return kavobench::TableText(spec);
}

struct Loaded {
    kavo::CTableDocument doc;
    int nCells = 0;
};

// One document per size, loaded once for all benchmarks.
Loaded& Get(int nCells) {
    static std::vector<std::pair<int, std::unique_ptr<Loaded>>> cache;
    for (auto& e : cache)
        if (e.first == nCells) return *e.second;
    kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return 1; });
    auto p = std::make_unique<Loaded>();
    p->doc.LoadText(MakeTable(nCells));
    p->nCells = p->doc.GetTable(0)->GetNumDataCells();
    cache.emplace_back(nCells, std::move(p));
    return *cache.back().second;
}

void PerCell(benchmark::State& state, int nCells) {
    state.counters["ns_per_cell"] = benchmark::Counter(static_cast<double>(nCells),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

void BM_GridOnly(benchmark::State& state) {
    Loaded& l = Get(static_cast<int>(state.range(0)));
    kavo::CTable& table = *l.doc.GetTable(0);
    for (auto _ : state) {
        kavo::CRTFRowArray grid;
        table.LayoutRTF(grid, 0);
        std::size_t n = 0;
        for (int g = 0; g < grid.GetSize(); ++g)
            for (int e = 0; e < grid[g].GetSize(); ++e) n += grid[g][e] != nullptr ? grid[g][e]->GetText().GetLength() : 0;
        benchmark::DoNotOptimize(n);
    }
    PerCell(state, l.nCells);
}

void BM_RtfDocument(benchmark::State& state) {
    Loaded& l = Get(static_cast<int>(state.range(0)));
    kavo::CTable& table = *l.doc.GetTable(0);
    std::FILE* sink = std::fopen("/dev/null", "wb");
    std::size_t nBytes = 0;
    for (auto _ : state) {
        kavo::CRtfDocument rtf;
        rtf.AddTable(table, 0);
        benchmark::DoNotOptimize(rtf.WriteTo(sink));
        state.PauseTiming();
        nBytes = rtf.Text().size();
        state.ResumeTiming();
    }
    std::fclose(sink);
    PerCell(state, l.nCells);
    state.counters["bytes_per_cell"] = static_cast<double>(nBytes) / l.nCells;
}

BENCHMARK(BM_GridOnly)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfDocument)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

std::vector<std::string> Texts(const char* pszSample) {
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i) texts.push_back(pszSample + std::to_string(i));
    return texts;
}

void Escape(benchmark::State& state, const std::vector<std::string>& texts) {
    std::string out;
    std::size_t nBytes = 0;
    for (const std::string& t : texts) nBytes += t.size();
    for (auto _ : state) {
        out.clear();
        for (const std::string& t : texts) kavo::AppendRtfText(out, t);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
}

void BM_EscapeAscii(benchmark::State& state) { Escape(state, Texts("Households with {five} or more persons \\ ")); }
void BM_EscapeUtf8(benchmark::State& state) {
    Escape(state, Texts("M\xC3\xA9nages de cinq personnes \xE2\x80\x94 \xE4\xBA\xBA\xE5\x8F\xA3 "));
}
void BM_EscapeCodePage(benchmark::State& state) { Escape(state, Texts("M\xE9nages de cinq personnes \x97 ")); }

BENCHMARK(BM_EscapeAscii);
BENCHMARK(BM_EscapeUtf8);
BENCHMARK(BM_EscapeCodePage);

}  // namespace

#endif
