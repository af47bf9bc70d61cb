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

/// "table N" of an export, from 1.
std::string TableName(std::size_t i);

}  // namespace export_detail
}  // namespace kavo
