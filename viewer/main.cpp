// kavotbl-view: shows table files in windows on GTK 4. One window per file;
// the window layer only turns events into calls of the view controller and
// draws through the Cairo surface.
#include <gtk/gtk.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/cairo/printed_pages.h"
#ifdef KAVOTBL_HAVE_EXPORT
#include "kavotbl/export/export.h"
#endif
#include "kavotbl/kavotbl.h"
#include "view_controller.h"

namespace {

using kavo::viewer::ScrollKey;
using kavo::viewer::ViewController;

constexpr const char* kFamily = "DejaVu Sans";
constexpr double kDefaultPoints = 10.0;
const double kZoomSteps[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 32, 40, 48};
constexpr guint kRelayoutDelayMs = 60;  // layout at most this often while resizing

int g_nFailedFiles = 0;
int g_nOpenedFiles = 0;

// ------------------------------------------------------------------ loading

// The library reports problems through one process-wide handler; each
// loading thread collects its own.
thread_local std::vector<std::string>* t_pMessages = nullptr;
thread_local kavo::CSpecFile* t_pFile = nullptr;

void InstallMessageHandler() {
    kavo::SetMessageBoxHandler([](const kavo::CKAVOString& text, unsigned) {
        std::string line = text.str();
        for (char& c : line)
            if (c == '\n') c = ' ';
        if (t_pMessages) {
            const int nLine = t_pFile ? t_pFile->GetLineNumber() : 0;
            t_pMessages->push_back(nLine > 0 ? "line " + std::to_string(nLine) + ": " + line : line);
        } else {
            std::fprintf(stderr, "kavotbl-view: %s\n", line.c_str());
        }
        return static_cast<int>(kavo::IDOK);
    });
}

// Loading runs on a thread of its own; the window polls its progress.
struct Loader : kavo::CProgressDlg {
    std::string path;
    long long nSize = 0;
    std::atomic<int> nPos{0};
    std::atomic<bool> bCancel{false};
    std::atomic<bool> bDone{false};
    // Results, read by the window once bDone is set.
    std::unique_ptr<kavo::CTableDocument> doc;
    std::vector<std::string> messages;
    std::string error;
    bool bCancelled = false;
    std::thread thread;

    void SetPos(int n) override { nPos.store(n, std::memory_order_relaxed); }
    int CheckCancelButton() override { return bCancel.load(std::memory_order_relaxed) ? 1 : 0; }

    void Start() {
        struct stat st;
        if (stat(path.c_str(), &st) == 0) nSize = static_cast<long long>(st.st_size);
        thread = std::thread([this] { Run(); });
    }
    void Run() {
        t_pMessages = &messages;
        doc = std::make_unique<kavo::CTableDocument>();
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        } else if (S_ISDIR(st.st_mode)) {
            error = "Cannot open " + path + ": it is a folder.";
        } else {
            kavo::CSpecFile file;
            if (!file.Open(path.c_str(), kavo::CSpecFile::modeRead)) {
                error = "Cannot open " + path + ".";
            } else {
                t_pFile = &file;
                const int ok = doc->Load(file, this);
                t_pFile = nullptr;
                if (bCancel) {
                    bCancelled = true;
                    error = "Loading was cancelled.";
                } else if (!ok) {
                    error = doc->GetNumTables() ? "Some tables of " + path + " could not be read."
                                                : "The tables of " + path + " could not be read.";
                } else if (doc->GetNumTables() == 0) {
                    error = path + " holds no table.";
                }
            }
        }
        t_pMessages = nullptr;
        bDone = true;
    }
    void Join() {
        if (thread.joinable()) thread.join();
    }
};

// ------------------------------------------------------------------ window

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ShowMessages(GtkWindow* parent, const std::string& title, const std::string& error,
                  const std::vector<std::string>& messages, GApplication* app);

struct FileWindow {
    GtkApplication* app = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* box = nullptr;
    GtkWidget* loadingBox = nullptr;
    GtkWidget* progress = nullptr;
    GtkWidget* chooser = nullptr;
    GtkWidget* area = nullptr;
    GtkWidget* status = nullptr;
    GtkAdjustment* hadj = nullptr;
    GtkAdjustment* vadj = nullptr;
    std::unique_ptr<Loader> loader;
    guint nPollId = 0;
    guint nRelayoutId = 0;
    bool bSyncing = false;  // scroll bars set from the controller

