// kavotbl info: what a table file holds, for people (a summary of each table
// and the messages that loading showed) or for tools (the loaded model as
// JSON, with every element's box and page list after a layout).
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common.h"
#include "page_setup.h"
#include "info_json.h"
#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/export/text.h"

namespace kavotool {

using kavo::TextToUtf8;

namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& item : items) s += (s.empty() ? "" : ", ") + item;
    return s.empty() ? "(none)" : s;
}

void PrintField(const char* name, const std::string& value) { std::printf("  %-15s %s\n", name, value.c_str()); }

void PrintSummary(const Document& doc, const std::vector<int>& numbers, const std::vector<LayoutInfo>& layouts) {
    const int nTables = static_cast<int>(doc.tables.size());
    const int nStyles = doc.registry->GetNumStyles(), nFormats = doc.registry->GetNumFormats();
    std::printf("%s: %d %s, %d %s, %d %s\n", TextToUtf8(doc.path).c_str(), nTables, nTables == 1 ? "table" : "tables",
                nStyles, nStyles == 1 ? "style" : "styles", nFormats, nFormats == 1 ? "format" : "formats");
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const kavo::CTable& t = *doc.tables[static_cast<std::size_t>(numbers[i] - 1)];
        const TableSummary s = Summarize(t);
        std::printf("\ntable %d: %s\n", numbers[i],
                    t.GetName().IsEmpty() ? "(no name)" : TextToUtf8(t.GetName().str()).c_str());
        const struct {
            const char* name;
            const kavo::CTblOb* piece;
        } pieces[] = {{"title", t.GetTitle()}, {"heading", t.GetHeader()}, {"footing", t.GetFooter()},
                      {"stub head", t.GetStubHead()}};
        for (const auto& p : pieces)
            if (!p.piece->GetText().IsEmpty()) PrintField(p.name, TextToUtf8(p.piece->GetText().str()));
        PrintField("data rows", std::to_string(s.nDataRows));
        PrintField("data columns", std::to_string(s.nDataColumns));
        PrintField("heading levels", std::to_string(s.nHeadingLevels));
        PrintField("stub levels", std::to_string(s.nStubLevels));
        PrintField("area levels", std::to_string(s.nAreaLevels));
        PrintField("styles used", Joined(s.styles));
        PrintField("formats used", Joined(s.formats));
        if (i < layouts.size()) {
            const LayoutInfo& l = layouts[i];
            const kavo::CSize size = t.Size();
            std::string text = l.kind == "screen" ? "screen, " + std::to_string(l.rect.right - l.rect.left) + " wide"
                                                  : "printer, " + l.paper;
            text += ": " + std::to_string(size.cx) + " x " + std::to_string(std::abs(size.cy)) + ", margin " +
                    std::to_string(l.nMargin) + ", line height " + std::to_string(l.nLineHeight);
            if (l.kind == "printer") {
                const int h = std::max(1, t.GetNumHorzPages());
                text += ", " + std::to_string(t.GetNumPages()) + (t.GetNumPages() == 1 ? " page" : " pages") + " (" +
                        std::to_string(h) + " across, " + std::to_string(t.GetNumPages() / h) + " down)";
            }
            PrintField("layout", text);
        }
    }
    std::printf("\n");
    if (doc.messages.empty()) {
        std::printf("loading showed no messages\n");
        return;
    }
    std::printf("messages while loading:\n");
    for (const LoadMessage& m : doc.messages) {
        if (m.nLine > 0)
            std::printf("  line %d: %s\n", m.nLine, TextToUtf8(m.text).c_str());
        else
            std::printf("  %s\n", TextToUtf8(m.text).c_str());
    }
}

}  // namespace

