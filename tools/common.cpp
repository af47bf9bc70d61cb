#include "common.h"

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/export/text.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kavotool {

int Fail(const char* command, const std::string& reason, int nStatus) {
    if (command && *command)
        std::fprintf(stderr, "kavotbl %s: %s\n", command, reason.c_str());
    else
        std::fprintf(stderr, "kavotbl: %s\n", reason.c_str());
    return nStatus;
}

// ------------------------------------------------------------------ options

OptionParser::OptionParser(std::string command, std::string usage, std::string description,
                           std::vector<OptionSpec> specs)
    : m_command(std::move(command)), m_usage(std::move(usage)), m_description(std::move(description)),
      m_specs(std::move(specs)) {
    // Every command that loads a table file can be told to take its messages as failures.
    m_specs.push_back({"strict", 0, nullptr, "any message while loading is a failure: exit 1, write nothing"});
}

namespace {

// What CLI11 takes for an option rather than a value: a dash and a letter,
// or two dashes and a name. "-" and negative numbers are values.
bool LooksLikeOption(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-') return false;
    if (arg[1] == '-') return arg.size() > 2;
    return !std::isdigit(static_cast<unsigned char>(arg[1])) && arg[1] != '.';
}

}  // namespace

// CLI11 parses; the reasons stay in the program's own words, which name the
// option as the user wrote it.
bool OptionParser::Parse(int argc, char** argv, std::string& error) {
    CLI::App app(m_description, "kavotbl " + m_command);
    app.set_help_flag();  // help comes from the specs, in the program's layout
    app.allow_extras();   // unknown options are reported below
    CLI::Option* help = app.add_flag("-h,--help");
    app.add_option("arguments", m_positionals);
    std::vector<CLI::Option*> options;
    for (const OptionSpec& s : m_specs) {
        const std::string names = (s.shortName ? std::string("-") + s.shortName + "," : std::string()) + "--" + s.name;
        options.push_back(s.metavar ? app.add_option(names)->type_name(s.metavar)->multi_option_policy(
                                          CLI::MultiOptionPolicy::TakeLast)
                                    : app.add_flag(names)->disable_flag_override());
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
            const std::string arg = argv[i];
            const std::size_t eq = arg.find('=');
            for (const OptionSpec& s : m_specs) {
                const bool bLong = arg.compare(0, eq, std::string("--") + s.name) == 0;
                const bool bShort = s.shortName && arg.size() == 2 && arg[0] == '-' && arg[1] == s.shortName;
                if (s.metavar && bLong && eq + 1 == arg.size())
                    error = "option --" + std::string(s.name) + " needs a value (" + s.metavar + ")";
                else if (s.metavar && (bShort || (bLong && eq == std::string::npos)) &&
                         (i + 1 >= argc || LooksLikeOption(argv[i + 1])))
                    error = "option " + arg + " needs a value (" + s.metavar + ")";
                else if (!s.metavar && bLong && eq != std::string::npos)
                    error = "option --" + std::string(s.name) + " takes no value";
                else
                    continue;
                return false;
            }
        }
        return false;
    }
    m_bHelp = help->count() > 0;
    if (m_bHelp) return true;
    for (const std::string& extra : app.remaining()) {
        if (!LooksLikeOption(extra)) continue;
        const std::string shown = extra[1] == '-' ? extra.substr(0, extra.find('=')) : extra.substr(0, 2);
        error = "unknown option " + shown + " (see kavotbl " + m_command + " --help)";
        return false;
    }
    for (std::size_t i = 0; i < options.size(); ++i)
        if (options[i]->count() > 0)
            m_values.emplace_back(m_specs[i].name, m_specs[i].metavar ? options[i]->results().back() : std::string());
    return true;
}

bool OptionParser::Has(const char* name) const {
    for (const auto& v : m_values)
        if (v.first == name) return true;
    return false;
}

std::string OptionParser::Get(const char* name, const char* pszDefault) const {
    // The last occurrence wins, as on most command lines.
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
        if (it->first == name) return it->second;
    return pszDefault ? pszDefault : "";
}

void OptionParser::PrintHelp(std::FILE* out) const {
    std::fprintf(out, "usage: kavotbl %s %s\n\n%s\n\noptions:\n", m_command.c_str(), m_usage.c_str(),
                 m_description.c_str());
    for (const OptionSpec& s : m_specs) {
        std::string left = s.shortName ? std::string("-") + s.shortName + ", " : std::string("    ");
        left += std::string("--") + s.name;
        if (s.metavar) left += std::string(" ") + s.metavar;
        std::fprintf(out, "  %-26s %s\n", left.c_str(), s.help);
    }
    std::fprintf(out, "  %-26s %s\n", "-h, --help", "show this help and exit");
}

