// The compiled part of the kavotbl Python package: documents, tables and
// their trees over the C++ library, and the outputs through the Cairo
// surface. The package's __init__.py adds the pieces that are easier in
// Python (the DataFrame builder, the notebook view, writing files).
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/cairo/printed_pages.h"
#include "kavotbl/kavotbl.h"
#ifdef KAVOTBL_HAVE_EXPORT
#include "kavotbl/export/export.h"
#endif

namespace py = pybind11;

namespace {

using kavo::CRect;
using kavo::CTable;

// The library keeps process-wide layout and drawing values and one message
// handler: calls into it that run without the GIL take turns. Code holding
// this lock never asks for the GIL, so the two cannot deadlock.
std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

// Table files hold UTF-8, or Windows-1252 when they are old; the surface
// reads them the same way.
py::str Text(const std::string& bytes) {
    PyObject* p = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), nullptr);
    if (!p) {
        PyErr_Clear();
        p = PyUnicode_Decode(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), "cp1252", "replace");
        if (!p) throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(p);
}
py::str Text(const kavo::CKAVOString& s) { return Text(s.str()); }

struct Message {
    int id;
    int line;
    std::string text;
};

struct Doc {
    kavo::CTableDocument doc;
    std::vector<Message> messages;
    std::string failure;  // why loading failed, empty when it did not
};
using DocPtr = std::shared_ptr<Doc>;

struct Table {
    DocPtr doc;
    CTable* table;
};

struct Node {
    DocPtr doc;
    CTable* table;
    kavo::CRowColOb* node;
    bool bColumn;
    int index;  // data column or data row number; -1 for a spanner or caption
};

[[noreturn]] void Raise(PyObject* type, const std::string& message) {
    PyErr_SetString(type, message.c_str());
    throw py::error_already_set();
}

// ------------------------------------------------------------------ loading

DocPtr Load(const std::string& path) {
    auto d = std::make_shared<Doc>();
    int nErrno = 0;
    bool bFolder = false;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(LibraryLock());
        struct stat st;
        kavo::CSpecFile file;
        errno = 0;
        if (stat(path.c_str(), &st) != 0) {
            nErrno = errno;
        } else if (S_ISDIR(st.st_mode)) {
            bFolder = true;
        } else if (!file.Open(path.c_str(), kavo::CSpecFile::modeRead)) {
            nErrno = errno ? errno : EIO;
        } else {
            // The document keeps what loading said; no message box meanwhile.
            kavo::MessageBoxHandler previous =
                kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return static_cast<int>(kavo::IDOK); });
            const int nLoaded = d->doc.Load(file);
            kavo::SetMessageBoxHandler(std::move(previous));
            for (const kavo::CLoadMessage& m : d->doc.GetMessages()) {
                std::string line = m.strText;
                std::replace(line.begin(), line.end(), '\n', ' ');
                d->messages.push_back({static_cast<int>(m.nID), m.nLine, line});
            }
            if (!nLoaded)
                d->failure = "a table of " + path + " cannot be read (see the messages)";
            else if (d->doc.GetNumTables() == 0)
                d->failure = path + " holds no table";
        }
    }
    if (bFolder) {
        errno = EISDIR;
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
        throw py::error_already_set();
    }
    if (nErrno) {
        errno = nErrno;
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
        throw py::error_already_set();
    }
    return d;
}

// ------------------------------------------------------------------ building

// What the package's builders hand over: columns as (text, children or
// None), rows as (text, children or None, values); a value of None is a
// hidden cell. Each data column may have its own number of decimals.
struct BuildState {
    kavo::CTableBuilder* b;
    kavo::CStyleRegistry* reg;
    std::vector<int> decimals;
    int nColumns = 0;
};

kavo::CKAVOString Bytes(const py::handle& h) { return kavo::CKAVOString(py::cast<std::string>(py::str(h)).c_str()); }

