// The common part of every export: choosing the writer, and files that
// appear only once they are complete.
#include "kavotbl/export/export.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "kavotbl/export/output_file.h"
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
    const std::string target = pszPath ? pszPath : "";
    if (target.empty()) return Failed(report, "cannot write: no file name");
    COutputFile file(target);
    std::string error;
    if (!file.Open(error)) return Failed(report, error);
    auto fail = [&](const std::string& why) { return Failed(report, "cannot write " + target + ": " + why); };
    if (file.IsInPlace()) {
        std::ofstream out(file.GetWritePath(), std::ios::binary);
        if (!out) return fail(std::strerror(errno));
        if (!ExportTables(tables, out, options, &report)) return fail(report.strError);
        out.close();
        if (!out) return fail(std::strerror(errno ? errno : EIO));
    } else if (!WriteNewFile(tables, file.GetWritePath(), options, report)) {
        return fail(report.strError);
    }
    if (!file.Commit(error)) return Failed(report, error);
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
