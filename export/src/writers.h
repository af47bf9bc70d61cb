// The writers behind ExportTables, one per format.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "kavotbl/export/export.h"

namespace kavo {
namespace export_detail {

using Tables = std::vector<CTable*>;

int WriteRtf(const Tables& tables, std::ostream& out, const CExportOptions& options, CExportReport& report);
int WriteCsv(const Tables& tables, std::ostream& out, const CExportOptions& options, CExportReport& report);
int WriteHtml(const Tables& tables, std::ostream& out, const CExportOptions& options, CExportReport& report);
/// The spreadsheet library writes files only: pszPath is a new file's path.
int WriteXlsx(const Tables& tables, const char* pszPath, const CExportOptions& options, CExportReport& report);

/// "table N" of an export, from 1.
std::string TableName(std::size_t i);

}  // namespace export_detail
}  // namespace kavo