void AddColumns(BuildState& s, const py::list& items, kavo::CTblColumn* pParent) {
    for (const py::handle& item : items) {
        const py::tuple t = py::cast<py::tuple>(item);
        if (t.size() != 2) Raise(PyExc_ValueError, "a column is (text, children or None)");
        if (t[1].is_none()) {
            kavo::CTblColumn* pCol = s.b->AddColumn(Bytes(t[0]), pParent);
            const int d = s.nColumns < static_cast<int>(s.decimals.size()) ? s.decimals[s.nColumns] : 0;
            if (d) s.b->SetCellFormat(pCol, kavo::CKAVOString(("Decimals" + std::to_string(d)).c_str()));
            ++s.nColumns;
        } else {
            AddColumns(s, py::cast<py::list>(t[1]), s.b->AddSpanner(Bytes(t[0]), pParent));
        }
    }
}

void AddRows(BuildState& s, const py::list& items, kavo::CTblRow* pParent) {
    for (const py::handle& item : items) {
        const py::tuple t = py::cast<py::tuple>(item);
        if (t.size() != 3) Raise(PyExc_ValueError, "a row is (text, children or None, values)");
        if (!t[1].is_none()) {
            AddRows(s, py::cast<py::list>(t[1]), s.b->AddCaption(Bytes(t[0]), pParent));
            continue;
        }
        const py::list values = py::cast<py::list>(t[2]);
        if (static_cast<int>(values.size()) > s.nColumns)
            Raise(PyExc_ValueError, "row '" + py::cast<std::string>(py::str(t[0])) + "' has " +
                                        std::to_string(values.size()) + " values for " +
                                        std::to_string(s.nColumns) + " data columns");
        std::vector<std::int64_t> numbers;
        std::vector<int> hidden;
        numbers.reserve(values.size());
        for (const py::handle& v : values) {
            if (v.is_none()) {
                hidden.push_back(static_cast<int>(numbers.size()));
                numbers.push_back(0);
            } else {
                numbers.push_back(py::cast<std::int64_t>(v));
            }
        }
        kavo::CTblRow* pRow = s.b->AddRow(Bytes(t[0]), numbers, pParent);
        for (int c : hidden) s.b->SetCellFormat(pRow, c, "Hidden");
    }
}

// The look of a built table: left-aligned title, stub and captions, centred
// and ruled column headings, a rule above and below the table.
const char* const kHouseStyles =
    "[Style]\nLabel=Table\nBorderTop=Single\nBorderBottom=Single\n"
    "[Style]\nLabel=Title\nHorJust=Left\nVertJust=Top\n"
    "[Style]\nLabel=StubHead\nHorJust=Left\nLineBottom=Single\n"
    "[Style]\nLabel=Header\nHorJust=Center\n"
    "[Style]\nLabel=Footer\nHorJust=Left\nVertJust=Top\n"
    "[Style]\nLabel=ColumnGroup\nHorJust=Center\nLineBottom=Single\n"
    "[Style]\nLabel=Column\nHorJust=Center\nLineBottom=Single\n"
    "[Style]\nLabel=RowGroup\nHorJust=Left\nVertJust=Top\n"
    "[Style]\nLabel=Row\nHorJust=Left\n";

bool HasMissing(const py::list& rows) {
    for (const py::handle& item : rows) {
        const py::tuple t = py::cast<py::tuple>(item);
        if (t.size() != 3) Raise(PyExc_ValueError, "a row is (text, children or None, values)");
        if (!t[1].is_none() ? HasMissing(py::cast<py::list>(t[1])) : false) return true;
        for (const py::handle& v : py::cast<py::list>(t[2]))
            if (v.is_none()) return true;
    }
    return false;
}