    std::unique_ptr<kavo::CTableDocument> doc;
    std::vector<std::unique_ptr<ViewController>> views;
    std::vector<bool> stale;  // needs a layout before it is shown again
    int nCurrent = 0;
    double dPoints = kDefaultPoints;
    std::unique_ptr<kavo::CCairoDC> measure;
    int nPendingW = 0, nPendingH = 0;

    ViewController* View() { return views.empty() ? nullptr : views[static_cast<std::size_t>(nCurrent)].get(); }
    std::string Title() const {
        std::string t = BaseName(loader ? loader->path : std::string());
        if (!views.empty()) {
            const std::string name = doc->GetTable(nCurrent)->GetName().str();
            t += " \u2014 " + (name.empty() ? "table " + std::to_string(nCurrent + 1) : name);
        }
        return t;
    }

    void LayoutNow() {
        ViewController* v = View();
        if (!v) return;
        v->Layout(measure.get(), nPendingW, nPendingH);
        stale[static_cast<std::size_t>(nCurrent)] = false;
        SyncScrollbars();
        gtk_widget_queue_draw(area);
    }

    void SyncScrollbars() {
        ViewController* v = View();
        if (!v) return;
        bSyncing = true;
        const double pageX = std::max(1, v->BodyWidth()), pageY = std::max(1, v->BodyHeight());
        gtk_adjustment_configure(hadj, v->ScrollX(), 0, v->MaxScrollX() + pageX, v->LineStep(), pageX * 0.9,
                                 pageX);
        gtk_adjustment_configure(vadj, v->ScrollY(), 0, v->MaxScrollY() + pageY, v->LineStep(), pageY * 0.9,
                                 pageY);
        bSyncing = false;
    }

    void Changed(bool bScrolled) {
        if (bScrolled) SyncScrollbars();
        gtk_widget_queue_draw(area);
    }

    void SetZoom(double dNew) {
        if (!doc || dNew == dPoints) return;
        dPoints = dNew;
        kavo::viewer::GiveFont(doc->GetRegistry(), kFamily, dPoints);
        std::fill(stale.begin(), stale.end(), true);
        LayoutNow();
    }
    void Zoom(int nDir) {
        if (nDir == 0) return SetZoom(kDefaultPoints);
        const int n = static_cast<int>(sizeof kZoomSteps / sizeof kZoomSteps[0]);
        if (nDir > 0) {
            for (int i = 0; i < n; ++i)
                if (kZoomSteps[i] > dPoints + 0.01) return SetZoom(kZoomSteps[i]);
        } else {
            for (int i = n - 1; i >= 0; --i)
                if (kZoomSteps[i] < dPoints - 0.01) return SetZoom(kZoomSteps[i]);
        }
    }

    void Loaded();
    void BuildTableView();
    void Copy();
    void SaveSelection();
    void Export(bool bSelection);
    void Print();
    bool bExportSelection = false;
};

// ------------------------------------------------------------------ drawing and events

void OnDraw(GtkDrawingArea*, cairo_t* cr, int w, int h, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    ViewController* v = fw->View();
    if (!v || !v->IsLaidOut()) return;
    cairo_set_source_rgb(cr, 0, 0, 0);
    kavo::CCairoDC dc(cr, kavo::MM_TEXT);
    dc.SetDeviceBounds(0, 0, w, h);
    v->Draw(&dc);
}

gboolean OnRelayout(gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    fw->nRelayoutId = 0;
    fw->LayoutNow();
    return G_SOURCE_REMOVE;
}

void OnResize(GtkDrawingArea*, int w, int h, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    fw->nPendingW = w;
    fw->nPendingH = h;
    ViewController* v = fw->View();
    if (!v) return;
    if (!v->IsLaidOut()) return fw->LayoutNow();
    // Only the width changes the layout; a taller window shows more of it.
    if (v->ViewWidth() == w) {
        v->Layout(fw->measure.get(), w, h);
        return fw->SyncScrollbars();
    }
    if (!fw->nRelayoutId) fw->nRelayoutId = g_timeout_add(kRelayoutDelayMs, OnRelayout, fw);
}

void OnAdjustment(GtkAdjustment*, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    ViewController* v = fw->View();
    if (fw->bSyncing || !v) return;
    if (v->ScrollTo(static_cast<int>(gtk_adjustment_get_value(fw->hadj)),
                    static_cast<int>(gtk_adjustment_get_value(fw->vadj))))
        gtk_widget_queue_draw(fw->area);
}

