// Page setup and publishing options of the program's printed pages.
#include "page_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kavotool {

using kavo::CDC;
using kavo::CRect;
using kavo::CTblOb;

namespace {

constexpr double kMinPrintable = 72.0;  // points: an inch of paper at least
constexpr int kTwips = 20;              // per point

struct Paper {
    const char* name;
    double w, h;  // points, portrait
};
constexpr double kMm = 72.0 / 25.4;
const Paper kPapers[] = {
    {"letter", 612, 792}, {"legal", 612, 1008},           {"tabloid", 792, 1224},
    {"a3", 297 * kMm, 420 * kMm}, {"a4", 210 * kMm, 297 * kMm}, {"a5", 148 * kMm, 210 * kMm},
};

bool Usage(const OptionParser& opts, const std::string& reason) {
    Fail(opts.CommandName().c_str(), reason, kExitUsage);
    return false;
}

// Splits at commas.
std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t k = s.find(sep, start);
        out.push_back(s.substr(start, k == std::string::npos ? std::string::npos : k - start));
        if (k == std::string::npos) return out;
        start = k + 1;
    }
}

}  // namespace

std::vector<OptionSpec> operator+(std::vector<OptionSpec> a, const std::vector<OptionSpec>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<OptionSpec> PageSetupSpecs() {
    return {
        {"paper", 0, "NAME", "letter (default), legal, tabloid, a3, a4, a5, or WxH such as 8inx10in or 20cmx25cm"},
        {"landscape", 0, nullptr, "turn the paper sideways"},
        {"margin", 0, "LEN[,R,B,L]", "margins: one for every side or top,right,bottom,left (default 0.5in)"},
        {"page-order", 0, "ORDER", "across (default: the column pages of a row page first) or down"},
        {"page-numbers", 0, "HOW", "document (default), table (each table from its first page) or none"},
        {"first-page", 0, "N", "number of the first page (default 1)"},
        {"footing", 0, "WHERE", "every (default: at the foot of every page) or once (under the table)"},
    };
}

std::vector<OptionSpec> PublishingSpecs() {
    return {
        {"style-sheet", 0, "plain|FILE", "the house style for unstyled elements (default), none, or FILE's styles"},
        {"no-keep-with-next", 0, nullptr, "let a caption end a page without its rows"},
        {"continued", 0, "TEXT", "suffix of captions repeated on a continuation page (default \" (continued)\"; \"\" for none)"},
        {"equal-widths", 0, nullptr, "one common data-column width and a stub of a quarter, not widths from content"},
        {"stub-limit", 0, "PCT", "widest share of the width the stub takes before its labels wrap (default 40)"},
        {"no-spread", 0, nullptr, "leave the room left over on a page as space instead of widening the columns"},
        {"no-spanner-cuts", 0, nullptr, "cut column pages wherever they are full, not at spanner boundaries"},
        {"no-shrink", 0, nullptr, "never print a table in smaller type to fit the page width"},
        {"single-rules", 0, nullptr, "draw only single rules, untrimmed, and measure everything in one font"},
    };
}

bool PageSetupOptions(const OptionParser& opts, PageSetup& ps) {
    const std::string paper = opts.Get("paper", "letter");
    ps.paper = paper;
    bool bFound = false;
    for (const Paper& p : kPapers)
        if (paper == p.name) ps.dPageW = p.w, ps.dPageH = p.h, bFound = true;
    if (!bFound) {
        const std::size_t x = paper.find('x');
        double w = 0, h = 0;
        if (x == std::string::npos || !ParseLength(paper.substr(0, x), w) || !ParseLength(paper.substr(x + 1), h) ||
            w < 1 || h < 1 || w > 14400 || h > 14400)
            return Usage(opts, "unknown paper '" + paper + "' (letter, legal, tabloid, a3, a4, a5 or WxH)");
        ps.dPageW = w, ps.dPageH = h;
    }
    if (opts.Has("landscape")) {
        std::swap(ps.dPageW, ps.dPageH);
        ps.paper += " landscape";
    }
    if (opts.Has("margin")) {
        const std::vector<std::string> parts = Split(opts.Get("margin"), ',');
        double m[4];
        bool bOk = parts.size() == 1 || parts.size() == 4;
        for (std::size_t i = 0; bOk && i < parts.size(); ++i) bOk = ParseLength(parts[i], m[i]);
        if (!bOk)
            return Usage(opts, "--margin needs a length such as 0.5in or four of them (top,right,bottom,left), not '" +
                                   opts.Get("margin") + "'");
        if (parts.size() == 1) m[1] = m[2] = m[3] = m[0];
        ps.dTop = m[0], ps.dRight = m[1], ps.dBottom = m[2], ps.dLeft = m[3];
    }
    if (ps.PrintW() < kMinPrintable || ps.PrintH() < kMinPrintable)
        return Usage(opts, "the margins leave less than an inch of paper to print on");
    const std::string order = opts.Get("page-order", "across");
    if (order != "across" && order != "down") return Usage(opts, "--page-order needs across or down, not '" + order + "'");
    ps.bDownThenAcross = order == "down";
    const std::string numbers = opts.Get("page-numbers", "document");
    if (numbers == "document")
        ps.numbering = PageSetup::kDocument;
    else if (numbers == "table")
        ps.numbering = PageSetup::kTable;
    else if (numbers == "none")
        ps.numbering = PageSetup::kNone;
    else
        return Usage(opts, "--page-numbers needs document, table or none, not '" + numbers + "'");
    if (!IntOption(opts, "first-page", 0, 1000000, "a page number from 0 to 1000000", ps.nFirstPage)) return false;
    const std::string footing = opts.Get("footing", "every");
    if (footing != "every" && footing != "once") return Usage(opts, "--footing needs every or once, not '" + footing + "'");
    ps.bFootingOnce = footing == "once";
    return true;
}

bool PublishingOptions(const OptionParser& opts, Document& doc, kavo::CPrintOptions& o, int& nStatus) {
    nStatus = kExitUsage;
    o = kavo::CPrintOptions::Publishing();
    if (opts.Has("no-keep-with-next")) o.bKeepWithNext = 0;
    if (opts.Has("continued")) {
        o.strContinued = opts.Get("continued");
        o.bContinuedCaptions = o.strContinued.IsEmpty() ? 0 : 1;
    }
    if (opts.Has("equal-widths")) o.bWidthsFromContent = 0;
    if (!IntOption(opts, "stub-limit", 10, 90, "a percentage from 10 to 90", o.nStubLimitPercent)) return false;
    if (opts.Has("no-spread")) o.bSpreadLeftover = 0;
    if (opts.Has("no-spanner-cuts")) o.bCutAtSpanners = 0;
    if (opts.Has("no-shrink")) o.nMaxShrinkPercent = 0;
    if (opts.Has("single-rules")) o.bAllRuleKinds = o.bTrimSpannerRules = o.bMeasureInStyleFonts = 0;

    const std::string sheet = opts.Get("style-sheet");
    if (sheet == "plain") return true;
    if (sheet.empty()) {
        kavo::ApplyHouseStyle(*doc.registry);
        return true;
    }
    kavo::CSpecFile file;
    if (!file.Open(sheet.c_str(), kavo::CSpecFile::modeRead))
        return Usage(opts, "cannot read the style sheet " + sheet);
    kavo::CStyleRegistry registry;
    std::vector<LoadMessage> messages;
    {
        // What reading the sheet says is shown as the table file's messages
        // are, and counts under --strict.
        const DiscardMessageBoxes quiet;
        kavo::CLoadMessageLog log;
        registry.Build(file);
        for (const kavo::CLoadMessage& m : log.GetMessages()) messages.push_back(ToLoadMessage(m));
    }
    PrintMessages(stderr, sheet, messages);
    if (opts.Has("strict") && !messages.empty()) {
        nStatus = Fail(opts.CommandName().c_str(), StrictFailure("the style sheet " + sheet, messages.size()));
        return false;
    }
    kavo::TakeStyleSheet(*doc.registry, registry);
    return true;
}

}  // namespace kavotool