bool ParseInt(const std::string& text, int nMin, int nMax, int& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno || !end || *end || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    if (v < nMin || v > nMax) return false;
    value = static_cast<int>(v);
    return true;
}

bool ParseNumber(const std::string& text, double dMin, double dMax, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno || !end || *end || !std::isfinite(v) || v < dMin || v > dMax) return false;
    value = v;
    return true;
}

bool ParseLength(const std::string& text, double& points) {
    struct Unit {
        const char* name;
        double points;
    };
    static const Unit units[] = {{"in", 72.0}, {"cm", 72.0 / 2.54}, {"mm", 72.0 / 25.4}, {"pt", 1.0}};
    std::string number = text;
    double scale = 72.0;
    for (const Unit& u : units) {
        const std::size_t n = std::strlen(u.name);
        if (text.size() > n && text.compare(text.size() - n, n, u.name) == 0) {
            number = text.substr(0, text.size() - n);
            scale = u.points;
            break;
        }
    }
    double v;
    if (!ParseNumber(number, 0.0, 1e6, v)) return false;
    points = v * scale;
    return true;
}

bool ParseRange(const std::string& text, int& first, int& last) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) {
        if (!ParseInt(text, 0, 1 << 30, first)) return false;
        last = first;
        return true;
    }
    return ParseInt(text.substr(0, dash), 0, 1 << 30, first) && ParseInt(text.substr(dash + 1), 0, 1 << 30, last) &&
           first <= last;
}

bool ParsePair(const std::string& text, int& x, int& y) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return ParseInt(text.substr(0, comma), -(1 << 30), 1 << 30, x) &&
           ParseInt(text.substr(comma + 1), -(1 << 30), 1 << 30, y);
}

bool ParseSelection(const std::string& text, Selection& sel) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    return ParseRange(text.substr(0, colon), sel.nRow0, sel.nRow1) &&
           ParseRange(text.substr(colon + 1), sel.nCol0, sel.nCol1);
}

bool SelectionFits(const kavo::CTable& table, const Selection& sel, const std::string& text, std::string& error) {
    if (sel.nRow1 < table.GetNumDataRows() && sel.nCol1 < table.GetNumDataColumns()) return true;
    error = "--select " + text + " lies outside the table's " + std::to_string(table.GetNumDataRows()) +
            " rows and " + std::to_string(table.GetNumDataColumns()) + " columns";
    return false;
}

void BlockSelection(kavo::CTable& table, const Selection& sel) {
    kavo::CRectArray rects;
    for (int r = sel.nRow0; r <= sel.nRow1; ++r) {
        table.GetRow(r)->Block(rects, 1);
        for (int c = sel.nCol0; c <= sel.nCol1; ++c) table.GetCell(r, c)->Block(rects, 1);
    }
    for (int c = sel.nCol0; c <= sel.nCol1; ++c) table.GetColumn(c)->Block(rects, 1);
    table.BlockParents(rects, 1);
}

const PaperSize* FindPaper(const std::string& name) {
    static const PaperSize papers[] = {
        {"letter", 612.0, 792.0},
        {"a4", 210.0 * 72.0 / 25.4, 297.0 * 72.0 / 25.4},
        {"legal", 612.0, 1008.0},
    };
    for (const PaperSize& p : papers)
        if (name == p.name) return &p;
    return nullptr;
}

// ------------------------------------------------------------------ command lines

namespace {

bool UsageError(const OptionParser& opts, const std::string& reason) {
    Fail(opts.CommandName().c_str(), reason, kExitUsage);
    return false;
}

// "--NAME needs WHAT, not 'VALUE'" when parse refuses the value.
template <typename T, typename Parse>
bool OptionValue(const OptionParser& opts, const char* name, const char* what, T& value, Parse parse) {
    if (!opts.Has(name) || parse(opts.Get(name), value)) return true;
    return UsageError(opts, std::string("--") + name + " needs " + what + ", not '" + opts.Get(name) + "'");
}

}  // namespace

bool ParseCommandLine(OptionParser& opts, int argc, char** argv, int& nStatus) {
    nStatus = kExitUsage;
    std::string error;
    if (!opts.Parse(argc, argv, error)) return UsageError(opts, error);
    if (opts.HelpRequested()) {
        opts.PrintHelp(stdout);
        nStatus = kExitOk;
        return false;
    }
    if (opts.Positionals().size() != 1)
        return UsageError(opts, opts.Positionals().empty()
                                    ? "no table file given (see kavotbl " + opts.CommandName() + " --help)"
                                    : "one table file at a time, please");
    return true;
}

