#include "cli/output.h"

#include "text/charset.h"

namespace corvane::cli {

std::string TabSeparatedText(const Rows& rows) {
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c) out += '\t';
      std::string cell = text::Cp936ToUtf8(row[c]);
      for (char& ch : cell) {
        if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
      }
      out += cell;
    }
    out += '\n';
  }
  return out;
}

namespace {

void AppendCsvLine(std::string& out, const std::vector<std::string>& cells) {
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (c) out += ',';
    const std::string cell = text::Cp936ToUtf8(cells[c]);
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
      out += cell;
      continue;
    }
    out += '"';
    for (char ch : cell) {
      if (ch == '"') out += '"';
      out += ch;
    }
    out += '"';
  }
  out += "\r\n";
}

}  // namespace

std::string CsvText(const std::vector<std::string>& titles, const Rows& rows) {
  std::string out = "\xEF\xBB\xBF";
  AppendCsvLine(out, titles);
  for (const auto& row : rows) AppendCsvLine(out, row);
  return out;
}

}  // namespace corvane::cli
