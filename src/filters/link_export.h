// The link export: the link of every row of the result list, each followed by CR LF, as the
// CP936 bytes of the cells.
#pragma once

#include <filesystem>
#include <string>

#include "ui/report_list.h"

namespace corvane::filters {

// Column 7 of every row, from the first to the last, each followed by CR LF.
std::string LinkExportText(const ui::ReportList& list);

// Creates or truncates the file; false when the write failed.
bool WriteLinkExport(const std::filesystem::path& path, const ui::ReportList& list);

}  // namespace corvane::filters
