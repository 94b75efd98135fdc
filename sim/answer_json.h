// The JSON text of the item-search answers, written by hand in the platform's shape: money
// and rates always with two decimals ("tkRate":5.50), which a double serializer would drop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/catalogue.h"

namespace corvane::sim {

// Appends `utf8` as a quoted, escaped JSON string.
void AppendJsonString(std::string& out, std::string_view utf8);

// Appends cents as a number with two decimals: 5600 -> 56.00, 308 -> 3.08.
void AppendCents(std::string& out, std::int64_t cents);

// The answer object of one item, with the given (highlighted) title.
std::string ItemJson(const Item& item, std::string_view title);

// Where a page stands in the filtered list of a keyword.
struct PageInfo {
  std::int64_t page = 1;  // 1-based, as asked
  std::int64_t perPageSize = 40;
  std::int64_t items = 0;  // filtered items of the keyword
  std::int64_t pages = 0;  // ceil(items / perPageSize)
};

// The success answer: head, paginator and the given item objects as pageList.
// `approxBytes` is only a reservation hint.
std::string SearchAnswerJson(const PageInfo& info, std::string_view searchUrl,
                             const std::vector<const std::string*>& itemJson,
                             std::size_t approxBytes = 0);

// The answer without a valid session: status NOT_LOGIN, paginator and pageList null.
std::string NotLoginAnswerJson(const PageInfo& info, std::string_view searchUrl);

}  // namespace corvane::sim
