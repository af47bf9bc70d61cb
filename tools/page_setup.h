// Paper, margins, page order and page numbers of the program's printed
// pages, and the publishing options that print, render, rtf and info share.
#pragma once

#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/cairo/printed_pages.h"

namespace kavotool {

/// How printed pages are set up, with the paper's name for messages and info.
struct PageSetup : kavo::CPageSetup {
    std::string paper = "letter";
};

/// --paper, --landscape, --margin, --page-order, --page-numbers,
/// --first-page, --footing.
std::vector<OptionSpec> PageSetupSpecs();
/// --style-sheet, --no-keep-with-next, --continued, --equal-widths,
/// --stub-limit, --no-spread, --no-spanner-cuts, --no-shrink, --single-rules.
std::vector<OptionSpec> PublishingSpecs();
/// Appends the specs of b to a.
std::vector<OptionSpec> operator+(std::vector<OptionSpec> a, const std::vector<OptionSpec>& b);

/// Reads the page-setup options; false after the reason was printed.
bool PageSetupOptions(const OptionParser& opts, PageSetup& ps);
/// Reads the publishing options into o (every option on unless turned
/// off) and applies the style sheet to doc's registry: the house style,
/// none with --style-sheet plain, or the styles of another table file.
/// Call before the fonts are given. False after the reason was printed,
/// with the exit status in nStatus (a style sheet with messages under
/// --strict fails as the table file would).
bool PublishingOptions(const OptionParser& opts, Document& doc, kavo::CPrintOptions& o, int& nStatus);

}  // namespace kavotool