DocPtr Build(const py::dict& pieces, const py::list& columns, const py::list& rows, const std::vector<int>& decimals) {
    for (int n : decimals)
        if (n < 0 || n > 20) Raise(PyExc_ValueError, "decimals must lie between 0 and 20, not " + std::to_string(n));
    std::lock_guard<std::mutex> lock(LibraryLock());
    kavo::CStyleRegistry reg;
    kavo::CSpecFile sheet;
    sheet.OpenText(kHouseStyles);
    reg.Build(sheet);
    std::vector<int> wanted(decimals);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    for (int n : wanted) {
        if (n == 0) continue;
        auto* f = new kavo::CFormat(kavo::CKAVOString(("Decimals" + std::to_string(n)).c_str()));
        f->m_nDecimals = n;
        reg.RegisterFormat(f);
    }
    // A missing value shows nothing at all: hidden, and no zero mark.
    // Registered only when a cell needs it, so that a table without missing
    // values saves without it.
    if (HasMissing(rows)) {
        auto* hidden = new kavo::CFormat(kavo::CKAVOString("Hidden"));
        hidden->m_bHidden = 1;
        hidden->m_strZeroMask = "";
        reg.RegisterFormat(hidden);
    }

    CTable table;
    table.SetStyleRegistry(&reg);
    kavo::CTableBuilder b(table);
    BuildState s{&b, &reg, decimals};
    auto piece = [&](const char* key, void (kavo::CTableBuilder::*set)(const kavo::CKAVOString&)) {
        if (pieces.contains(key) && !pieces[key].is_none()) (b.*set)(Bytes(pieces[key]));
    };
    piece("name", &kavo::CTableBuilder::SetName);
    piece("title", &kavo::CTableBuilder::SetTitle);
    piece("heading", &kavo::CTableBuilder::SetHeading);
    piece("footing", &kavo::CTableBuilder::SetFooting);
    piece("stub_head", &kavo::CTableBuilder::SetStubHead);
    AddColumns(s, columns, nullptr);
    AddRows(s, rows, nullptr);
    if (!b.Link()) Raise(PyExc_ValueError, "the table holds more cells than a table file may");

    // The document is what loading the saved table gives, so that a built
    // table and a reloaded one never differ.
    kavo::CSpecFile file;
    file.OpenTextWrite();
    reg.Save(file);
    table.Save(file);
    auto d = std::make_shared<Doc>();
    if (!d->doc.LoadText(file.GetText())) Raise(PyExc_RuntimeError, "the built table did not load again");
    return d;
}

// ------------------------------------------------------------------ output

struct Stream {
    std::string data;
    static cairo_status_t Write(void* closure, const unsigned char* p, unsigned int n) {
        static_cast<Stream*>(closure)->data.append(reinterpret_cast<const char*>(p), n);
        return CAIRO_STATUS_SUCCESS;
    }
};

// The face a requested family selects, and a warning when it is another.
// Font lookup is library work: it runs under the library lock.
std::string Family(const std::string& requested, std::string& warning) {
    std::string family = kavo::CairoFontFamily(requested.c_str());
    std::string a = requested, b = family;
    for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (a != b) warning = "no font family '" + requested + "'; using " + family;
    return family;
}

void Warn(const std::string& warning) {
    if (!warning.empty() && PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) < 0) throw py::error_already_set();
}

// Every style gets one face at one size, as the kavotbl program gives it:
// pixels at 96 per inch on screen, twips on paper.
void GiveFont(kavo::CStyleRegistry& reg, const std::string& family, double dPoints) {
    kavo::LOGFONT lf;
    lf.lfHeight = -std::max(1, static_cast<int>(std::lround(dPoints * 96.0 / 72.0)));
    lf.lfWeight = kavo::FW_NORMAL;
    lf.lfCharSet = kavo::DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, family.c_str(), sizeof lf.lfFaceName - 1);
    reg.UpdateFonts(&lf, std::max(1, static_cast<int>(std::lround(dPoints * 20.0))));
}

void CheckSize(double dSize) {
    if (!(dSize >= 1 && dSize <= 200)) Raise(PyExc_ValueError, "size must lie between 1 and 200 points");
}

struct Block {
    bool bSet = false;
    int r0 = 0, c0 = 0, r1 = 0, c1 = 0;
};