gboolean OnScroll(GtkEventControllerScroll* ctl, double dx, double dy, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    ViewController* v = fw->View();
    if (!v) return FALSE;
    const GdkModifierType state = gtk_event_controller_get_current_event_state(GTK_EVENT_CONTROLLER(ctl));
    if (state & GDK_CONTROL_MASK) {
        if (dy != 0) fw->Zoom(dy < 0 ? 1 : -1);
        return TRUE;
    }
    if ((state & GDK_SHIFT_MASK) && dx == 0) std::swap(dx, dy);
    const double step = 3.0 * v->LineStep();
    fw->Changed(v->ScrollBy(static_cast<int>(dx * step), static_cast<int>(dy * step)));
    return TRUE;
}

gboolean OnKey(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    ViewController* v = fw->View();
    if (!v) return FALSE;
    const bool ctrl = (state & GDK_CONTROL_MASK) != 0;
    ScrollKey key;
    switch (keyval) {
    case GDK_KEY_Left: case GDK_KEY_KP_Left: key = ScrollKey::Left; break;
    case GDK_KEY_Right: case GDK_KEY_KP_Right: key = ScrollKey::Right; break;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: key = ScrollKey::Up; break;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: key = ScrollKey::Down; break;
    case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: key = ScrollKey::PageUp; break;
    case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: key = ScrollKey::PageDown; break;
    case GDK_KEY_Home: case GDK_KEY_KP_Home: key = ctrl ? ScrollKey::CtrlHome : ScrollKey::Home; break;
    case GDK_KEY_End: case GDK_KEY_KP_End: key = ctrl ? ScrollKey::CtrlEnd : ScrollKey::End; break;
    default: return FALSE;
    }
    fw->Changed(v->ScrollKeyPressed(key));
    return TRUE;
}

void OnPressed(GtkGestureClick* gesture, int, double x, double y, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    ViewController* v = fw->View();
    gtk_widget_grab_focus(fw->area);
    if (!v) return;
    const GdkModifierType state = gtk_event_controller_get_current_event_state(GTK_EVENT_CONTROLLER(gesture));
    if (v->Click(static_cast<int>(x), static_cast<int>(y), (state & GDK_SHIFT_MASK) != 0))
        gtk_widget_queue_draw(fw->area);
}

void OnMotion(GtkEventControllerMotion*, double x, double y, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    ViewController* v = fw->View();
    if (!v) return;
    const std::string text = v->StatusText(static_cast<int>(x), static_cast<int>(y));
    gtk_label_set_text(GTK_LABEL(fw->status), text.c_str());
}

void OnChooser(GObject* dropdown, GParamSpec*, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    const guint n = gtk_drop_down_get_selected(GTK_DROP_DOWN(dropdown));
    if (n == GTK_INVALID_LIST_POSITION || static_cast<int>(n) >= static_cast<int>(fw->views.size())) return;
    fw->nCurrent = static_cast<int>(n);
    gtk_window_set_title(GTK_WINDOW(fw->window), fw->Title().c_str());
    if (fw->stale[n] || !fw->View()->IsLaidOut()) fw->LayoutNow();
    fw->SyncScrollbars();
    gtk_widget_queue_draw(fw->area);
}

// ------------------------------------------------------------------ actions

void FileWindow::Copy() {
    ViewController* v = View();
    if (!v || v->Selection().IsEmpty()) return;
    const std::string tsv = v->SelectionAsTsv();
    std::string html = v->SelectionAsHtml();
#ifdef KAVOTBL_HAVE_EXPORT
    // The export module's fragment carries the styles, spans and indents of
    // the web page export; the controller's plain table stays the fallback.
    kavo::CExportOptions options;
    options.format = kavo::ExportFormat::Html;
    options.bFragment = 1;
    options.bBlockedOnly = 1;
    std::ostringstream fragment;
    if (kavo::ExportTable(v->Table(), fragment, options)) html = fragment.str();
#endif
    GBytes* htmlBytes = g_bytes_new(html.data(), html.size());
    GdkContentProvider* providers[] = {
        gdk_content_provider_new_typed(G_TYPE_STRING, tsv.c_str()),
        gdk_content_provider_new_for_bytes("text/html", htmlBytes),
    };
    g_bytes_unref(htmlBytes);
    GdkContentProvider* both = gdk_content_provider_new_union(providers, 2);
    gdk_clipboard_set_content(gtk_widget_get_clipboard(window), both);
    g_object_unref(both);
}

