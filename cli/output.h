// The collector's renderings of the result list: tab-separated lines for the terminal and
// CSV for spreadsheet programs, both UTF-8.
#pragma once

#include <string>
#include <vector>

namespace corvane::cli {

using Rows = std::vector<std::vector<std::string>>;  // CP936 cells

// One line per row, cells joined by tabs; tabs and line breaks inside a cell become spaces.
std::string TabSeparatedText(const Rows& rows);

// A byte-order mark, the column titles, then the rows; RFC 4180 quoting, CR LF line ends.
std::string CsvText(const std::vector<std::string>& titles, const Rows& rows);

}  // namespace corvane::cli
