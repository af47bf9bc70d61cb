// Loading, linking and saving table files of 10^3 to 10^6 cells, next to a
// baseline that only reads the same text and splits its lines and values.
//
// Counters: bytes_per_second (of the table file), ns_per_cell (shown as
// seconds per cell, e.g. "40n"), and for loads link_ns_per_cell and
// bytes_per_cell (memory the loaded document holds, counted by a replaced
// operator new).
//
//   kavotbl_file_bench --benchmark_filter='/1000000'
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <string>
#include <string_view>

#include "../src/file/file_util.h"
#include "bench_tables.h"
#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"

// ---------------------------------------------------------------------------
// Live heap bytes, for the memory a loaded document holds.

namespace {

std::atomic<std::int64_t> g_nLiveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(std::size_t n) {
    void* p = std::malloc(n + kHeader);
    if (p == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    g_nLiveBytes += static_cast<std::int64_t>(n);
    return static_cast<char*>(p) + kHeader;
}

void CountedFree(void* p) noexcept {
    if (p == nullptr) return;
    char* base = static_cast<char*>(p) - kHeader;
    g_nLiveBytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}

}  // namespace

void* operator new(std::size_t n) { return CountedAlloc(n); }
void* operator new[](std::size_t n) { return CountedAlloc(n); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }

namespace {

constexpr int kColumns = 20;

// A realistic table file of nCells cells: the registry part, a spanner per
// five data columns with a format on some columns, rows in groups of 50, a
// row format here and there, and values of one to seven digits. With
// bMaskEveryCell, also a single-cell style for every cell, in reverse column
// order: the linkage must still find each cell's mask without a scan.
std::string MakeTableFile(int nCells, bool bMaskEveryCell) {
    std::mt19937 rnd(12345);
    std::uniform_int_distribution<int> digits(1, 7);
    kavobench::TableSpec spec;
    spec.nRows = nCells / kColumns;
    spec.nCols = kColumns;
    spec.nSpan = 5;
    spec.nGroupRows = 50;
    spec.head = "[Style]\nLabel=Bold\nLineTop=Single\n[Format]\nLabel=Pct1\nDecimals=1\n\n";
    spec.name = "Benchmark";
    spec.title = "Generated";
    spec.caption = [](int k) { return "Rows from " + std::to_string(k * 50); };
    spec.row = kavobench::Numbered("Row ");
    spec.columnLines = [](int c) { return std::string(c % 5 == 4 ? "CellFormat=Pct1\n" : ""); };
    spec.rowLines = [bMaskEveryCell](int r) {
        std::string s = r % 10 == 9 ? "CellStyle=Bold\n" : "";
        if (bMaskEveryCell)
            for (int c = kColumns - 1; c >= 0; --c) s += "CellStyle=" + std::to_string(c) + ", Bold\n";
        return s;
    };
    spec.value = [&](int, int) {
        int n = digits(rnd);
        std::int64_t v = 1;
        while (n-- > 1) v *= 10;
        v += rnd() % (v * 9);
        return v;
    };
    spec.nDataWidth = 200;
    return kavobench::TableText(spec);
}

// Each text is made once per size.
template <typename Make>
const std::string& Cached(std::map<int, std::string>& cache, int nCells, Make make) {
    auto it = cache.find(nCells);
    if (it == cache.end()) it = cache.emplace(nCells, make(nCells)).first;
    return it->second;
}

const std::string& MaskedTableFile(int nCells) {
    static std::map<int, std::string> cache;
    return Cached(cache, nCells, [](int n) { return MakeTableFile(n, true); });
}

// In the writer's own form, so that a save gives the same bytes.
const std::string& TableFile(int nCells) {
    static std::map<int, std::string> cache;
    return Cached(cache, nCells, [](int n) {
        kavo::CTableDocument doc;
        doc.LoadText(MakeTableFile(n, false));
        return doc.SaveText();
    });
}

// Messages off and the built-in regional settings, for every benchmark.
struct Quiet {
    Quiet() {
        kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return kavo::IDOK; });
        kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    }
};
const Quiet g_quiet;