void OnSaveResponse(GtkNativeDialog* dialog, int response, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    if (response == GTK_RESPONSE_ACCEPT) {
        GFile* file = gtk_file_chooser_get_file(GTK_FILE_CHOOSER(dialog));
        char* path = file ? g_file_get_path(file) : nullptr;
        std::string error;
        if (path && fw->View() && !fw->View()->SaveSelection(path, error))
            ShowMessages(GTK_WINDOW(fw->window), "The selection was not saved", error, {}, nullptr);
        g_free(path);
        if (file) g_object_unref(file);
    }
    g_object_unref(dialog);
}

void FileWindow::SaveSelection() {
    ViewController* v = View();
    if (!v) return;
    if (v->Selection().IsEmpty())
        return ShowMessages(GTK_WINDOW(window), "Nothing to save", "Select a part of the table first.", {}, nullptr);
    GtkFileChooserNative* dialog = gtk_file_chooser_native_new("Save selection as", GTK_WINDOW(window),
                                                               GTK_FILE_CHOOSER_ACTION_SAVE, "_Save", "_Cancel");
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(dialog), "selection.tbl");
    g_signal_connect(dialog, "response", G_CALLBACK(OnSaveResponse), this);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
}

#ifdef KAVOTBL_HAVE_EXPORT
void OnExportResponse(GtkNativeDialog* dialog, int response, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    GFile* file = response == GTK_RESPONSE_ACCEPT ? gtk_file_chooser_get_file(GTK_FILE_CHOOSER(dialog)) : nullptr;
    char* path = file ? g_file_get_path(file) : nullptr;
    if (path && fw->View()) {
        const std::string target = path;
        const std::size_t dot = target.rfind('.');
        kavo::CExportOptions options;
        options.bBlockedOnly = fw->bExportSelection ? 1 : 0;
        kavo::CExportReport report;
        if (dot == std::string::npos || !kavo::FindExportFormat(target.substr(dot + 1), options.format)) {
            ShowMessages(GTK_WINDOW(fw->window), "The table was not exported",
                         "The file name's extension names no format the viewer writes (such as ." +
                             std::string(kavo::GetExportFormatName(kavo::ExportFormat::Rtf)) + ").",
                         {}, nullptr);
        } else if (!kavo::ExportTable(fw->View()->Table(), path, options, &report)) {
            ShowMessages(GTK_WINDOW(fw->window), "The table was not exported", report.strError, {}, nullptr);
        } else if (!report.arrWarnings.empty()) {
            ShowMessages(GTK_WINDOW(fw->window), "The table was exported with warnings", "", report.arrWarnings,
                         nullptr);
        }
    }
    g_free(path);
    if (file) g_object_unref(file);
    g_object_unref(dialog);
}
#endif

void FileWindow::Export(bool bSelection) {
#ifdef KAVOTBL_HAVE_EXPORT
    ViewController* v = View();
    if (!v) return;
    if (bSelection && v->Selection().IsEmpty())
        return ShowMessages(GTK_WINDOW(window), "Nothing to export", "Select a part of the table first.", {},
                            nullptr);
    bExportSelection = bSelection;
    GtkFileChooserNative* dialog = gtk_file_chooser_native_new(
        bSelection ? "Export selection as" : "Export table as", GTK_WINDOW(window), GTK_FILE_CHOOSER_ACTION_SAVE,
        "_Export", "_Cancel");
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(dialog),
                                      (std::string(bSelection ? "selection." : "table.") +
                                       kavo::GetExportFormatName(kavo::ExportFormat::Rtf))
                                          .c_str());
    g_signal_connect(dialog, "response", G_CALLBACK(OnExportResponse), this);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
#else
    (void)bSelection;
    ShowMessages(GTK_WINDOW(window), "Export is not available", "The viewer was built without the export module.",
                 {}, nullptr);
#endif
}

// Printing lays the table out on the printable area with the printer
// layout, and prints it as the kavotbl program does (heading on top of every
// page, footing and page number at the foot), then puts the screen layout back.
struct PrintJob {
    FileWindow* fw;
    kavo::CTable* table;
    std::unique_ptr<kavo::CPrintedPages> pages;
};

