#include "engine/search_query.h"

#include <algorithm>

#include "engine/result_rows.h"
#include "text/charset.h"
#include "text/cp936.h"
#include "web/encoding.h"

namespace corvane::engine {

SearchSettings ReadSearchSettings(const state::MainForm& form, std::string keyword,
                                  std::string page, SearchScope scope) {
  SearchSettings settings;
  settings.keyword = std::move(keyword);
  settings.page = std::move(page);
  settings.minSales30Day = form.编辑框_推广数小.Text();
  settings.minCommissionRate = form.编辑框_佣金比例.Text();
  settings.minPrice = form.编辑框_价格小.Text();
  settings.maxPrice = form.编辑框_价格大.Text();
  settings.shopLevelIndex = form.组合框_店铺等级.SelectedIndex();
  settings.scope = scope;
  return settings;
}

std::string SearchUrl(const SearchSettings& settings, std::string_view publisherHost,
                      std::string_view token, std::string_view timestamp) {
  std::string url = "http://";
  url.append(publisherHost)
      .append("/items/search.json?q=")
      .append(web::UrlEncode(settings.keyword, true, true))
      .append("&startBiz30day=")
      .append(settings.minSales30Day)
      .append("&toPage=")
      .append(settings.page)
      .append("&startTkRate=")
      .append(settings.minCommissionRate)
      .append("&startPrice=")
      .append(settings.minPrice)
      .append("&endPrice=")
      .append(settings.maxPrice)
      .append("&auctionTag=&perPageSize=40&shopTag=&sortType=5&startRatesum=")
      .append(text::NumberText(static_cast<long long>(settings.shopLevelIndex) + 1))
      .append("&t=")
      .append(timestamp)
      .append("&_tb_token_=")
      .append(token)
      .append("&_input_charset=utf-8&sort=_totalnum");
  switch (settings.scope) {
    case SearchScope::ScopeTaobao:
      url.append("&user_type=0");
      break;  // Taobao shops are type 0
    case SearchScope::ScopeTmall:
      url.append("&user_type=1");
      break;
    case SearchScope::ScopeAll:
      break;
  }
  return url;
}

void SearchPage(const SearchSettings& settings, state::SharedState& state, state::MainForm& form) {
  const std::string url = SearchUrl(settings, state.configuration.publisherHost, state.sessionToken,
                                    web::TimestampText());
  const platform::Bytes body = state.webClient.HttpGet(url, &state.sessionCookies);
  const auto end = std::find(body.begin(), body.end(), std::uint8_t{0});
  const std::string_view utf8(reinterpret_cast<const char*>(body.data()),
                              static_cast<std::size_t>(end - body.begin()));
  // The answer is UTF-8 JSON; it is only converted, never percent-decoded: a "%" in a title
  // or a link is the platform's own text, not an escape.
  AppendResultRows(text::Utf8ToCp936(utf8), state, form);
}

}  // namespace corvane::engine
