// Pieces shared by the subcommands of the kavotbl program: the command
// record, option parsing, loading a document with its messages, a progress
// bar that Ctrl-C cancels, and output files that appear only when complete.
#pragma once

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "kavotbl/export/output_file.h"
#include "kavotbl/kavotbl.h"

#include <nlohmann/json.hpp>

namespace kavotool {

/// A subcommand: its name, a one-line summary for the command list, and the
/// function that runs it with argv[0] being the subcommand's name. Each
/// cmd_*.cpp defines one as `extern const Command kCommand_<name>`.
struct Command {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv);
};

/// Exit statuses.
enum : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitCancelled = 130 };

/// Prints "kavotbl <command>: <reason>" on one line to standard error and
/// returns nStatus.
int Fail(const char* command, const std::string& reason, int nStatus = kExitFailure);

// ------------------------------------------------------------------ options

/// One option: long name (without dashes), optional one-letter name, the
/// name of its value (null for a flag) and its help text.
struct OptionSpec {
    const char* name;
    char shortName;
    const char* metavar;
    const char* help;
};

/// The options of a subcommand, parsed by CLI11: "--name value",
/// "--name=value", "-x value", "-xvalue" and flags; everything else is
/// positional, "-" too ("--" ends the options). --help and -h are built in.
class OptionParser {
public:
    OptionParser(std::string command, std::string usage, std::string description, std::vector<OptionSpec> specs);
    /// argv[0] is the subcommand; false with a one-line error otherwise.
    bool Parse(int argc, char** argv, std::string& error);
    bool HelpRequested() const { return m_bHelp; }
    /// The subcommand's name, as reasons name it.
    const std::string& CommandName() const { return m_command; }
    bool Has(const char* name) const;
    /// The value given for an option, or pszDefault when it was not given.
    std::string Get(const char* name, const char* pszDefault = "") const;
    const std::vector<std::string>& Positionals() const { return m_positionals; }
    void PrintHelp(std::FILE* out) const;

private:
    std::string m_command, m_usage, m_description;
    std::vector<OptionSpec> m_specs;
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_positionals;
    bool m_bHelp = false;
};

/// A whole decimal number within [nMin, nMax].
bool ParseInt(const std::string& text, int nMin, int nMax, int& value);
/// A decimal number within [dMin, dMax] ("10", "10.5").
bool ParseNumber(const std::string& text, double dMin, double dMax, double& value);
/// A length in points: a number with the unit in, cm, mm or pt; a bare
/// number is in inches. Negative lengths are refused.
bool ParseLength(const std::string& text, double& points);
/// "A-B" or "A" (0-based, A <= B) as [first, last].
bool ParseRange(const std::string& text, int& first, int& last);
/// "X,Y" with two whole numbers (either may be negative).
bool ParsePair(const std::string& text, int& x, int& y);

/// A block of data rows and data columns, both inclusive and from 0.
struct Selection {
    int nRow0 = 0, nRow1 = -1, nCol0 = 0, nCol1 = -1;
};
/// "ROWS:COLS", each a range as ParseRange takes it ("2-5:0-3", "1:2").
bool ParseSelection(const std::string& text, Selection& sel);
/// False with a one-line reason when the block reaches past the table.
bool SelectionFits(const kavo::CTable& table, const Selection& sel, const std::string& text, std::string& error);
/// Blocks the cells of the block, their data rows and data columns, and the
/// captions and spanners above them, as a user's drag selection would.
void BlockSelection(kavo::CTable& table, const Selection& sel);

/// Paper sizes in points, portrait.
struct PaperSize {
    const char* name;
    double width, height;
};
/// letter, a4 or legal; null for any other name.
const PaperSize* FindPaper(const std::string& name);

// ------------------------------------------------------------------ command lines
//
// The options that several subcommands share. Each helper below that returns
// false has printed the reason, as Fail does for the parser's command; the
// subcommand then ends with kExitUsage. An option that was not given leaves
// its value at the caller's default.