void OnBeginPrint(GtkPrintOperation* op, GtkPrintContext* ctx, gpointer data) {
    auto* job = static_cast<PrintJob*>(data);
    // The context's origin is the printable area's corner: no margins of our own.
    kavo::CPageSetup setup;
    setup.dPageW = gtk_print_context_get_width(ctx);
    setup.dPageH = gtk_print_context_get_height(ctx);
    setup.dTop = setup.dRight = setup.dBottom = setup.dLeft = 0;
    kavo::CCairoDC dc(gtk_print_context_get_cairo_context(ctx), kavo::MM_TWIPS);
    kavo::viewer::GiveFont(job->fw->doc->GetRegistry(), kFamily, kDefaultPoints);
    job->pages = std::make_unique<kavo::CPrintedPages>(dc, std::vector<kavo::CTable*>{job->table}, setup);
    gtk_print_operation_set_n_pages(op, job->pages->GetNumPages());
}

void OnDrawPage(GtkPrintOperation*, GtkPrintContext* ctx, int nPage, gpointer data) {
    auto* job = static_cast<PrintJob*>(data);
    if (!job->pages) return;
    kavo::CCairoDC dc(gtk_print_context_get_cairo_context(ctx), kavo::MM_TWIPS);
    job->pages->DrawPage(dc, nPage);
}

void OnEndPrint(GtkPrintOperation*, GtkPrintContext*, gpointer data) {
    auto* job = static_cast<PrintJob*>(data);
    FileWindow* fw = job->fw;
    kavo::viewer::GiveFont(fw->doc->GetRegistry(), kFamily, fw->dPoints);
    std::fill(fw->stale.begin(), fw->stale.end(), true);
    fw->LayoutNow();
}

void FileWindow::Print() {
    if (!View()) return;
    GtkPrintOperation* op = gtk_print_operation_new();
    gtk_print_operation_set_unit(op, GTK_UNIT_POINTS);
    gtk_print_operation_set_job_name(op, Title().c_str());
    auto* job = new PrintJob{this, doc->GetTable(nCurrent), nullptr};
    g_signal_connect(op, "begin-print", G_CALLBACK(OnBeginPrint), job);
    g_signal_connect(op, "draw-page", G_CALLBACK(OnDrawPage), job);
    g_signal_connect(op, "end-print", G_CALLBACK(OnEndPrint), job);
    GError* error = nullptr;
    const GtkPrintOperationResult res =
        gtk_print_operation_run(op, GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG, GTK_WINDOW(window), &error);
    if (res == GTK_PRINT_OPERATION_RESULT_ERROR && error) {
        ShowMessages(GTK_WINDOW(window), "The table was not printed", error->message, {}, nullptr);
        g_error_free(error);
    }
    delete job;
    g_object_unref(op);
}

FileWindow* FromAction(gpointer data) { return static_cast<FileWindow*>(data); }

const GActionEntry kWinActions[] = {
    {"copy", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Copy(); }, nullptr, nullptr, nullptr, {}},
    {"select-all",
     [](GSimpleAction*, GVariant*, gpointer d) {
         if (ViewController* v = FromAction(d)->View()) {
             v->SelectAll();
             gtk_widget_queue_draw(FromAction(d)->area);
         }
     },
     nullptr, nullptr, nullptr, {}},
    {"save-selection", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->SaveSelection(); }, nullptr,
     nullptr, nullptr, {}},
    {"print", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Print(); }, nullptr, nullptr, nullptr, {}},
    {"export-table", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Export(false); }, nullptr, nullptr,
     nullptr, {}},
    {"export-selection", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Export(true); }, nullptr,
     nullptr, nullptr, {}},
    {"zoom-in", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Zoom(1); }, nullptr, nullptr, nullptr, {}},
    {"zoom-out", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Zoom(-1); }, nullptr, nullptr, nullptr,
     {}},
    {"zoom-reset", [](GSimpleAction*, GVariant*, gpointer d) { FromAction(d)->Zoom(0); }, nullptr, nullptr, nullptr,
     {}},
    {"close", [](GSimpleAction*, GVariant*, gpointer d) { gtk_window_destroy(GTK_WINDOW(FromAction(d)->window)); },
     nullptr, nullptr, nullptr, {}},
};

