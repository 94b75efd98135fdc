#include "filters/link_export.h"

#include "platform/files.h"
#include "state/main_form.h"

namespace corvane::filters {

std::string LinkExportText(const ui::ReportList& list) {
  std::string text;
  for (const std::string& link : list.ColumnTexts(state::kColumnLink)) {
    text.append(link).append("\r\n");
  }
  return text;
}

bool WriteLinkExport(const std::filesystem::path& path, const ui::ReportList& list) {
  return platform::WriteWholeFile(path, LinkExportText(list));
}

}  // namespace corvane::filters