/// Parses the command line of a subcommand that reads one table file, the
/// one positional argument. False when the subcommand is done: after --help
/// (nStatus kExitOk) or after a reason (nStatus kExitUsage).
bool ParseCommandLine(OptionParser& opts, int argc, char** argv, int& nStatus);
/// -o/--output, required; hint shows it in the reason ("-o OUT.pdf").
bool OutputOption(const OptionParser& opts, const char* hint, std::string& output);
/// --NAME as a whole number within [nMin, nMax]; what describes the values
/// in the reason "--NAME needs WHAT, not 'VALUE'".
bool IntOption(const OptionParser& opts, const char* name, int nMin, int nMax, const char* what, int& value);
/// --table N, from 1.
bool TableOption(const OptionParser& opts, int& nTable);
/// --select ROWS:COLS; bSelect tells whether it was given.
bool SelectOption(const OptionParser& opts, Selection& sel, bool& bSelect);
/// --select and --blocked-only of the subcommands that write a block, which
/// lies in one table: the first unless --table named another.
bool BlockOptions(const OptionParser& opts, int& nTable, Selection& sel, bool& bSelect);
/// --paper NAME, letter when not given.
bool PaperOption(const OptionParser& opts, const PaperSize*& paper);
/// --margin LEN in points.
bool MarginOption(const OptionParser& opts, double& dMargin);
/// --size PT, a font size in points.
bool SizeOption(const OptionParser& opts, double& dSize);
/// With --select, blocks the selection in the table when it fits there;
/// false when it reaches past the table.
bool BlockSelected(const OptionParser& opts, kavo::CTable& table, const Selection& sel, bool bSelect);

// ------------------------------------------------------------------ cancel

/// Set by the first Ctrl-C; the second one ends the program at once.
extern volatile std::sig_atomic_t g_bInterrupted;
void InstallInterruptHandler();

// ------------------------------------------------------------------ progress

/// A progress bar on standard error, shown only on a terminal and only once
/// a task has run for a moment. Its cancel button is Ctrl-C.
class ProgressBar : public kavo::CProgressDlg {
public:
    /// nTotal is the value of a finished task in SetPos units.
    ProgressBar(std::string label, long long nTotal);
    ~ProgressBar() override;
    void SetPos(int nPos) override;
    int CheckCancelButton() override;
    /// Starts a new task on the same line.
    void Restart(std::string label, long long nTotal);
    void Update(long long nDone);
    /// Erases the bar.
    void Finish();

private:
    std::string m_label;
    long long m_nTotal;
    double m_dStart;
    double m_dLastDraw = -1;
    bool m_bShown = false;
    bool m_bTerminal;
};

// ------------------------------------------------------------------ document

/// A message that the library showed while loading: its string-table id,
/// the line it concerns (0 for none) and its text without the place, which
/// the program shows as "FILE:LINE: text".
struct LoadMessage {
    unsigned nID;
    int nLine;
    std::string text;  // one line: line breaks become blanks
};

/// The library's message with the place taken out of its text ("line 11: "
/// in front, " at line 11" inside), so that it is shown once.
LoadMessage ToLoadMessage(const kavo::CLoadMessage& message);
/// "FILE:LINE: text" for each message, "FILE: text" for one without a line.
void PrintMessages(std::FILE* out, const std::string& path, const std::vector<LoadMessage>& messages);
/// Why --strict failed: "--strict: WHAT showed N messages; nothing written".
std::string StrictFailure(const std::string& what, std::size_t nMessages);
/// {"id", "line", "text"}, as info --json and check --json write a message.
nlohmann::ordered_json MessageJson(const LoadMessage& message);
/// All of standard input; false with errno set when it cannot be read.
bool ReadStandardInput(std::string& text);

