#include "engine/search_query.h"

#include <gtest/gtest.h>

#include <regex>

#include "sim/sandbox_server.h"
#include "support/answer_builder.h"
#include "support/scripted_transport.h"
#include "text/charset.h"

namespace corvane::engine {
namespace {

using text::Utf8ToCp936;

SearchSettings Initial(std::string keyword) {
  state::MainForm form;
  return ReadSearchSettings(form, Utf8ToCp936(keyword), "1", SearchScope::ScopeAll);
}

TEST(SearchUrl, IsExactlyTheServiceQuery) {
  EXPECT_EQ(SearchUrl(Initial("abc"), "pub.example.com", "tok", "1388548800007"),
            "http://pub.example.com/items/search.json?q=abc&startBiz30day=5&toPage=1"
            "&startTkRate=20&startPrice=30&endPrice=888&auctionTag=&perPageSize=40&shopTag="
            "&sortType=5&startRatesum=0&t=1388548800007&_tb_token_=tok"
            "&_input_charset=utf-8&sort=_totalnum");
}

TEST(SearchUrl, PiecesFollowTheSettings) {
  struct Case {
    const char* name;
    SearchSettings settings;
    std::string expectedPiece;
  };
  auto with = [](auto change) {
    SearchSettings settings = Initial("abc");
    change(settings);
    return settings;
  };
  const std::vector<Case> cases = {
      {"keyword in UTF-8", Initial("连衣裙"), "?q=%E8%BF%9E%E8%A1%A3%E8%A3%99&"},
      {"reserved characters", Initial("a b-1.5/x"), "?q=a%20b-1.5%2Fx&"},
      {"empty keyword", Initial(""), "?q=&startBiz30day="},
      {"first shop level", with([](auto& s) { s.shopLevelIndex = 0; }), "&startRatesum=1&"},
      {"last shop level", with([](auto& s) { s.shopLevelIndex = 19; }), "&startRatesum=20&"},
      {"Taobao", with([](auto& s) { s.scope = SearchScope::ScopeTaobao; }), "&user_type=0"},
      {"Tmall", with([](auto& s) { s.scope = SearchScope::ScopeTmall; }), "&user_type=1"},
      {"empty box", with([](auto& s) { s.maxPrice.clear(); }), "&endPrice=&auctionTag="},
      {"typed as is", with([](auto& s) { s.minPrice = "1 &x=2"; }), "&startPrice=1 &x=2&"},
  };
  for (const auto& c : cases) {
    const std::string url = SearchUrl(c.settings, "h", "t", "1");
    EXPECT_NE(url.find(c.expectedPiece), std::string::npos) << c.name << ": " << url;
  }
  EXPECT_EQ(SearchUrl(Initial("abc"), "h", "t", "1").find("user_type"), std::string::npos);
}

TEST(SearchPage, SendsTheQueryWithTheSessionAndKeepsPercentSigns) {
  const std::string link = "http://item.example.com/item.htm?id=1&spm=a%2Fb";
  std::vector<testing::AnswerItem> items = testing::DistinctItems(2);
  items[0].title = "<span class=H>T恤</span>100%";
  items[1].auctionUrl = link;
  auto transport = std::make_shared<testing::ScriptedTransport>([&](const auto&) {
    return testing::ScriptedAnswer{testing::AnswerJson(items, "6"),
                                   "Content-Type: application/json\r\n"
                                   "Set-Cookie: t=renewed; Path=/\r\n"};
  });
  state::Configuration configuration;
  configuration.publisherHost = "pub.example.com";
  state::SharedState state(configuration, transport);
  state.sessionCookies = "cookie2=c2; _tb_token_=tok; t=old";
  state.sessionToken = "tok";
  state::MainForm form;
  form.编辑框_过滤关键词.SetText("");
  SearchPage(ReadSearchSettings(form, "abc", "2", SearchScope::ScopeAll), state, form);

  const auto requests = transport->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(std::regex_match(
      requests[0].url,
      std::regex(R"(http://pub\.example\.com/items/search\.json\?q=abc&.*&toPage=2&.*)"
                 R"(&t=\d{13}&_tb_token_=tok&_input_charset=utf-8&sort=_totalnum)")))
      << requests[0].url;
  ASSERT_FALSE(requests[0].headers.empty());
  EXPECT_EQ(requests[0].headers[0].first, "Cookie");
  EXPECT_EQ(requests[0].headers[0].second, "cookie2=c2; _tb_token_=tok; t=old");
  EXPECT_EQ(state.sessionCookies, "t=renewed; cookie2=c2; _tb_token_=tok");

  ASSERT_EQ(form.超级列表框_采集宝贝.RowCount(), 2);
  EXPECT_EQ(form.超级列表框_采集宝贝.Cell(0, 1), Utf8ToCp936("T恤100%"));
  EXPECT_EQ(form.超级列表框_采集宝贝.Cell(1, 7), link);
  EXPECT_EQ(state.totalPagesText, "6");
}

TEST(SearchPage, AnAnswerIsReadUpToItsFirstZeroByte) {
  auto transport = std::make_shared<testing::ScriptedTransport>([](const auto&) {
    return testing::ScriptedAnswer{
        testing::AnswerJson(testing::DistinctItems(1), "2") + std::string(1, '\0') + "garbage", ""};
  });
  state::SharedState state({}, transport);
  state::MainForm form;
  form.编辑框_过滤关键词.SetText("");
  SearchPage(ReadSearchSettings(form, "abc", "1", SearchScope::ScopeAll), state, form);
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 1);
}

class SandboxSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox.Start();
    configuration.publisherHost = sandbox.PublisherHost();
  }
  // The sandbox waits for open connections when it stops.
  void TearDown() override { platform::CloseIdleConnections(); }
  sim::SandboxServer sandbox;
  state::Configuration configuration;
  state::MainForm form;
};

TEST_F(SandboxSearchTest, RowsArriveAndCookiesStayCurrent) {
  state::SharedState state(configuration);
  const auto session = sandbox.CreateSession();
  state.sessionCookies = session.cookies;
  state.sessionToken = session.token;
  form.编辑框_过滤关键词.SetText("");
  for (int page = 1; page <= 6; ++page) {
    SearchPage(ReadSearchSettings(form, Utf8ToCp936("连衣裙"), std::to_string(page),
                                  SearchScope::ScopeAll),
               state, form);
    EXPECT_FALSE(state.totalPagesText.empty()) << "page " << page;
  }
  EXPECT_GT(form.超级列表框_采集宝贝.RowCount(), 40);
  EXPECT_NE(state.sessionCookies, session.cookies);  // renewed cookies were merged in
  EXPECT_NE(state.sessionCookies.find("_tb_token_=" + session.token), std::string::npos);
}

TEST_F(SandboxSearchTest, WithoutASessionThereAreNoRows) {
  state::SharedState state(configuration);
  state.sessionToken = "forged";
  SearchPage(ReadSearchSettings(form, "abc", "1", SearchScope::ScopeAll), state, form);
  EXPECT_EQ(form.超级列表框_采集宝贝.RowCount(), 0);
  EXPECT_EQ(state.totalPagesText, "");
  EXPECT_EQ(sandbox.SearchRequestCount(), 1u);
}

}  // namespace
}  // namespace corvane::engine
