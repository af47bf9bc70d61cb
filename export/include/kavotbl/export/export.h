// One interface for every writer of the export module: a table, a list of
// tables or a whole document, written in one format to a stream or a file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kavo {

class CTable;
class CTableDocument;

/// The formats the module writes.
enum class ExportFormat {
    Rtf,   ///< a word-processor document with real tables
    Xlsx,  ///< a spreadsheet workbook, one worksheet per table
    Csv,   ///< comma-separated values (RFC 4180), UTF-8
    Html,  ///< a self-contained web page
};

/// The format named by a word or a file extension, without regard to case:
/// "rtf", "xlsx", "csv", "html" or "htm". 1 when the name is known.
int FindExportFormat(const std::string& strName, ExportFormat& format);
/// The usual extension of a format, without the dot ("xlsx").
const char* GetExportFormatName(ExportFormat format);

/// Paper of the writers that page (RTF, and the print set-up of a
/// spreadsheet and of a web page), in twips.
struct CExportPage {
    int nWidth = 12240;  ///< letter, portrait
    int nHeight = 15840;
    int nMargin = 1440;  ///< on every side
};

/// How to write. Options of one format are ignored by the others.
struct CExportOptions {
    ExportFormat format = ExportFormat::Rtf;
    int bBlockedOnly = 0;  ///< only the blocked part of each table
    CExportPage page;
    /// The document's title (spreadsheet properties, the web page's title);
    /// the first table's title when empty.
    std::string strTitle;

    // CSV
    int bBom = 0;             ///< begin with a byte-order mark, for spreadsheet programs that need one
    int bCaptionRecords = 1;  ///< caption rows as records with empty cells
    int bHeadingLevels = 0;   ///< one heading record per level instead of captions joined with their spanners
    int bShownText = 0;       ///< cells as the table shows them instead of plain decimals ("1234.50")

    // HTML
    int bFragment = 0;  ///< the tables alone, for embedding in another page

    // RTF
    /// Tables laid out for print (CTable::LayoutPrinter on the printable
    /// area of the page) are written as print's pages: column panels with
    /// the stub, heading rows on every page, page header and footer with
    /// page numbers (CRtfPage::bColumnPanels).
    int bRtfPanels = 0;
};

/// What an export said: warnings about what it could not write as asked
/// (the file is still complete and valid), and the reason of a failure.
struct CExportReport {
    std::vector<std::string> arrWarnings;
    std::string strError;
};

/// Writes the tables, in order, to a stream (opened in binary mode). Returns
/// 1 on success, 0 with the reason in the report when the stream failed;
/// a failed stream may hold part of the output.
int ExportTables(const std::vector<CTable*>& tables, std::ostream& out, const CExportOptions& options,
                 CExportReport* pReport = nullptr);
/// Writes the tables to a file, as COutputFile writes one: it appears only
/// once it is complete (written under a temporary name next to it and
/// renamed), so a failure leaves what was there before; a symbolic link is
/// written through to its target, an existing file keeps its permissions,
/// and a FIFO or device is written in place. Returns 1 on success, 0 with
/// the reason in the report.
int ExportTables(const std::vector<CTable*>& tables, const char* pszPath, const CExportOptions& options,
                 CExportReport* pReport = nullptr);

/// One table.
int ExportTable(CTable& table, std::ostream& out, const CExportOptions& options, CExportReport* pReport = nullptr);
int ExportTable(CTable& table, const char* pszPath, const CExportOptions& options, CExportReport* pReport = nullptr);
/// Every table of a document.
int ExportDocument(CTableDocument& doc, std::ostream& out, const CExportOptions& options,
                   CExportReport* pReport = nullptr);
int ExportDocument(CTableDocument& doc, const char* pszPath, const CExportOptions& options,
                   CExportReport* pReport = nullptr);

}  // namespace kavo
