// Query reading and page selection for the item-search service.
#include "sim/search_query.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace corvane::sim {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

const std::string* First(const QueryParams& params, const std::string& name) {
  const auto found = params.find(name);
  return found == params.end() ? nullptr : &found->second;
}

std::optional<double> NumberParam(const QueryParams& params, const std::string& name) {
  const std::string* value = First(params, name);
  return value ? ParseNumber(*value) : std::nullopt;
}

// Whole number in [low, high]; fractions are cut off.
std::int64_t Clamped(double value, double low, double high) {
  return static_cast<std::int64_t>(std::floor(std::clamp(value, low, high)));
}

// Money and rates in hundredths, bounded so that the conversion cannot overflow.
std::int64_t Hundredths(double value) {
  return std::llround(std::clamp(value, -1e13, 1e13) * 100);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

SearchQuery ReadSearchQuery(const QueryParams& params) {
  SearchQuery query;
  if (const std::string* q = First(params, "q")) query.keyword = *q;
  if (auto page = NumberParam(params, "toPage"); page && *page >= 1) {
    query.page = Clamped(*page, 1, 1e9);
  }
  if (auto size = NumberParam(params, "perPageSize"); size && *size >= 1) {
    query.perPageSize = Clamped(*size, 1, 100);
  }
  SearchFilters& filters = query.filters;
  if (auto rate = NumberParam(params, "startTkRate")) {
    filters.minTkRateHundredths =
        static_cast<int>(std::clamp<std::int64_t>(Hundredths(*rate), -1000000000, 1000000000));
  }
  if (auto sales = NumberParam(params, "startBiz30day")) {
    filters.minBiz30day = static_cast<std::int64_t>(std::ceil(std::clamp(*sales, -1e15, 1e15)));
  }
  if (auto price = NumberParam(params, "startPrice")) filters.minPriceCents = Hundredths(*price);
  if (auto price = NumberParam(params, "endPrice")) filters.maxPriceCents = Hundredths(*price);
  if (auto level = NumberParam(params, "startRatesum"); level && *level > 0) {
    filters.minShopLevel = static_cast<int>(Clamped(*level, 0, 21));
  }
  if (const std::string* type = First(params, "user_type")) {
    const std::string_view value = TrimBlanks(*type);
    if (value == "0" || value == "1") filters.userType = value[0] - '0';
  }
  return query;
}

PageSlice SelectPage(const KeywordItems& items, const SearchQuery& query) {
  PageSlice page;
  page.info.page = query.page;
  page.info.perPageSize = query.perPageSize;
  const std::int64_t first = (query.page - 1) * query.perPageSize;
  const std::int64_t last = first + query.perPageSize;  // exclusive
  std::int64_t matched = 0;
  for (std::size_t i = 0; i < items.items.size(); ++i) {
    if (!query.filters.Accepts(items.items[i])) continue;
    if (matched >= first && matched < last) {
      page.itemJson.push_back(&items.itemJson[i]);
      page.bytes += items.itemJson[i].size();
    }
    ++matched;
  }
  page.info.items = matched;
  page.info.pages = (matched + query.perPageSize - 1) / query.perPageSize;
  return page;
}

}  // namespace corvane::sim
