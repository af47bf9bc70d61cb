// Speed of cell value formatting over a million cells, and proof that a
// re-format allocates nothing: every heap allocation of the process is
// counted and reported per cell.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/style/format.h"

namespace {
std::atomic<std::int64_t> g_nAllocations{0};
}

void* operator new(std::size_t n) {
    g_nAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    std::abort();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace kavo;

namespace {

constexpr int kCells = 1000000;
constexpr int kHotCells = 1024;  // fits the cache: the cost of formatting alone

// Values spread over every magnitude, both signs and some zeros; two sets
// that differ cell by cell, so that alternating them dirties every cell.
struct Values {
    std::vector<std::int64_t> a, b;
    Values() {
        a.resize(kCells);
        b.resize(kCells);
        std::uint64_t x = 0x9E3779B97F4A7C15u;
        for (int i = 0; i < kCells; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            const int nShift = static_cast<int>(x % 63);
            std::int64_t v = static_cast<std::int64_t>(x >> (nShift + 1));
            if (x & 1) v = -v;
            if (i % 50 == 0) v = 0;
            a[static_cast<std::size_t>(i)] = v;
            b[static_cast<std::size_t>(i)] = v + 1;
        }
    }
};

const Values& TheValues() {
    static const Values values;
    return values;
}

// The decimal count of the benchmark's argument, or a mix of 0 to 20 per
// cell when the argument is -1.
void FormatCells(benchmark::State& state, int nCells, const char* pszThousand, const char* pszDecimal) {
    const ProfileSource prev = SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    const int nDecimals = static_cast<int>(state.range(0));

    std::vector<CFormat> formats(21);
    for (int d = 0; d <= 20; ++d) {
        formats[static_cast<std::size_t>(d)].m_nDecimals = d;
        formats[static_cast<std::size_t>(d)].m_strThousandSep = pszThousand;
        formats[static_cast<std::size_t>(d)].m_strDecimalSep = pszDecimal;
    }
    std::vector<CTblCell> cells(static_cast<std::size_t>(nCells));
    for (int i = 0; i < nCells; ++i) {
        const int d = nDecimals >= 0 ? nDecimals : i % 21;
        cells[static_cast<std::size_t>(i)].SetFormat(&formats[static_cast<std::size_t>(d)]);
    }

    const Values& values = TheValues();
    bool bFlip = false;
    auto pass = [&] {
        const std::vector<std::int64_t>& src = bFlip ? values.a : values.b;
        bFlip = !bFlip;
        for (int i = 0; i < nCells; ++i) {
            CTblCell& cell = cells[static_cast<std::size_t>(i)];
            cell.SetData(src[static_cast<std::size_t>(i)]);
            cell.Format();
        }
    };

    // The first pass gives every text its buffer, the second lets it grow to
    // the longer of its two values; the measured passes only reuse it.
    const std::int64_t nBefore = g_nAllocations.load();
    pass();
    const std::int64_t nFirstPass = g_nAllocations.load() - nBefore;
    pass();

    std::int64_t nAllocs = 0;
    for (auto _ : state) {
        const std::int64_t n0 = g_nAllocations.load(std::memory_order_relaxed);
        pass();
        nAllocs += g_nAllocations.load(std::memory_order_relaxed) - n0;
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }

    const double nFormatted = static_cast<double>(state.iterations()) * nCells;
    state.SetItemsProcessed(static_cast<std::int64_t>(nFormatted));
    state.counters["time_per_cell"] =
        benchmark::Counter(nFormatted, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_cell"] = static_cast<double>(nAllocs) / nFormatted;
    state.counters["first_pass_allocs_per_cell"] = static_cast<double>(nFirstPass) / nCells;
    SetProfileSource(prev);
}

void BM_Format(benchmark::State& state) { FormatCells(state, kCells, ",", "."); }
void BM_FormatLongSeparators(benchmark::State& state) { FormatCells(state, kCells, "&thinsp;", "<dec>"); }
void BM_FormatHot(benchmark::State& state) { FormatCells(state, kHotCells, ",", "."); }

}  // namespace

BENCHMARK(BM_Format)->Arg(0)->Arg(2)->Arg(6)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatLongSeparators)->Arg(2)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatHot)->Arg(0)->Arg(-1)->Unit(benchmark::kMicrosecond);