// The window picture of one table, as `kavotbl render` draws it.
py::bytes Render(const Table& t, bool bSvg, int nWidth, int nHeight, int dx, int dy, const Block& sel,
                 const std::string& font, double dSize) {
    if (nWidth < 16 || nWidth > 16384 || nHeight < 16 || nHeight > 16384)
        Raise(PyExc_ValueError, "width and height must lie between 16 and 16384 pixels");
    CheckSize(dSize);
    CTable& table = *t.table;
    if (sel.bSet && (std::max(sel.r0, sel.r1) >= table.GetNumDataRows() ||
                     std::max(sel.c0, sel.c1) >= table.GetNumDataColumns() || std::min({sel.r0, sel.r1, sel.c0, sel.c1}) < 0))
        Raise(PyExc_IndexError, "the selection reaches past the table");
    Stream out;
    cairo_status_t status;
    std::string warning;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(LibraryLock());
        GiveFont(t.doc->doc.GetRegistry(), Family(font, warning), dSize);
        cairo_surface_t* surface = bSvg ? cairo_svg_surface_create_for_stream(&Stream::Write, &out, nWidth, nHeight)
                                        : cairo_image_surface_create(CAIRO_FORMAT_RGB24, nWidth, nHeight);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        {
            kavo::CCairoDC dc(cr, kavo::MM_TEXT);
            dc.SetDeviceBounds(0, 0, nWidth, nHeight);
            t.doc->doc.GetRegistry().CreateCompatibleDC(&dc);
            const CRect window(0, 0, nWidth, nHeight);
            table.LayoutTable(window, &dc);
            if (dx || dy) table.ScrollBy(-dx, -dy);
            if (sel.bSet) {
                kavo::CRectArray rects;
                table.SelectBlock(sel.r0, sel.c0, sel.r1, sel.c1, rects);
                table.StuffBlockColor(kavo::RGB(0xCC, 0xE0, 0xFF));
            }
            table.Draw(&dc, window, kavo::kScreenPage);
        }
        cairo_destroy(cr);
        if (bSvg) {
            cairo_surface_finish(surface);
            status = cairo_surface_status(surface);
        } else {
            status = cairo_surface_write_to_png_stream(surface, &Stream::Write, &out);
        }
        cairo_surface_destroy(surface);
    }
    Warn(warning);
    if (status != CAIRO_STATUS_SUCCESS) Raise(PyExc_RuntimeError, cairo_status_to_string(status));
    return py::bytes(out.data);
}

// ------------------------------------------------------------------ printing

// Pages as `kavotbl print` makes them: every table from a new page, its
// heading on top, its footing and "Page N of M" at the foot.
py::bytes Print(const DocPtr& doc, const std::vector<CTable*>& tables, double dPageW, double dPageH, double dMargin,
                const std::string& font, double dSize) {
    CheckSize(dSize);
    const double dPrintW = dPageW - 2 * dMargin, dPrintH = dPageH - 2 * dMargin;
    if (!(dMargin >= 0) || dPrintW < 72 || dPrintH < 72)
        Raise(PyExc_ValueError, "the margins leave less than an inch of paper to print on");
    Stream out;
    cairo_status_t status;
    std::string warning;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(LibraryLock());
        GiveFont(doc->doc.GetRegistry(), Family(font, warning), dSize);
        cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(&Stream::Write, &out, dPageW, dPageH);
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "kavotbl");
        cairo_t* cr = cairo_create(surface);
        {
            kavo::CCairoDC dc(cr, kavo::MM_TWIPS);
            doc->doc.GetRegistry().CreateCompatibleDC(&dc);
            kavo::CPageSetup setup;
            setup.dPageW = dPageW, setup.dPageH = dPageH;
            setup.dTop = setup.dRight = setup.dBottom = setup.dLeft = dMargin;
            const kavo::CPrintedPages pages(dc, tables, setup);
            for (int k = 0; k < pages.GetNumPages(); ++k) {
                pages.DrawPage(dc, k);
                cairo_show_page(cr);
            }
        }
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        status = cairo_surface_status(surface);
        cairo_surface_destroy(surface);
    }
    Warn(warning);
    if (status != CAIRO_STATUS_SUCCESS) Raise(PyExc_RuntimeError, cairo_status_to_string(status));
    return py::bytes(out.data);
}

// ------------------------------------------------------------------ export

