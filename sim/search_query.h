// Reading the item-search query (the filter texts exactly as a client typed them) and
// cutting the requested page out of a keyword's filtered items.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/answer_json.h"
#include "sim/catalogue.h"

namespace corvane::sim {

// Query parameters, decoded; the first value of a repeated name counts.
using QueryParams = std::multimap<std::string, std::string>;

struct SearchQuery {
  std::string keyword;            // q (UTF-8 as sent; the catalogue normalises it)
  std::int64_t page = 1;          // toPage; missing, not a number or below 1 gives 1
  std::int64_t perPageSize = 40;  // missing, not a number or below 1 gives 40; at most 100
  SearchFilters filters;
};

// A decimal number text (surrounding blanks allowed, nothing else); empty, non-numeric and
// non-finite texts give nothing, which means "no filter".
std::optional<double> ParseNumber(std::string_view text);

SearchQuery ReadSearchQuery(const QueryParams& params);

// The page asked for: its place in the filtered list and the item objects on it.
struct PageSlice {
  PageInfo info;
  std::vector<const std::string*> itemJson;  // point into the KeywordItems
  std::size_t bytes = 0;                     // total size of the item objects
};

PageSlice SelectPage(const KeywordItems& items, const SearchQuery& query);

}  // namespace corvane::sim