static int RunInfo(int argc, char** argv) {
    OptionParser opts("info", "FILE [options]",
                      "Tells what a table file holds: for each table its name, title, data rows and\n"
                      "columns, levels of heading and stub, area levels and the styles and formats\n"
                      "it uses, then the messages that loading showed with their line numbers.\n"
                      "--json prints the loaded model instead; with --layout also every element's\n"
                      "box and page list, measured with Cairo or, with --surface fixed, on a\n"
                      "surface where each byte is 8 units wide and a line 16 high.",
                      std::vector<OptionSpec>{
                          {"json", 0, nullptr, "print the model as JSON"},
                          {"table", 0, "N", "only the N-th table (from 1)"},
                          {"layout", 0, "KIND", "lay the tables out first: screen, or printer as print does"},
                          {"width", 0, "PX", "screen width in pixels (default 800)"},
                          {"surface", 0, "KIND", "measure with cairo (default) or fixed"},
                          {"font", 0, "FAMILY", "font family on the cairo surface (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points on the cairo surface (default 10)"},
                      } + PageSetupSpecs() + PublishingSpecs());
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    int nTable = 0;
    if (!TableOption(opts, nTable)) return kExitUsage;

    const std::string kind = opts.Get("layout");
    const bool bLayout = opts.Has("layout");
    if (bLayout && kind != "screen" && kind != "printer")
        return Fail("info", "--layout needs screen or printer, not '" + kind + "'", kExitUsage);
    for (const char* o : {"width", "paper", "landscape", "margin", "surface", "font", "size"})
        if (opts.Has(o) && !bLayout) return Fail("info", std::string("--") + o + " needs --layout", kExitUsage);
    if (opts.Has("width") && kind != "screen") return Fail("info", "--width goes with --layout screen", kExitUsage);
    for (const OptionSpec& o : PageSetupSpecs())
        if (opts.Has(o.name) && kind != "printer")
            return Fail("info", std::string("--") + o.name + " goes with --layout printer", kExitUsage);
    const std::string surfaceKind = opts.Get("surface", "cairo");
    if (surfaceKind != "cairo" && surfaceKind != "fixed")
        return Fail("info", "--surface needs cairo or fixed, not '" + surfaceKind + "'", kExitUsage);
    const bool bFixed = surfaceKind == "fixed";
    if (bFixed && (opts.Has("font") || opts.Has("size")))
        return Fail("info", "the fixed surface has no fonts: --font and --size go with --surface cairo", kExitUsage);
    int nWidth = 800;
    PageSetup ps;
    double dSize = 10.0;
    if (!IntOption(opts, "width", 16, 1 << 20, "16 to 1048576 pixels", nWidth) || !PageSetupOptions(opts, ps) ||
        !SizeOption(opts, dSize))
        return kExitUsage;

    // The JSON goes through the C++ stream alone: let it buffer on its own.
    if (opts.Has("json")) std::ios::sync_with_stdio(false);

    ProgressBar progress("loading", 1);
    Document doc;
    doc.bEchoMessages = false;  // they are part of what info prints
    std::vector<kavo::CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus)) return nStatus;
    std::vector<int> numbers;
    for (std::size_t i = 0; i < doc.tables.size(); ++i)
        if (nTable == 0 || static_cast<int>(i) + 1 == nTable) numbers.push_back(static_cast<int>(i) + 1);

    std::vector<LayoutInfo> layouts;
    kavo::CPrintOptions options;
    int nOptionStatus = kExitOk;
    if (bLayout && !PublishingOptions(opts, doc, options, nOptionStatus)) return nOptionStatus;
    if (bLayout) {
        const bool bPrinter = kind == "printer";
        const int nMapMode = bPrinter ? kavo::MM_TWIPS : kavo::MM_TEXT;
        std::unique_ptr<kavo::CDC> dc;
        if (bFixed) {
            auto rec = std::make_unique<kavo::CRecordingDC>(nMapMode);
            rec->SetRecording(false);
            dc = std::move(rec);
        } else {
            dc = kavo::CCairoDC::CreateMeasuringDC(nMapMode);
            GiveFont(*doc.registry, kavo::CairoFontFamily(opts.Get("font", "DejaVu Sans").c_str()), dSize);
        }
        doc.registry->CreateCompatibleDC(dc.get());
        LayoutInfo info;
        info.kind = kind;
        info.surface = surfaceKind;
        if (bPrinter) {
            info.paper = ps.paper;
        } else {
            info.rect = kavo::CRect(0, 0, nWidth, 0);
        }
        progress.Restart("laying out", static_cast<long long>(tables.size()));
        for (std::size_t i = 0; i < tables.size() && !g_bInterrupted; ++i) {
            if (bPrinter) {
                // The pages print lays out: the same room beside heading and footing, the same options.
                const kavo::CPrintedPages pages(*dc, {tables[i]}, ps, options);
                info.rect = kavo::CRect(0, 0, static_cast<int>(std::floor(ps.PrintW() * 20)), -pages.GetBodyHeight(0));
            } else {
                tables[i]->SetPrintOptions(options);
                tables[i]->LayoutTable(info.rect, dc.get());
            }
            info.nMargin = kavo::g_nMargin;
            info.nLineHeight = kavo::g_nLineHeight;
            layouts.push_back(info);
            progress.Update(static_cast<long long>(i + 1));
        }
        progress.Finish();
        if (g_bInterrupted) return Fail("info", "cancelled", kExitCancelled);
    }

    if (opts.Has("json")) {
        try {
            // Streamed: a large table need not exist twice, as a model and as text.
            std::cout << std::setw(2) << DocumentJson(doc, numbers, bLayout ? &layouts : nullptr) << '\n';
            std::cout.flush();
        } catch (const std::exception& e) {
            return Fail("info", std::string("cannot make the JSON: ") + e.what());
        }
    } else {
        PrintSummary(doc, numbers, layouts);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout)
        return Fail("info", "cannot write to standard output");
    return kExitOk;
}

extern const Command kCommand_info = {"info", "tell what a table file holds, or print its model as JSON", &RunInfo};

}  // namespace kavotool