GMenuModel* MakeMenu() {
    GMenu* bar = g_menu_new();
    GMenu* file = g_menu_new();
    g_menu_append(file, "Save Selection As\u2026", "win.save-selection");
    g_menu_append(file, "Export Table As\u2026", "win.export-table");
    g_menu_append(file, "Export Selection As\u2026", "win.export-selection");
    g_menu_append(file, "Print\u2026", "win.print");
    g_menu_append(file, "Close", "win.close");
    g_menu_append(file, "Quit", "app.quit");
    GMenu* edit = g_menu_new();
    g_menu_append(edit, "Copy", "win.copy");
    g_menu_append(edit, "Select All", "win.select-all");
    GMenu* view = g_menu_new();
    g_menu_append(view, "Zoom In", "win.zoom-in");
    g_menu_append(view, "Zoom Out", "win.zoom-out");
    g_menu_append(view, "Normal Size", "win.zoom-reset");
    g_menu_append_submenu(bar, "File", G_MENU_MODEL(file));
    g_menu_append_submenu(bar, "Edit", G_MENU_MODEL(edit));
    g_menu_append_submenu(bar, "View", G_MENU_MODEL(view));
    g_object_unref(file);
    g_object_unref(edit);
    g_object_unref(view);
    return G_MENU_MODEL(bar);
}

void OnDestroy(GtkWidget*, gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    if (fw->nPollId) g_source_remove(fw->nPollId);
    if (fw->nRelayoutId) g_source_remove(fw->nRelayoutId);
    if (fw->loader) {
        fw->loader->bCancel = true;
        fw->loader->Join();
    }
    fw->views.clear();
    delete fw;
}

gboolean OnPoll(gpointer data) {
    auto* fw = static_cast<FileWindow*>(data);
    Loader& l = *fw->loader;
    if (!l.bDone) {
        if (l.nSize > 0)
            gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(fw->progress),
                                          std::min(1.0, l.nPos.load() * 100.0 / static_cast<double>(l.nSize)));
        else
            gtk_progress_bar_pulse(GTK_PROGRESS_BAR(fw->progress));
        return G_SOURCE_CONTINUE;
    }
    fw->nPollId = 0;
    l.Join();
    fw->Loaded();
    return G_SOURCE_REMOVE;
}

void FileWindow::Loaded() {
    Loader& l = *loader;
    if (!l.error.empty() || !l.messages.empty())
        ShowMessages(GTK_WINDOW(window), "Problems in " + BaseName(l.path), l.error, l.messages,
                     G_APPLICATION(app));
    if (!l.doc || l.doc->GetNumTables() == 0 || l.bCancelled) {
        ++g_nFailedFiles;
        gtk_window_destroy(GTK_WINDOW(window));  // deletes this
        return;
    }
    ++g_nOpenedFiles;
    doc = std::move(l.doc);
    kavo::viewer::GiveFont(doc->GetRegistry(), kFamily, dPoints);
    measure = kavo::CCairoDC::CreateMeasuringDC();
    doc->GetRegistry().CreateCompatibleDC(measure.get());
    for (int i = 0; i < doc->GetNumTables(); ++i) views.push_back(std::make_unique<ViewController>(*doc->GetTable(i)));
    stale.assign(views.size(), true);
    BuildTableView();
}

