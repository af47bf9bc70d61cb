// kavotbl render: one table as a window shows it, written as PNG or SVG.
#include <cairo-svg.h>
#include <cairo.h>

#include <string>
#include <vector>

#include "common.h"
#include "page_setup.h"
#include "kavotbl/cairo/cairo_dc.h"

namespace kavotool {
namespace {

using kavo::CRect;
using kavo::CTable;

// The shade of selected cells: a light blue that keeps black text readable.
constexpr kavo::COLORREF kSelection = kavo::RGB(0xCC, 0xE0, 0xFF);

}  // namespace

static int RunRender(int argc, char** argv) {
    OptionParser opts("render", "FILE -o OUT.png|OUT.svg [options]",
                      "Lays one table out for a window of the given size, as a program showing it\n"
                      "would, and writes what the window shows as a PNG or SVG image (by the\n"
                      "extension of OUT). The title, stub head and column headings stay in place\n"
                      "while the body scrolls.",
                      std::vector<OptionSpec>{
                          {"output", 'o', "OUT", "the image to write: .png or .svg (required)"},
                          {"format", 0, "FMT", "png or svg (default: from OUT's extension; png for -)"},
                          {"table", 0, "N", "the table to show (from 1; default 1)"},
                          {"width", 0, "PX", "window width in pixels (default 800)"},
                          {"height", 0, "PX", "window height in pixels (default 600)"},
                          {"scroll", 0, "DX,DY", "scroll the body DX pixels right and DY down"},
                          {"select", 0, "ROWS:COLS", "shade a block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"font", 0, "FAMILY", "font family (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                      } + PublishingSpecs());
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    if (!OutputOption(opts, "-o OUT.png or OUT.svg", output)) return kExitUsage;
    const std::string ext = opts.Has("format") ? opts.Get("format") : output == "-" ? "png" : Extension(output);
    if (opts.Has("format") && ext != "png" && ext != "svg")
        return Fail("render", "--format needs png or svg, not '" + ext + "'", kExitUsage);
    if (ext != "png" && ext != "svg")
        return Fail("render", "cannot tell the image type of " + output + " (use .png or .svg)", kExitUsage);

    int nTable = 1, nWidth = 800, nHeight = 600, dx = 0, dy = 0;
    if (!TableOption(opts, nTable) || !IntOption(opts, "width", 16, 16384, "16 to 16384 pixels", nWidth) ||
        !IntOption(opts, "height", 16, 16384, "16 to 16384 pixels", nHeight))
        return kExitUsage;
    if (opts.Has("scroll") && !ParsePair(opts.Get("scroll"), dx, dy))
        return Fail("render", "--scroll needs DX,DY such as 100,40, not '" + opts.Get("scroll") + "'", kExitUsage);
    Selection sel;
    bool bSelect = false;
    double dSize = 10.0;
    if (!SelectOption(opts, sel, bSelect) || !SizeOption(opts, dSize)) return kExitUsage;
    const std::string family = ResolveFamily("render", opts.Get("font", "DejaVu Sans"));

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus, true)) return nStatus;
    CTable& table = *tables.front();
    std::string error;
    if (bSelect && !SelectionFits(table, sel, opts.Get("select"), error)) return Fail("render", error, kExitUsage);
    kavo::CPrintOptions options;
    int nOptionStatus = kExitOk;
    if (!PublishingOptions(opts, doc, options, nOptionStatus)) return nOptionStatus;
    table.SetPrintOptions(options);
    GiveFont(*doc.registry, family, dSize);

    OutputFile out(output, true);
    if (!OpenOutput("render", out)) return kExitFailure;
    std::FILE* stream = OutputStream("render", out);
    if (!stream) return kExitFailure;
    cairo_surface_t* surface = ext == "svg"
                                   ? cairo_svg_surface_create_for_stream(WriteToStream, stream, nWidth, nHeight)
                                   : cairo_image_surface_create(CAIRO_FORMAT_RGB24, nWidth, nHeight);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        const std::string why = cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return Fail("render", "cannot write " + output + ": " + why);
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    {
        kavo::CCairoDC dc(cr, kavo::MM_TEXT);
        dc.SetDeviceBounds(0, 0, nWidth, nHeight);
        doc.registry->CreateCompatibleDC(&dc);
        const CRect window(0, 0, nWidth, nHeight);
        table.LayoutTable(window, &dc);
        // Scrolling right or down moves the body left or up under the headings.
        if (dx || dy) table.ScrollBy(-dx, -dy);
        if (bSelect) {
            BlockSelection(table, sel);
            table.StuffBlockColor(kSelection);
        }
        table.Draw(&dc, window, -1);
    }
    cairo_destroy(cr);
    cairo_status_t written;
    if (ext == "png") {
        written = cairo_surface_write_to_png_stream(surface, WriteToStream, stream);
    } else {
        cairo_surface_finish(surface);
        written = cairo_surface_status(surface);
    }
    cairo_surface_destroy(surface);
    return FinishOutput("render", out, g_bInterrupted,
                        written != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(written) : nullptr);
}

extern const Command kCommand_render = {"render", "render a table as a window shows it, to PNG or SVG", &RunRender};

}  // namespace kavotool