bool OutputOption(const OptionParser& opts, const char* hint, std::string& output) {
    output = opts.Get("output");
    if (output.empty()) return UsageError(opts, std::string("no output file given (") + hint + ")");
    return true;
}

bool IntOption(const OptionParser& opts, const char* name, int nMin, int nMax, const char* what, int& value) {
    return OptionValue(opts, name, what, value,
                       [&](const std::string& text, int& v) { return ParseInt(text, nMin, nMax, v); });
}

bool TableOption(const OptionParser& opts, int& nTable) {
    return IntOption(opts, "table", 1, 1 << 30, "a table number from 1", nTable);
}

bool SelectOption(const OptionParser& opts, Selection& sel, bool& bSelect) {
    bSelect = opts.Has("select");
    return OptionValue(opts, "select", "ROWS:COLS such as 2-5:0-3", sel, ParseSelection);
}

bool BlockOptions(const OptionParser& opts, int& nTable, Selection& sel, bool& bSelect) {
    if (!SelectOption(opts, sel, bSelect)) return false;
    if (opts.Has("blocked-only") && !bSelect)
        return UsageError(opts, "--blocked-only needs --select ROWS:COLS: a table file keeps no block");
    if (bSelect && nTable == 0) nTable = 1;
    return true;
}

bool PaperOption(const OptionParser& opts, const PaperSize*& paper) {
    const std::string name = opts.Get("paper", "letter");
    paper = FindPaper(name);
    if (!paper) return UsageError(opts, "unknown paper '" + name + "' (letter, a4 or legal)");
    return true;
}

bool MarginOption(const OptionParser& opts, double& dMargin) {
    return OptionValue(opts, "margin", "a length such as 0.5in or 12mm", dMargin, ParseLength);
}

bool SizeOption(const OptionParser& opts, double& dSize) {
    return OptionValue(opts, "size", "a point size from 4 to 72", dSize,
                       [](const std::string& text, double& v) { return ParseNumber(text, 4.0, 72.0, v); });
}

bool BlockSelected(const OptionParser& opts, kavo::CTable& table, const Selection& sel, bool bSelect) {
    if (!bSelect) return true;
    std::string error;
    if (!SelectionFits(table, sel, opts.Get("select"), error)) return UsageError(opts, error);
    BlockSelection(table, sel);
    return true;
}

// ------------------------------------------------------------------ cancel

volatile std::sig_atomic_t g_bInterrupted = 0;

namespace {
extern "C" void OnInterrupt(int) { g_bInterrupted = 1; }
}  // namespace

void InstallInterruptHandler() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    // One-shot: a second Ctrl-C ends the program the ordinary way.
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// ------------------------------------------------------------------ progress

namespace {
double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
constexpr double kShowAfter = 0.5;   // seconds before a bar appears
constexpr double kRedrawEvery = 0.1;  // seconds between redraws
constexpr int kBarWidth = 30;
}  // namespace

ProgressBar::ProgressBar(std::string label, long long nTotal)
    : m_label(std::move(label)), m_nTotal(std::max(1LL, nTotal)), m_dStart(Now()),
      m_bTerminal(isatty(STDERR_FILENO) != 0) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Restart(std::string label, long long nTotal) {
    m_label = std::move(label);
    m_nTotal = std::max(1LL, nTotal);
    m_dLastDraw = -1;
}

void ProgressBar::SetPos(int nPos) { Update(nPos); }

int ProgressBar::CheckCancelButton() { return g_bInterrupted ? 1 : 0; }

void ProgressBar::Update(long long nDone) {
    if (!m_bTerminal) return;
    const double now = Now();
    if (now - m_dStart < kShowAfter || (m_dLastDraw >= 0 && now - m_dLastDraw < kRedrawEvery)) return;
    m_dLastDraw = now;
    const double frac = std::clamp(static_cast<double>(nDone) / static_cast<double>(m_nTotal), 0.0, 1.0);
    const int filled = static_cast<int>(frac * kBarWidth);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %3d%%", m_label.c_str(), bar.c_str(), static_cast<int>(frac * 100));
    std::fflush(stderr);
    m_bShown = true;
}

void ProgressBar::Finish() {
    if (!m_bShown) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    m_bShown = false;
}