void SetRates(benchmark::State& state, std::size_t nBytes, int nCells) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(nBytes));
    state.counters["ns_per_cell"] =
        benchmark::Counter(nCells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor: read every line and split the values of the "Data" lines.
void BM_BaselineReadSplit(benchmark::State& state) {
    const int nCells = static_cast<int>(state.range(0));
    const std::string& text = TableFile(nCells);
    for (auto _ : state) {
        kavo::CSpecFile file;
        file.OpenText(text);
        kavo::CKAVOString key, value;
        std::int64_t nItems = 0;
        while (file.GetLine(key, value) == 0) {
            if (key.CompareNoCase("Data") != 0) continue;
            kavo::file_detail::ItemCursor items(kavo::file_detail::View(value));
            while (!items.Empty()) {
                std::string_view item = items.Next();
                benchmark::DoNotOptimize(item);
                ++nItems;
            }
        }
        benchmark::DoNotOptimize(nItems);
    }
    SetRates(state, text.size(), nCells);
}

void BM_Load(benchmark::State& state) {
    const int nCells = static_cast<int>(state.range(0));
    const std::string& text = TableFile(nCells);
    std::int64_t nLinkNs = 0;
    std::int64_t nHeld = 0;
    kavo::file_detail::g_pLinkNanoseconds = &nLinkNs;
    for (auto _ : state) {
        state.PauseTiming();
        auto* pDoc = new kavo::CTableDocument;
        const std::int64_t nBefore = g_nLiveBytes;
        state.ResumeTiming();
        if (!pDoc->LoadText(text) || pDoc->GetNumTables() != 1) state.SkipWithError("load failed");
        state.PauseTiming();
        nHeld = g_nLiveBytes - nBefore;
        delete pDoc;
        state.ResumeTiming();
    }
    kavo::file_detail::g_pLinkNanoseconds = nullptr;
    SetRates(state, text.size(), nCells);
    state.counters["link_ns_per_cell"] =
        static_cast<double>(nLinkNs) / static_cast<double>(state.iterations()) / nCells;
    state.counters["bytes_per_cell"] = static_cast<double>(nHeld) / nCells;
}

// The link step alone (its processor time, taken inside CTable::Build).
void RunLink(benchmark::State& state, int nCells, const std::string& text) {
    std::int64_t nLinkNs = 0;
    kavo::file_detail::g_pLinkNanoseconds = &nLinkNs;
    for (auto _ : state) {
        nLinkNs = 0;
        kavo::CTableDocument doc;
        doc.LoadText(text);
        state.SetIterationTime(static_cast<double>(nLinkNs) * 1e-9);
    }
    kavo::file_detail::g_pLinkNanoseconds = nullptr;
    SetRates(state, text.size(), nCells);
}

void BM_Link(benchmark::State& state) {
    const int nCells = static_cast<int>(state.range(0));
    RunLink(state, nCells, TableFile(nCells));
}

// The link step of a table with a single-cell style on every cell.
void BM_LinkMasked(benchmark::State& state) {
    const int nCells = static_cast<int>(state.range(0));
    RunLink(state, nCells, MaskedTableFile(nCells));
}

void BM_Save(benchmark::State& state) {
    const int nCells = static_cast<int>(state.range(0));
    const std::string& text = TableFile(nCells);
    kavo::CTableDocument doc;
    doc.LoadText(text);
    std::size_t nSaved = 0;
    for (auto _ : state) {
        const std::string out = doc.SaveText();
        nSaved = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    if (nSaved != text.size()) state.SkipWithError("the save differs from the file");
    SetRates(state, text.size(), nCells);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int n : {1000, 10000, 100000, 1000000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BaselineReadSplit)->Apply(Sizes);
BENCHMARK(BM_Load)->Apply(Sizes);
BENCHMARK(BM_Link)->Apply(Sizes)->UseManualTime();
BENCHMARK(BM_LinkMasked)->Apply(Sizes)->UseManualTime();
BENCHMARK(BM_Save)->Apply(Sizes);

}  // namespace