#ifdef KAVOTBL_HAVE_EXPORT
// The tables in one of the export module's formats. The options are the
// module's own, by their Python names; the module ignores those of other
// formats.
py::bytes Export(const DocPtr& doc, const std::vector<CTable*>& tables, const std::string& format,
                 const py::dict& o) {
    kavo::CExportOptions opt;
    if (!kavo::FindExportFormat(format, opt.format))
        Raise(PyExc_NotImplementedError, "the export module of this build does not write " + format);
    auto flag = [&](const char* key, int& field) {
        if (o.contains(key)) field = py::cast<bool>(o[key]) ? 1 : 0;
    };
    flag("selected_only", opt.bBlockedOnly);
    flag("bom", opt.bBom);
    flag("caption_records", opt.bCaptionRecords);
    flag("heading_levels", opt.bHeadingLevels);
    flag("shown_text", opt.bShownText);
    flag("fragment", opt.bFragment);
    if (o.contains("title") && !o["title"].is_none()) opt.strTitle = py::cast<std::string>(o["title"]);
    if (o.contains("page")) {
        const auto page = py::cast<std::tuple<double, double, double>>(o["page"]);
        opt.page.nWidth = static_cast<int>(std::lround(std::get<0>(page) * 20));
        opt.page.nHeight = static_cast<int>(std::lround(std::get<1>(page) * 20));
        opt.page.nMargin = static_cast<int>(std::lround(std::get<2>(page) * 20));
    }
    std::string family = o.contains("font") ? py::cast<std::string>(o["font"]) : "DejaVu Sans";
    const double dSize = o.contains("size") ? py::cast<double>(o["size"]) : 10.0;
    CheckSize(dSize);
    // A document names its font; whoever opens it finds the face.
    if (family.empty() || family.size() > 31 || family.find_first_of(";{}\\\n\r") != std::string::npos)
        Raise(PyExc_ValueError, "font needs a family name of 1 to 31 characters without ; { } or \\");
    if (opt.bBlockedOnly)
        for (const CTable* t : tables)
            if (!t->IsBlocked()) Raise(PyExc_ValueError, "nothing is selected");
    std::ostringstream out(std::ios::binary);
    kavo::CExportReport report;
    int bOk;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(LibraryLock());
        GiveFont(doc->doc.GetRegistry(), family, dSize);
        bOk = kavo::ExportTables(tables, out, opt, &report);
    }
    for (const std::string& w : report.arrWarnings)
        if (PyErr_WarnEx(PyExc_UserWarning, w.c_str(), 1) < 0) throw py::error_already_set();
    if (!bOk) Raise(PyExc_RuntimeError, report.strError.empty() ? "the export failed" : report.strError);
    return py::bytes(out.str());
}
#endif

// ------------------------------------------------------------------ tables

void CheckCell(const CTable& t, int r, int c) {
    if (r < 0 || r >= t.GetNumDataRows() || c < 0 || c >= t.GetNumDataColumns())
        Raise(PyExc_IndexError, "cell (" + std::to_string(r) + ", " + std::to_string(c) + ") lies outside the " +
                                    std::to_string(t.GetNumDataRows()) + " x " +
                                    std::to_string(t.GetNumDataColumns()) + " cells of the table");
}

std::string CellText(CTable& t, int r, int c) {
    kavo::CTblCell* cell = t.GetCell(r, c);
    if (cell->IsDirty()) cell->Format();
    return cell->GetText().str();
}

py::str Label(const kavo::CStyle* s) { return s ? Text(s->GetLabel()) : py::str(""); }
py::object Label(const kavo::CFormat* f) { return f ? py::object(Text(f->GetLabel())) : py::none(); }

std::vector<Node> Children(const DocPtr& doc, CTable& t, const kavo::CRowColOb* n, bool bColumns) {
    std::vector<Node> out;
    out.reserve(static_cast<std::size_t>(n->GetNumChildren()));
    for (int i = 0; i < n->GetNumChildren(); ++i) {
        kavo::CRowColOb* c = n->GetChildAt(i);
        int index = -1;
        if (c->HasData())
            index = bColumns ? t.GetColumnNum(static_cast<kavo::CTblColumn*>(c))
                             : t.GetRowNum(static_cast<kavo::CTblRow*>(c));
        out.push_back({doc, &t, c, bColumns, index});
    }
    return out;
}