// ------------------------------------------------------------------ document

bool ReadStandardInput(std::string& text) {
    char buf[65536];
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, stdin);
        text.append(buf, n);
        if (n < sizeof buf) return !std::ferror(stdin);
    }
}

std::string StrictFailure(const std::string& what, std::size_t nMessages) {
    return "--strict: " + what + " showed " + std::to_string(nMessages) + (nMessages == 1 ? " message" : " messages") +
           "; nothing written";
}

LoadMessage ToLoadMessage(const kavo::CLoadMessage& message) {
    std::string text = message.strText;
    const std::string line = "line " + std::to_string(message.nLine);
    if (message.nLine > 0 && text.compare(0, line.size() + 2, line + ": ") == 0) {
        text.erase(0, line.size() + 2);
    } else if (message.nLine > 0) {
        const std::size_t at = text.find(" at " + line + ":");
        if (at != std::string::npos) text.erase(at, line.size() + 4);
    }
    // "Unrecognized command:" and its key on the next line become one line.
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || text[i] == '\r') text[i] = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return {message.nID, message.nLine, text};
}

void PrintMessages(std::FILE* out, const std::string& path, const std::vector<LoadMessage>& messages) {
    for (const LoadMessage& m : messages) {
        if (m.nLine > 0)
            std::fprintf(out, "%s:%d: %s\n", path.c_str(), m.nLine, m.text.c_str());
        else
            std::fprintf(out, "%s: %s\n", path.c_str(), m.text.c_str());
    }
}

nlohmann::ordered_json MessageJson(const LoadMessage& message) {
    return {{"id", message.nID}, {"line", message.nLine}, {"text", kavo::TextToUtf8(message.text)}};
}

DiscardMessageBoxes::DiscardMessageBoxes()
    : m_previous(kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return static_cast<int>(kavo::IDOK); })) {}

DiscardMessageBoxes::~DiscardMessageBoxes() { kavo::SetMessageBoxHandler(std::move(m_previous)); }

LoadStatus LoadDocument(const std::string& given, Document& doc, ProgressBar* pProgress, std::string& error) {
    const bool bStdin = given == "-";
    const std::string path = bStdin ? kStandardInput : given;
    doc.path = path;
    kavo::CSpecFile file;
    long long nSize = 0;
    if (bStdin) {
        std::string text;
        if (!ReadStandardInput(text)) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return LoadStatus::Failed;
        }
        nSize = static_cast<long long>(text.size());
        file.OpenText(std::move(text));
    } else {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            error = "cannot open " + path + ": " + std::strerror(errno);
            return LoadStatus::Failed;
        }
        if (S_ISDIR(st.st_mode)) {
            error = "cannot open " + path + ": it is a folder";
            return LoadStatus::Failed;
        }
        errno = 0;
        if (!file.Open(path.c_str(), kavo::CSpecFile::modeRead)) {
            error = "cannot open " + path + ": " + (errno ? std::strerror(errno) : "unreadable");
            return LoadStatus::Failed;
        }
        nSize = static_cast<long long>(st.st_size);
    }
    if (pProgress) pProgress->Restart("loading " + path, nSize / 100);

    // The library reports problems with the line they concern; they are
    // warnings unless a table then fails (a message with the stop icon).
    // The log keeps them; they are printed, once each, when loading ends.
    bool bStop = false;
    kavo::MessageBoxHandler previous = kavo::SetMessageBoxHandler([&](const kavo::CKAVOString&, unsigned nType) {
        if (nType & kavo::MB_ICONSTOP) bStop = true;
        return static_cast<int>(kavo::IDOK);
    });
    kavo::CLoadMessageLog log;
    struct Finish {
        Document& doc;
        kavo::CLoadMessageLog& log;
        kavo::MessageBoxHandler previous;
        ProgressBar* pProgress;
        ~Finish() {
            kavo::SetMessageBoxHandler(std::move(previous));
            for (const kavo::CLoadMessage& m : log.GetMessages()) {
                doc.messages.push_back(ToLoadMessage(m));
                if (m.nID == kavo::IDS_ENDS_IN_GROUP) doc.bEndsInGroup = true;
            }
            if (doc.bEchoMessages && !doc.messages.empty()) {
                if (pProgress) pProgress->Finish();
                PrintMessages(stderr, doc.path, doc.messages);
            }
        }
    } finish{doc, log, std::move(previous), pProgress};

    doc.registry = std::make_unique<kavo::CStyleRegistry>();
    doc.registry->Build(file);
    for (;;) {
        auto table = std::make_unique<kavo::CTable>();
        table->SetStyleRegistry(doc.registry.get());
        bStop = false;
        if (table->Build(file, pProgress)) {
            doc.tables.push_back(std::move(table));
            continue;
        }
        if (g_bInterrupted) {
            error = "cancelled";
            return LoadStatus::Cancelled;
        }
        if (bStop) {
            error = "table " + std::to_string(doc.tables.size() + 1) + " of " + path +
                    " cannot be read (see the messages above)";
            return LoadStatus::Failed;
        }
        break;
    }
    if (pProgress) pProgress->Finish();
    if (doc.tables.empty()) {
        error = path + " holds no table";
        return LoadStatus::Failed;
    }
    return LoadStatus::Ok;
}

