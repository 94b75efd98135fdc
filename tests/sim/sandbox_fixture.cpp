#include "sandbox_fixture.h"

#include "web/encoding.h"

namespace corvane::sim::testing {

std::string PercentEncoded(std::string_view text) { return web::UrlEncode(text, true); }

std::string SearchPath(std::string_view keywordUtf8, int page, std::string_view token,
                       const Filters& f) {
  std::string path =
      "/items/search.json?q=" + PercentEncoded(keywordUtf8) + "&startBiz30day=" + f.startBiz30day +
      "&toPage=" + std::to_string(page) + "&startTkRate=" + f.startTkRate +
      "&startPrice=" + f.startPrice + "&endPrice=" + f.endPrice +
      "&auctionTag=&perPageSize=40&shopTag=&sortType=5&startRatesum=" + f.startRatesum +
      "&t=1765432109876&_tb_token_=" + std::string(token) + "&_input_charset=utf-8&sort=_totalnum";
  if (!f.userType.empty()) path += "&user_type=" + f.userType;
  return path;
}

void SandboxTest::SetUp() {
  server_.Start();
  session_ = server_.CreateSession();
}

std::string SandboxTest::HostHeader(const std::string& host) const {
  if (host == "pub") return server_.PublisherHost();
  if (host == "login") return server_.LoginHost();
  if (host == "www") return server_.FilterListHost();
  return host;
}

httplib::Result SandboxTest::Get(const std::string& path, const std::string& host,
                                 const std::string& cookies) {
  httplib::Client client("127.0.0.1", server_.Port());
  client.set_read_timeout(30, 0);
  httplib::Headers headers{{"Host", HostHeader(host)}};
  if (!cookies.empty()) headers.emplace("Cookie", cookies);
  return client.Get(path, headers);
}

httplib::Result SandboxTest::Search(std::string_view keyword, int page, const Filters& filters) {
  return Get(SearchPath(keyword, page, session_.token, filters), "pub", session_.cookies);
}

boost::json::object SandboxTest::SearchJson(std::string_view keyword, int page,
                                            const Filters& filters) {
  const httplib::Result result = Search(keyword, page, filters);
  if (!result) {
    ADD_FAILURE() << "no answer: " << httplib::to_string(result.error());
    return {};
  }
  EXPECT_EQ(result->status, 200);
  boost::json::error_code error;
  boost::json::value value = boost::json::parse(result->body, error);
  if (error || !value.is_object()) {
    ADD_FAILURE() << "not a JSON object: " << result->body.substr(0, 200);
    return {};
  }
  EXPECT_EQ(value.at("ok"), true) << result->body.substr(0, 300);
  return value.as_object();
}

}  // namespace corvane::sim::testing