void FileWindow::BuildTableView() {
    gtk_box_remove(GTK_BOX(box), loadingBox);
    loadingBox = progress = nullptr;

    if (doc->GetNumTables() > 1) {
        std::vector<std::string> names;
        std::vector<const char*> items;
        for (int i = 0; i < doc->GetNumTables(); ++i) {
            const std::string name = doc->GetTable(i)->GetName().str();
            const std::string title = doc->GetTable(i)->GetTitle()->GetText().str();
            names.push_back(std::to_string(i + 1) + ". " + (name.empty() ? title : name));
        }
        for (const std::string& n : names) items.push_back(n.c_str());
        items.push_back(nullptr);
        chooser = gtk_drop_down_new_from_strings(items.data());
        gtk_widget_set_halign(chooser, GTK_ALIGN_START);
        g_signal_connect(chooser, "notify::selected", G_CALLBACK(OnChooser), this);
        gtk_box_append(GTK_BOX(box), chooser);
    }

    GtkWidget* grid = gtk_grid_new();
    area = gtk_drawing_area_new();
    gtk_widget_set_hexpand(area, TRUE);
    gtk_widget_set_vexpand(area, TRUE);
    gtk_widget_set_focusable(area, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), OnDraw, this, nullptr);
    g_signal_connect(area, "resize", G_CALLBACK(OnResize), this);
    hadj = gtk_adjustment_new(0, 0, 1, 1, 1, 1);
    vadj = gtk_adjustment_new(0, 0, 1, 1, 1, 1);
    g_signal_connect(hadj, "value-changed", G_CALLBACK(OnAdjustment), this);
    g_signal_connect(vadj, "value-changed", G_CALLBACK(OnAdjustment), this);
    gtk_grid_attach(GTK_GRID(grid), area, 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, vadj), 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, hadj), 0, 1, 1, 1);
    gtk_box_append(GTK_BOX(box), grid);

    status = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(status), 0);
    gtk_label_set_ellipsize(GTK_LABEL(status), PANGO_ELLIPSIZE_END);
    gtk_widget_set_margin_start(status, 6);
    gtk_widget_set_margin_end(status, 6);
    gtk_box_append(GTK_BOX(box), status);

    GtkEventController* scroll = gtk_event_controller_scroll_new(GTK_EVENT_CONTROLLER_SCROLL_BOTH_AXES);
    g_signal_connect(scroll, "scroll", G_CALLBACK(OnScroll), this);
    gtk_widget_add_controller(area, scroll);
    GtkGesture* click = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(click), GDK_BUTTON_PRIMARY);
    g_signal_connect(click, "pressed", G_CALLBACK(OnPressed), this);
    gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(click));
    GtkEventController* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "motion", G_CALLBACK(OnMotion), this);
    gtk_widget_add_controller(area, motion);
    GtkEventController* keys = gtk_event_controller_key_new();
    g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKey), this);
    gtk_widget_add_controller(window, keys);

    gtk_window_set_title(GTK_WINDOW(window), Title().c_str());
    gtk_widget_grab_focus(area);
}

void OpenWindow(GtkApplication* app, const std::string& path) {
    auto* fw = new FileWindow;
    fw->app = app;
    fw->window = gtk_application_window_new(app);
    gtk_application_window_set_show_menubar(GTK_APPLICATION_WINDOW(fw->window), TRUE);
    gtk_window_set_default_size(GTK_WINDOW(fw->window), 900, 640);
    g_action_map_add_action_entries(G_ACTION_MAP(fw->window), kWinActions,
                                    static_cast<int>(sizeof kWinActions / sizeof kWinActions[0]), fw);
    g_signal_connect(fw->window, "destroy", G_CALLBACK(OnDestroy), fw);

    fw->box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_window_set_child(GTK_WINDOW(fw->window), fw->box);
    fw->loadingBox = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_widget_set_margin_start(fw->loadingBox, 12);
    gtk_widget_set_margin_end(fw->loadingBox, 12);
    gtk_widget_set_margin_top(fw->loadingBox, 12);
    gtk_widget_set_valign(fw->loadingBox, GTK_ALIGN_START);
    fw->progress = gtk_progress_bar_new();
    gtk_progress_bar_set_show_text(GTK_PROGRESS_BAR(fw->progress), TRUE);
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(fw->progress), ("Loading " + BaseName(path) + "\u2026").c_str());
    gtk_widget_set_hexpand(fw->progress, TRUE);
    GtkWidget* cancel = gtk_button_new_with_label("Cancel");
    g_signal_connect(cancel, "clicked", G_CALLBACK(+[](GtkButton*, gpointer d) {
                         static_cast<FileWindow*>(d)->loader->bCancel = true;
                     }),
                     fw);
    gtk_box_append(GTK_BOX(fw->loadingBox), fw->progress);
    gtk_box_append(GTK_BOX(fw->loadingBox), cancel);
    gtk_box_append(GTK_BOX(fw->box), fw->loadingBox);
    gtk_window_set_title(GTK_WINDOW(fw->window), BaseName(path).c_str());

    fw->loader = std::make_unique<Loader>();
    fw->loader->path = path;
    fw->loader->Start();
    fw->nPollId = g_timeout_add(30, OnPoll, fw);
    gtk_window_present(GTK_WINDOW(fw->window));
}