// The data rows or columns a selection argument names: an index, a slice
// or a (first, last) pair, inclusive.
void Span(const py::handle& h, int nCount, int& first, int& last, const char* what) {
    if (py::isinstance<py::slice>(h)) {
        py::ssize_t start, stop, step, len;
        if (!py::reinterpret_borrow<py::slice>(h).compute(nCount, &start, &stop, &step, &len)) throw py::error_already_set();
        if (step != 1 || len <= 0) Raise(PyExc_IndexError, std::string("the ") + what + " slice selects nothing");
        first = static_cast<int>(start);
        last = static_cast<int>(start + len - 1);
        return;
    }
    if (py::isinstance<py::tuple>(h)) {
        const auto pair = py::cast<std::pair<int, int>>(h);
        first = pair.first, last = pair.second;
    } else {
        first = last = py::cast<int>(h);
    }
    if (first < 0) first += nCount;
    if (last < 0) last += nCount;
    if (first < 0 || last < first || last >= nCount)
        Raise(PyExc_IndexError, std::string("the selected ") + what + " lie outside the table's " + std::to_string(nCount));
}

py::bytes SaveTable(const Table& t, bool bBlock) {
    std::string text;
    int nSaved;
    {
        py::gil_scoped_release nogil;
        std::lock_guard<std::mutex> lock(LibraryLock());
        kavo::CSpecFile file;
        file.OpenTextWrite();
        t.doc->doc.GetRegistry().Save(file);
        nSaved = t.table->Save(file, bBlock ? 1 : 0);
        text = file.GetText();
    }
    if (!nSaved) Raise(PyExc_ValueError, "nothing is selected");
    return py::bytes(text);
}

}  // namespace

