// One page of one keyword from the item-search service: the request URL with the filters,
// the encoded keyword, the time and the session token; the answer appended as rows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/main_form.h"
#include "state/shared_state.h"

namespace corvane::engine {

enum class SearchScope : int { ScopeAll = 0, ScopeTaobao = 1, ScopeTmall = 2 };

// The parameters of one request. Texts (CP936) are sent as typed: not validated, trimmed or
// encoded, except the keyword.
struct SearchSettings {
  std::string keyword;
  std::string page;                  // "1", "2", ...
  std::string minSales30Day;         // 编辑框_推广数小
  std::string minCommissionRate;     // 编辑框_佣金比例
  std::string minPrice;              // 编辑框_价格小
  std::string maxPrice;              // 编辑框_价格大
  std::int32_t shopLevelIndex = -1;  // 组合框_店铺等级, -1 when nothing is selected
  SearchScope scope = SearchScope::ScopeAll;
};

// The settings of the moment: the filter boxes' current texts and the shop level selection.
SearchSettings ReadSearchSettings(const state::MainForm& form, std::string keyword,
                                  std::string page, SearchScope scope);

// The request URL. The scope piece ("&user_type=0" for Taobao shops, "&user_type=1" for
// Tmall shops, nothing for all) is the last piece of the query.
std::string SearchUrl(const SearchSettings& settings, std::string_view publisherHost,
                      std::string_view token, std::string_view timestamp);

// Requests the page with the session cookies (rewritten in place by the answer's cookies) and
// appends the answer's rows. Returns once the rows are in the list.
void SearchPage(const SearchSettings& settings, state::SharedState& state, state::MainForm& form);

}  // namespace corvane::engine