// A dialog with a reason and the library's messages; it keeps the
// application alive while it is shown, even when its file's window is gone.
void ShowMessages(GtkWindow* parent, const std::string& title, const std::string& error,
                  const std::vector<std::string>& messages, GApplication* app) {
    std::string body = error;
    const std::size_t nMax = 40;
    for (std::size_t i = 0; i < messages.size() && i < nMax; ++i) body += (body.empty() ? "" : "\n") + messages[i];
    if (messages.size() > nMax) body += "\n(" + std::to_string(messages.size() - nMax) + " more)";
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_DESTROY_WITH_PARENT,
                                               error.empty() ? GTK_MESSAGE_WARNING : GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK, "%s", title.c_str());
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", body.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
    (void)parent;  // the file's window may close under it
    if (app) {
        g_application_hold(app);
        gtk_window_set_application(GTK_WINDOW(dialog), GTK_APPLICATION(app));
    }
    g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog* d, int, gpointer) {
                         gtk_window_destroy(GTK_WINDOW(d));
                     }),
                     nullptr);
    if (app)
        g_signal_connect(dialog, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer a) {
                             g_application_release(G_APPLICATION(a));
                         }),
                         app);
    gtk_window_present(GTK_WINDOW(dialog));
}

void OnOpen(GApplication* app, GFile** files, int n, const char*, gpointer) {
    for (int i = 0; i < n; ++i) {
        char* path = g_file_get_path(files[i]);
        OpenWindow(GTK_APPLICATION(app), path ? path : "");
        g_free(path);
    }
}

void OnStartup(GApplication* app, gpointer) {
    const GActionEntry appActions[] = {
        {"quit", [](GSimpleAction*, GVariant*, gpointer a) { g_application_quit(G_APPLICATION(a)); }, nullptr,
         nullptr, nullptr, {}},
    };
    g_action_map_add_action_entries(G_ACTION_MAP(app), appActions, 1, app);
    GMenuModel* menu = MakeMenu();
    gtk_application_set_menubar(GTK_APPLICATION(app), menu);
    g_object_unref(menu);
    struct Accel {
        const char* action;
        const char* keys[4];
    };
    const Accel accels[] = {
        {"app.quit", {"<Control>q", nullptr}},
        {"win.close", {"<Control>w", nullptr}},
        {"win.copy", {"<Control>c", nullptr}},
        {"win.select-all", {"<Control>a", nullptr}},
        {"win.print", {"<Control>p", nullptr}},
        {"win.save-selection", {"<Control><Shift>s", nullptr}},
        {"win.zoom-in", {"<Control>plus", "<Control>equal", "<Control>KP_Add", nullptr}},
        {"win.zoom-out", {"<Control>minus", "<Control>KP_Subtract", nullptr}},
        {"win.zoom-reset", {"<Control>0", "<Control>KP_0", nullptr}},
    };
    for (const Accel& a : accels) gtk_application_set_accels_for_action(GTK_APPLICATION(app), a.action, a.keys);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "usage: kavotbl-view FILE...\n\n"
                "Shows each table file in a window of its own. Keys: arrows, Page Up/Down,\n"
                "Home/End and Ctrl+Home/End scroll; Ctrl+A selects the table, Ctrl+C copies\n"
                "the selection, Ctrl+P prints, Ctrl+plus/minus/0 zoom, Ctrl+W closes a\n"
                "window and Ctrl+Q quits.\n");
            return 0;
        }
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavotbl-view FILE...\n");
        return 2;
    }
    InstallMessageHandler();
    GtkApplication* app = gtk_application_new("org.kavotbl.View", static_cast<GApplicationFlags>(
                                                                        G_APPLICATION_HANDLES_OPEN |
                                                                        G_APPLICATION_NON_UNIQUE));
    g_signal_connect(app, "startup", G_CALLBACK(OnStartup), nullptr);
    g_signal_connect(app, "open", G_CALLBACK(OnOpen), nullptr);
    const int status = g_application_run(G_APPLICATION(app), argc, argv);
    // Ctrl+Q leaves the windows standing; close them so that their files go.
    while (GList* windows = gtk_application_get_windows(app)) gtk_window_destroy(GTK_WINDOW(windows->data));
    g_object_unref(app);
    if (status != 0) return status;
    return g_nOpenedFiles == 0 && g_nFailedFiles > 0 ? 1 : 0;
}
