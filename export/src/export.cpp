// The common part of every export: choosing the writer, and files that
// appear only once they are complete.
#include "kavotbl/export/export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "kavotbl/file/document.h"
#include "writers.h"

namespace kavo {

namespace {

using export_detail::Tables;

int Failed(CExportReport& report, std::string why) {
    report.strError = std::move(why);
    return 0;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// A private file in dir (with its trailing slash, or empty), removed
// again unless released.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty()) unlink(path.c_str());
    }
    bool Create(const std::string& dir, const std::string& base) {
        std::string name = dir + "." + base + ".tmp-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) return false;
        close(fd);
        path = name;
        return true;
    }
};

// Copies a finished file to a stream.
bool CopyTo(const std::string& path, std::ostream& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        out.write(buf, in.gcount());
        if (!out) return false;
    }
    return static_cast<bool>(out);
}

// Writes the tables into a new file at path.
int WriteNewFile(const Tables& tables, const std::string& path, const CExportOptions& options,
                 CExportReport& report) {
    if (options.format == ExportFormat::Xlsx) return export_detail::WriteXlsx(tables, path.c_str(), options, report);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return Failed(report, std::strerror(errno));
    if (!ExportTables(tables, out, options, &report)) return 0;
    out.close();
    if (!out) return Failed(report, std::strerror(errno ? errno : EIO));
    return 1;
}

}  // namespace

int FindExportFormat(const std::string& strName, ExportFormat& format) {
    const std::string name = Lower(strName);
    if (name == "rtf") format = ExportFormat::Rtf;
    else if (name == "xlsx") format = ExportFormat::Xlsx;
    else if (name == "csv") format = ExportFormat::Csv;
    else if (name == "html" || name == "htm") format = ExportFormat::Html;
    else return 0;
    return 1;
}

const char* GetExportFormatName(ExportFormat format) {
    switch (format) {
    case ExportFormat::Rtf: return "rtf";
    case ExportFormat::Xlsx: return "xlsx";
    case ExportFormat::Csv: return "csv";
    case ExportFormat::Html: return "html";
    }
    return "";
}

std::string export_detail::TableName(std::size_t i) { return "table " + std::to_string(i + 1); }

int ExportTables(const std::vector<CTable*>& tables, std::ostream& out, const CExportOptions& options,
                 CExportReport* pReport) {
    CExportReport local;
    CExportReport& report = pReport ? *pReport : local;
    report.strError.clear();
    for (const CTable* t : tables)
        if (!t) return Failed(report, "no table to write");
    int bOk = 0;
    switch (options.format) {
    case ExportFormat::Rtf: bOk = export_detail::WriteRtf(tables, out, options, report); break;
    case ExportFormat::Csv: bOk = export_detail::WriteCsv(tables, out, options, report); break;
    case ExportFormat::Html: bOk = export_detail::WriteHtml(tables, out, options, report); break;
    case ExportFormat::Xlsx: {
        // Through a private file: the spreadsheet library writes files only.
        const char* pszDir = std::getenv("TMPDIR");
        std::string dir = pszDir && *pszDir ? pszDir : "/tmp";
        if (dir.back() != '/') dir += '/';
        TempFile temp;
        if (!temp.Create(dir, "kavotbl-export"))
            return Failed(report, std::string("no temporary file: ") + std::strerror(errno));
        if (!export_detail::WriteXlsx(tables, temp.path.c_str(), options, report)) return 0;
        if (!CopyTo(temp.path, out)) return Failed(report, "the stream failed");
        bOk = 1;
        break;
    }
    }
    if (bOk && !out) return Failed(report, "the stream failed");
    return bOk;
}

int ExportTables(const std::vector<CTable*>& tables, const char* pszPath, const CExportOptions& options,
                 CExportReport* pReport) {
    CExportReport local;
    CExportReport& report = pReport ? *pReport : local;
    report.strError.clear();
    std::string target = pszPath ? pszPath : "";
    auto fail = [&](const std::string& why) { return Failed(report, "cannot write " + target + ": " + why); };
    if (target.empty()) return Failed(report, "cannot write: no file name");

    struct stat st;
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // The link stays; what it points at is replaced.
        char resolved[PATH_MAX];
        if (realpath(target.c_str(), resolved)) target = resolved;
    }
    if (stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fail("it is a folder");
        if (!S_ISREG(st.st_mode)) {
            // A FIFO or a device cannot be renamed over: write in place.
            std::ofstream out(target, std::ios::binary);
            if (!out) return fail(std::strerror(errno));
            if (!ExportTables(tables, out, options, &report)) return fail(report.strError);
            return 1;
        }
    }
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) return fail("no file name");
    TempFile temp;
    if (!temp.Create(dir, base)) return fail(std::strerror(errno));
    if (!WriteNewFile(tables, temp.path, options, report)) return fail(report.strError);
    // mkstemp makes the file private; give it the permissions of a new file.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temp.path.c_str(), 0666 & ~mask);
    if (std::rename(temp.path.c_str(), target.c_str()) != 0) return fail(std::strerror(errno));
    temp.path.clear();
    return 1;
}

int ExportTable(CTable& table, std::ostream& out, const CExportOptions& options, CExportReport* pReport) {
    return ExportTables({&table}, out, options, pReport);
}
int ExportTable(CTable& table, const char* pszPath, const CExportOptions& options, CExportReport* pReport) {
    return ExportTables({&table}, pszPath, options, pReport);
}

static Tables DocumentTables(CTableDocument& doc) {
    Tables tables;
    for (int i = 0; i < doc.GetNumTables(); ++i) tables.push_back(doc.GetTable(i));
    return tables;
}

int ExportDocument(CTableDocument& doc, std::ostream& out, const CExportOptions& options, CExportReport* pReport) {
    return ExportTables(DocumentTables(doc), out, options, pReport);
}
int ExportDocument(CTableDocument& doc, const char* pszPath, const CExportOptions& options, CExportReport* pReport) {
    return ExportTables(DocumentTables(doc), pszPath, options, pReport);
}

}  // namespace kavo
