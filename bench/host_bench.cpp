// Speed of the host layer: reading table-file lines (from memory and from
// disk, against reading the file and splitting its lines by hand) and
// wrapping text on a surface.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"

namespace {

// About 32 MB of typical lines: keys, headings, and data lines of numbers.
const std::string& SampleText() {
    static const std::string text = [] {
        std::string t;
        int i = 0;
        while (t.size() < 32u * 1024 * 1024) {
            if (i % 50 == 0) t += "[Row]\n";
            t += "Text=Row number " + std::to_string(i) + "\n";
            t += "Data=1200, 800, 35, 41, 998877, 0, 12, 7\n";
            t += "Style=Body Text\n";
            ++i;
        }
        return t;
    }();
    return text;
}

const std::string& SamplePath() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() /
                         ("kavotbl_host_bench_" + std::to_string(::getpid()) + ".tbl")).string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (f) {
            std::fwrite(SampleText().data(), 1, SampleText().size(), f);
            std::fclose(f);
        }
        return p;
    }();
    return path;
}

void BM_ReadLinesMemory(benchmark::State& state) {
    const std::string& text = SampleText();
    for (auto _ : state) {
        kavo::CSpecFile f;
        f.OpenText(text);
        kavo::CKAVOString key, value;
        std::size_t n = 0;
        while (f.GetLine(key, value) == 0) n += static_cast<std::size_t>(value.GetLength());
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLinesMemory)->Unit(benchmark::kMillisecond);

void BM_ReadLinesFile(benchmark::State& state) {
    const std::string& path = SamplePath();
    for (auto _ : state) {
        kavo::CSpecFile f;
        if (!f.Open(path.c_str(), kavo::CSpecFile::modeRead)) {
            state.SkipWithError("cannot open the sample file");
            return;
        }
        kavo::CKAVOString key, value;
        std::size_t n = 0;
        while (f.GetLine(key, value) == 0) n += static_cast<std::size_t>(value.GetLength());
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(SampleText().size()));
}
BENCHMARK(BM_ReadLinesFile)->Unit(benchmark::kMillisecond);

// Baseline: read the whole file and split it at line feeds into strings.
void BM_ReadAndSplitBaseline(benchmark::State& state) {
    const std::string& path = SamplePath();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            state.SkipWithError("cannot open the sample file");
            return;
        }
        std::string all;
        char buf[1 << 16];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) all.append(buf, got);
        std::fclose(f);
        std::string line;
        std::size_t n = 0;
        for (std::size_t pos = 0; pos < all.size();) {
            const void* nl = std::memchr(all.data() + pos, '\n', all.size() - pos);
            const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - all.data()) : all.size();
            line.assign(all, pos, end - pos);
            n += line.size();
            pos = end + 1;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(SampleText().size()));
}
BENCHMARK(BM_ReadAndSplitBaseline)->Unit(benchmark::kMillisecond);

void BM_WriteLinesMemory(benchmark::State& state) {
    const kavo::CKAVOString key("Data"), value("1200, 800, 35, 41, 998877, 0, 12, 7");
    const int lines = 100000;
    for (auto _ : state) {
        kavo::CSpecFile f;
        f.OpenTextWrite();
        for (int i = 0; i < lines; ++i) f.PutLine(key, value);
        benchmark::DoNotOptimize(f.GetText().size());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
}
BENCHMARK(BM_WriteLinesMemory)->Unit(benchmark::kMillisecond);

// Measuring a cell-sized text at the trial widths of element sizing.
void BM_MeasureWrapped(benchmark::State& state) {
    kavo::CRecordingDC dc;
    const kavo::CKAVOString text("Households with two or more persons, by region and type of dwelling");
    for (auto _ : state) {
        for (int w = 40; w <= 600; w += 22) {
            kavo::CRect rc(0, 0, w, 0);
            benchmark::DoNotOptimize(dc.DrawText(text, &rc, 0x0E10));
        }
    }
}
BENCHMARK(BM_MeasureWrapped);

// One long paragraph: the wrapping work must stay near-linear in its length.
void BM_WrapLongParagraph(benchmark::State& state) {
    kavo::CRecordingDC dc;
    std::string text;
    while (text.size() < static_cast<std::size_t>(state.range(0))) text += "word ";
    std::vector<kavo::CTextLine> lines;
    for (auto _ : state) {
        dc.WrapText(text.c_str(), static_cast<int>(text.size()), 32767, true, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_WrapLongParagraph)->Arg(1 << 12)->Arg(1 << 16)->Arg(1 << 20);

}  // namespace