bool SelectTables(const Document& doc, int nTable, std::vector<kavo::CTable*>& tables, std::string& error) {
    tables.clear();
    const int nCount = static_cast<int>(doc.tables.size());
    if (nTable == 0) {
        for (const auto& t : doc.tables) tables.push_back(t.get());
        return true;
    }
    if (nTable < 1 || nTable > nCount) {
        error = "there is no table " + std::to_string(nTable) + " in " + doc.path + " (it holds " +
                std::to_string(nCount) + (nCount == 1 ? " table)" : " tables)");
        return false;
    }
    tables.push_back(doc.tables[static_cast<std::size_t>(nTable - 1)].get());
    return true;
}

bool LoadTables(const OptionParser& opts, int nTable, Document& doc, ProgressBar& progress,
                std::vector<kavo::CTable*>& tables, int& nStatus, bool bWhole) {
    nStatus = kExitFailure;
    std::string error;
    const LoadStatus status = LoadDocument(opts.Positionals()[0], doc, &progress, error);
    const bool bStrict = opts.Has("strict") && !doc.messages.empty();
    const bool bCut = bWhole && doc.bEndsInGroup;
    if (status != LoadStatus::Ok || bStrict || bCut) {
        if (!doc.bEchoMessages) PrintMessages(stderr, doc.path, doc.messages);
        if (status == LoadStatus::Cancelled) nStatus = kExitCancelled;
        if (status == LoadStatus::Ok)
            error = bCut ? doc.path + " ends inside a group: its table is incomplete"
                         : StrictFailure("loading " + doc.path, doc.messages.size());
        Fail(opts.CommandName().c_str(), error, nStatus);
        return false;
    }
    if (!SelectTables(doc, nTable, tables, error)) {
        Fail(opts.CommandName().c_str(), error, nStatus);
        return false;
    }
    return true;
}

std::string ResolveFamily(const char* command, const std::string& requested) {
    const std::string family = kavo::CairoFontFamily(requested.c_str());
    std::string a = requested, b = family;
    for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (a != b)
        std::fprintf(stderr, "kavotbl %s: warning: no font family '%s'; using %s\n", command, requested.c_str(),
                     family.c_str());
    return family;
}

void GiveFont(kavo::CStyleRegistry& registry, const std::string& family, double dPoints) {
    kavo::LOGFONT lf;
    lf.lfHeight = -std::max(1, static_cast<int>(std::lround(dPoints * 96.0 / 72.0)));
    lf.lfWeight = kavo::FW_NORMAL;
    lf.lfCharSet = kavo::DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, family.c_str(), sizeof lf.lfFaceName - 1);
    registry.UpdateStyleFonts(&lf, std::max(1, static_cast<int>(std::lround(dPoints * 20.0))), 96);
}

// ------------------------------------------------------------------ output

bool OpenOutput(const char* command, OutputFile& out) {
    std::string error;
    if (out.Open(error)) return true;
    Fail(command, error);
    return false;
}

std::FILE* OutputStream(const char* command, OutputFile& out) {
    std::FILE* f = out.GetStream();
    if (!f) Fail(command, "cannot write " + out.GetPath() + ": " + std::strerror(errno));
    return f;
}

int FinishOutput(const char* command, OutputFile& out, bool bCancelled, const char* pszWhy) {
    if (bCancelled) return Fail(command, "cancelled; " + out.GetPath() + " was not written", kExitCancelled);
    if (pszWhy) return Fail(command, "cannot write " + out.GetPath() + ": " + pszWhy);
    std::string error;
    if (!out.Commit(error)) return Fail(command, error);
    return kExitOk;
}

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                     : CAIRO_STATUS_WRITE_ERROR;
}

std::string Extension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot + 1 >= path.size())
        return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace kavotool