PYBIND11_MODULE(_kavotbl, m) {
    m.doc() = "Statistical tables: load, inspect, build, print and save them.";

    py::class_<Doc, DocPtr>(m, "Document", "A table file: its styles, formats and tables.")
        .def_property_readonly("tables",
                               [](const DocPtr& d) {
                                   std::vector<Table> out;
                                   for (int i = 0; i < d->doc.GetNumTables(); ++i) out.push_back({d, d->doc.GetTable(i)});
                                   return out;
                               })
        .def_property_readonly("_messages",
                               [](const DocPtr& d) {
                                   py::list out;
                                   for (const Message& msg : d->messages) out.append(py::make_tuple(msg.id, msg.line, Text(msg.text)));
                                   return out;
                               })
        .def_property_readonly("_failure", [](const DocPtr& d) { return d->failure; })
        .def_property_readonly("_styles",
                               [](const DocPtr& d) {
                                   py::list out;
                                   const kavo::CStyleRegistry& reg = d->doc.GetRegistry();
                                   static const char* const kJust[] = {"left", "center", "right"};
                                   for (int i = 0; i < reg.GetNumStyles(); ++i) {
                                       const kavo::CStyle* s = reg.GetStyle(i);
                                       py::dict x;
                                       x["label"] = Text(s->GetLabel());
                                       x["font"] = s->m_logFont.lfHeight ? py::object(Text(std::string(s->m_logFont.lfFaceName))) : py::none();
                                       x["size"] = s->m_logFont.lfHeight ? py::object(py::float_(s->m_nTwipsHeight / 20.0)) : py::none();
                                       x["bold"] = s->m_logFont.lfWeight >= kavo::FW_BOLD;
                                       x["italic"] = s->m_logFont.lfItalic != 0;
                                       x["horizontal"] = kJust[std::clamp(s->m_nHorJust, 0, 2)];
                                       x["vertical"] = std::array<const char*, 3>{"top", "center", "bottom"}[static_cast<std::size_t>(std::clamp(s->m_nVertJust, 0, 2))];
                                       x["color"] = s->m_crColor;
                                       out.append(x);
                                   }
                                   return out;
                               })
        .def_property_readonly("_formats",
                               [](const DocPtr& d) {
                                   py::list out;
                                   const kavo::CStyleRegistry& reg = d->doc.GetRegistry();
                                   for (int i = 0; i < reg.GetNumFormats(); ++i) {
                                       const kavo::CFormat* f = reg.GetFormat(i);
                                       py::dict x;
                                       x["label"] = Text(f->GetLabel());
                                       x["decimals"] = f->m_nDecimals;
                                       x["thousand_sep"] = Text(f->m_strThousandSep);
                                       x["decimal_sep"] = Text(f->m_strDecimalSep);
                                       x["zero_mask"] = Text(f->m_strZeroMask);
                                       x["zero_round"] = Text(f->m_strZeroRound);
                                       x["zero_before_decimal"] = f->m_bZeroBeforeDecimal != 0;
                                       x["hidden"] = f->m_bHidden != 0;
                                       out.append(x);
                                   }
                                   return out;
                               })
        .def("_save",
             [](const DocPtr& d) {
                 std::string text;
                 {
                     py::gil_scoped_release nogil;
                     std::lock_guard<std::mutex> lock(LibraryLock());
                     text = d->doc.SaveText();
                 }
                 return py::bytes(text);
             })
#ifdef KAVOTBL_HAVE_EXPORT
        .def("_export",
             [](const DocPtr& d, const std::string& format, const py::dict& options) {
                 std::vector<CTable*> tables;
                 for (int i = 0; i < d->doc.GetNumTables(); ++i) tables.push_back(d->doc.GetTable(i));
                 return Export(d, tables, format, options);
             })
#endif
        .def("_pdf",
             [](const DocPtr& d, double w, double h, double margin, const std::string& font, double size) {
                 std::vector<CTable*> tables;
                 for (int i = 0; i < d->doc.GetNumTables(); ++i) tables.push_back(d->doc.GetTable(i));
                 return Print(d, tables, w, h, margin, font, size);
             });

    py::class_<Table>(m, "Table", "One table of a document.")
        .def_property_readonly("document", [](const Table& t) { return t.doc; })
        .def_property_readonly("name", [](const Table& t) { return Text(t.table->GetName()); })
        .def_property_readonly("title", [](const Table& t) { return Text(t.table->GetTitle()->GetText()); })
        .def_property_readonly("heading", [](const Table& t) { return Text(t.table->GetHeader()->GetText()); })
        .def_property_readonly("footing", [](const Table& t) { return Text(t.table->GetFooter()->GetText()); })
        .def_property_readonly("stub_head", [](const Table& t) { return Text(t.table->GetStubHead()->GetText()); })
        .def_property_readonly("shape", [](const Table& t) {
            return py::make_tuple(t.table->GetNumDataRows(), t.table->GetNumDataColumns());
        }, "(data rows, data columns)")
        .def("value",
             [](const Table& t, int r, int c) {
                 CheckCell(*t.table, r, c);
                 return t.table->GetCellData(r, c);
             },
             py::arg("row"), py::arg("column"), "The cell's 64-bit integer value.")
        .def("text",
             [](const Table& t, int r, int c) {
                 CheckCell(*t.table, r, c);
                 std::lock_guard<std::mutex> lock(LibraryLock());
                 return Text(CellText(*t.table, r, c));
             },
             py::arg("row"), py::arg("column"), "The cell's text as the table shows it.")
        .def("_cells",
             [](const Table& t) {
                 // Rows of (value, decimals, hidden) for the values property.
                 const CTable& tb = *t.table;
                 py::list rows;
                 for (int r = 0; r < tb.GetNumDataRows(); ++r) {
                     py::list row;
                     for (int c = 0; c < tb.GetNumDataColumns(); ++c) {
                         const kavo::CTblCell* cell = tb.GetCell(r, c);
                         const kavo::CFormat* f = cell->GetFormat();
                         // A hidden format shows nothing, but zero still shows its mark.
                         const bool bBlank = f && f->m_bHidden && (cell->GetData() != 0 || f->m_strZeroMask.IsEmpty());
                         row.append(py::make_tuple(cell->GetData(), f ? f->m_nDecimals : 0, bBlank));
                     }
                     rows.append(row);
                 }
                 return rows;
             })
        .def("_texts",
             [](const Table& t) {
                 std::vector<std::vector<std::string>> texts;
                 {
                     py::gil_scoped_release nogil;
                     std::lock_guard<std::mutex> lock(LibraryLock());
                     CTable& tb = *t.table;
                     texts.resize(static_cast<std::size_t>(tb.GetNumDataRows()));
                     for (int r = 0; r < tb.GetNumDataRows(); ++r)
                         for (int c = 0; c < tb.GetNumDataColumns(); ++c) texts[static_cast<std::size_t>(r)].push_back(CellText(tb, r, c));
                 }
                 py::list out;
                 for (const auto& row : texts) {
                     py::list l;
                     for (const auto& s : row) l.append(Text(s));
                     out.append(l);
                 }
                 return out;
             })
        .def_property_readonly("columns", [](const Table& t) { return Children(t.doc, *t.table, t.table->GetColumnRoot(), true); },
                               "The top level of the column tree: spanners and data columns.")
        .def_property_readonly("rows", [](const Table& t) { return Children(t.doc, *t.table, t.table->GetRowRoot(), false); },
                               "The top level of the row tree: captions and data rows.")
        .def("select",
             [](const Table& t, const py::object& rows, const py::object& cols) {
                 int r0, r1, c0, c1;
                 Span(rows, t.table->GetNumDataRows(), r0, r1, "rows");
                 Span(cols, t.table->GetNumDataColumns(), c0, c1, "columns");
                 std::lock_guard<std::mutex> lock(LibraryLock());
                 kavo::CRectArray rects;
                 t.table->SelectBlock(r0, c0, r1, c1, rects);
             },
             py::arg("rows"), py::arg("columns"),
             "Makes the block these data rows by these data columns (an index, a slice or an inclusive (first, last) pair), "
             "with the captions and spanners above them.")
        .def("clear_selection",
             [](const Table& t) {
                 std::lock_guard<std::mutex> lock(LibraryLock());
                 kavo::CRectArray rects;
                 t.table->ClearBlock(rects);
             })
        .def_property_readonly("selected", [](const Table& t) { return t.table->IsBlocked() != 0; })
        .def("_save", &SaveTable, py::arg("block"))
        .def("_render",
             [](const Table& t, bool svg, int w, int h, int dx, int dy, const py::object& rows, const py::object& cols,
                const std::string& font, double size) {
                 Block sel;
                 if (!rows.is_none() || !cols.is_none()) {
                     Span(rows.is_none() ? py::object(py::slice(0, t.table->GetNumDataRows(), 1)) : rows,
                          t.table->GetNumDataRows(), sel.r0, sel.r1, "rows");
                     Span(cols.is_none() ? py::object(py::slice(0, t.table->GetNumDataColumns(), 1)) : cols,
                          t.table->GetNumDataColumns(), sel.c0, sel.c1, "columns");
                     sel.bSet = true;
                 }
                 return Render(t, svg, w, h, dx, dy, sel, font, size);
             })
#ifdef KAVOTBL_HAVE_EXPORT
        .def("_export",
             [](const Table& t, const std::string& format, const py::dict& options) {
                 return Export(t.doc, {t.table}, format, options);
             })
#endif
        .def("_pdf", [](const Table& t, double w, double h, double margin, const std::string& font, double size) {
            return Print(t.doc, {t.table}, w, h, margin, font, size);
        });

    py::class_<Node>(m, "Node", "A spanner, data column, caption or data row.")
        .def_property_readonly("text", [](const Node& n) { return Text(n.node->GetText()); })
        .def_property_readonly("style", [](const Node& n) { return Label(n.node->GetStyle()); })
        .def_property_readonly("cell_style", [](const Node& n) -> py::object {
            return n.node->GetCellStyle() ? py::object(Label(n.node->GetCellStyle())) : py::none();
        })
        .def_property_readonly("cell_format", [](const Node& n) { return Label(n.node->GetCellFormat()); })
        .def_property_readonly("index", [](const Node& n) -> py::object {
            return n.index >= 0 ? py::object(py::int_(n.index)) : py::none();
        }, "The data column or data row number; None for a spanner or caption.")
        .def_property_readonly("children", [](const Node& n) { return Children(n.doc, *n.table, n.node, n.bColumn); })
        .def_property_readonly("is_column", [](const Node& n) { return n.bColumn; })
        .def("__repr__", [](const Node& n) {
            return py::str("<Node {!r}{}>").format(Text(n.node->GetText()),
                                                   n.index >= 0 ? " #" + std::to_string(n.index) : std::string(" +") +
                                                                      std::to_string(n.node->GetNumChildren()));
        });

    m.def("_load", &Load, py::arg("path"));
    m.def("_build", &Build, py::arg("pieces"), py::arg("columns"), py::arg("rows"), py::arg("decimals"));
}