/// While it lives, the library's message boxes show nothing and answer OK:
/// the program prints the messages itself, from the list of the load.
class DiscardMessageBoxes {
public:
    DiscardMessageBoxes();
    ~DiscardMessageBoxes();
    DiscardMessageBoxes(const DiscardMessageBoxes&) = delete;
    DiscardMessageBoxes& operator=(const DiscardMessageBoxes&) = delete;

private:
    kavo::MessageBoxHandler m_previous;
};

/// A loaded table file: the registry and, after it in destruction order
/// reversed, the tables that point into it.
struct Document {
    std::string path;
    std::vector<LoadMessage> messages;
    bool bEchoMessages = true;  // also print each message to standard error
    bool bEndsInGroup = false;  // the file ended inside a group (no [EndGroup])
    std::unique_ptr<kavo::CStyleRegistry> registry;
    std::vector<std::unique_ptr<kavo::CTable>> tables;

    Document() = default;
    Document(Document&&) = default;
    Document& operator=(Document&&) = delete;
    ~Document() { tables.clear(); }
};

enum class LoadStatus { Ok, Failed, Cancelled };

/// How messages name standard input, the table file "-".
constexpr const char* kStandardInput = "<stdin>";

/// Reads every table of the file, or of standard input for "-". The library's messages are kept in
/// doc.messages and, unless doc.bEchoMessages is off, go to standard error
/// as "FILE:LINE: text". A file without any table, or a table that
/// cannot be read, fails with a one-line reason in error.
/// bEndsInGroup tells that the file ended inside a group: what was read
/// of the table is there, the rest is not.
LoadStatus LoadDocument(const std::string& path, Document& doc, ProgressBar* pProgress, std::string& error);

/// Picks the tables to work on: all (nTable 0) or the nTable-th (from 1).
bool SelectTables(const Document& doc, int nTable, std::vector<kavo::CTable*>& tables, std::string& error);

/// LoadDocument of the command line's table file, then SelectTables. False
/// after the reason was printed as Fail does for the parser's command, with
/// nStatus kExitCancelled after Ctrl-C and kExitFailure otherwise. A load
/// that fails prints the messages it kept from standard error first: its
/// reason may point at them. With --strict any message is a failure, and
/// with bWhole (the commands that publish a table) so is a file that ends
/// inside a group: its table would be printed incomplete.
bool LoadTables(const OptionParser& opts, int nTable, Document& doc, ProgressBar& progress,
                std::vector<kavo::CTable*>& tables, int& nStatus, bool bWhole = false);

/// The font family to use for a requested one; names a fallback on
/// standard error when the font configuration does not know the request.
std::string ResolveFamily(const char* command, const std::string& requested);

/// Gives every style of the registry one font: the face at a point size,
/// |lfHeight| = pt × 96 / 72 pixels on screen and pt × 20 twips on paper.
void GiveFont(kavo::CStyleRegistry& registry, const std::string& family, double dPoints);

// ------------------------------------------------------------------ output

/// Outputs are kavo::COutputFile with "-" as standard output: complete or
/// absent, written through symbolic links, in place for FIFOs and devices.
using OutputFile = kavo::COutputFile;

/// OutputFile::Open; false after the reason was printed as Fail does.
bool OpenOutput(const char* command, OutputFile& out);
/// The output's stream; null after the reason was printed as Fail does.
std::FILE* OutputStream(const char* command, OutputFile& out);
/// The end of a subcommand that wrote out: after Ctrl-C the output is dropped
/// ("cancelled; OUT was not written", kExitCancelled); a write that failed,
/// for the reason pszWhy, is "cannot write OUT: WHY"; otherwise out is
/// committed. pszWhy is null when the write succeeded.
int FinishOutput(const char* command, OutputFile& out, bool bCancelled, const char* pszWhy);
/// A cairo write function for the FILE* in closure, for the *_for_stream
/// surfaces and cairo_surface_write_to_png_stream.
cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length);

/// The lower-case extension of a path, without the dot ("" when none).
std::string Extension(const std::string& path);

}  // namespace kavotool
