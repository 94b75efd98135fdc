// The item-search service over loopback: answer shape, number forms, determinism, filters,
// pages, the session check and the cookie renewals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sandbox_fixture.h"
#include "text/charset.h"

namespace corvane::sim::testing {
namespace {

using ::testing::HasSubstr;

std::string CleanTitle(std::string title) {
  for (const std::string markup : {"<span class=H>", "</span>"}) {
    for (std::size_t at; (at = title.find(markup)) != std::string::npos;)
      title.erase(at, markup.size());
  }
  return title;
}

const boost::json::array& PageList(const boost::json::object& answer) {
  return answer.at("data").at("pageList").as_array();
}

const boost::json::object& Paginator(const boost::json::object& answer) {
  return answer.at("data").at("paginator").as_object();
}

double Number(const boost::json::value& value) {
  return value.to_number<double>();
}

using SearchServiceTest = SandboxTest;

TEST_F(SearchServiceTest, AnswersInThePlatformShapeWithTwoDecimalFigures) {
  const httplib::Result result = Search("连衣裙", 1);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_THAT(result->get_header_value("Content-Type"), HasSubstr("application/json"));
  EXPECT_TRUE(text::IsValidUtf8(result->body));
  // A page of 40 items is about the size the platform sends.
  EXPECT_GT(result->body.size(), 40000u);
  EXPECT_LT(result->body.size(), 70000u);

  const boost::json::object answer = boost::json::parse(result->body).as_object();
  EXPECT_EQ(answer.at("ok"), true);
  EXPECT_EQ(answer.at("info").at("ok"), true);
  EXPECT_EQ(answer.at("data").at("head").at("status"), "OK");
  const boost::json::array& items = PageList(answer);
  ASSERT_EQ(items.size(), 40u);
  int highlighted = 0;
  for (const boost::json::value& item : items) {
    const boost::json::object& fields = item.as_object();
    ASSERT_TRUE(fields.at("title").is_string());
    highlighted += fields.at("title").as_string().find("<span class=H>连衣裙</span>") !=
                   boost::json::string::npos;
    EXPECT_TRUE(fields.at("auctionUrl").is_string());
    for (const char* name : {"totalNum", "totalFee", "zkPrice", "tkCommFee", "tkRate", "auctionId",
                             "userType", "biz30day", "reservePrice", "couponAmount"}) {
      EXPECT_TRUE(fields.at(name).is_number()) << name;
    }
  }
  // Items of the shared pool need not hold the keyword; most items do.
  EXPECT_GT(highlighted, 20);

  // Every money and rate figure is written with exactly two decimals, as the platform does.
  for (const std::string name : {"zkPrice", "reservePrice", "tkRate", "tkCommFee", "totalFee"}) {
    const std::regex anyForm("\"" + name + "\":([^,}]*)");
    const std::regex twoDecimals("[0-9]+\\.[0-9][0-9]");
    std::size_t seen = 0;
    for (auto it = std::sregex_iterator(result->body.begin(), result->body.end(), anyForm);
         it != std::sregex_iterator(); ++it, ++seen) {
      EXPECT_TRUE(std::regex_match((*it)[1].str(), twoDecimals)) << name << ": " << (*it)[1];
    }
    EXPECT_EQ(seen, 40u) << name;
  }
  const std::regex trailingZero("\"(tkRate|zkPrice)\":[0-9]+\\.[0-9]0[,}]");
  EXPECT_TRUE(std::regex_search(result->body, trailingZero));
}

TEST_F(SearchServiceTest, SameQueryGivesTheSameBytes) {
  for (const std::string keyword : {"连衣裙", "abc", "", "每行一个关键词"}) {
    const httplib::Result first = Search(keyword, 2);
    // Another time stamp and another session change nothing in the answer.
    const SandboxServer::Session other = server_.CreateSession();
    std::string path = SearchPath(keyword, 2, other.token);
    path.replace(path.find("t=1765432109876"), 15, "t=1765432999999");
    const httplib::Result second = Get(path, "pub", other.cookies);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->body, second->body) << keyword;
  }
}

TEST_F(SearchServiceTest, EveryKeywordGivesItemsAndPagesFollowTheCount) {
  for (const std::string keyword : {"连衣裙", "", "每行一个关键词", "a b-1.5/x", "手机壳"}) {
    const boost::json::object first = SearchJson(keyword, 1);
    const boost::json::object& paginator = Paginator(first);
    const std::int64_t count = paginator.at("items").to_number<std::int64_t>();
    const std::int64_t pages = paginator.at("pages").to_number<std::int64_t>();
    EXPECT_GE(count, 30) << keyword;
    EXPECT_LE(count, 400) << keyword;
    EXPECT_EQ(pages, (count + 39) / 40) << keyword;

    std::int64_t collected = 0;
    for (int page = 1; page <= pages; ++page) {
      const boost::json::object answer = SearchJson(keyword, page);
      const std::size_t size = PageList(answer).size();
      EXPECT_EQ(size, page < pages ? 40u : static_cast<std::size_t>(count - 40 * (pages - 1)))
          << keyword << " page " << page;
      EXPECT_EQ(Paginator(answer).at("page"), page);
      collected += static_cast<std::int64_t>(size);
    }
    EXPECT_EQ(collected, count);

    const boost::json::object beyond = SearchJson(keyword, static_cast<int>(pages) + 1);
    EXPECT_TRUE(PageList(beyond).empty());
    EXPECT_EQ(Paginator(beyond).at("pages"), pages);
    EXPECT_EQ(Paginator(beyond).at("items"), count);
  }
}

struct FilterCase {
  const char* name;
  Filters filters;
};

TEST_F(SearchServiceTest, EveryItemSatisfiesTheFilters) {
  const std::vector<FilterCase> cases = {
      {"program defaults", {"5", "20", "30", "888", "0", ""}},
      {"Tmall, shop level 11", {"", "", "", "", "11", "1"}},
      {"Taobao, fractional rate", {"", "12.5", "", "", "0", "0"}},
      {"narrow price range", {"100", "", "50.5", "99.99", "0", ""}},
      {"top shop level", {"", "", "", "", "20", ""}},
  };
  const std::int64_t unfiltered =
      Paginator(SearchJson("连衣裙", 1)).at("items").to_number<std::int64_t>();
  for (const FilterCase& c : cases) {
    const Filters& f = c.filters;
    const boost::json::object first = SearchJson("连衣裙", 1, f);
    const std::int64_t count = Paginator(first).at("items").to_number<std::int64_t>();
    EXPECT_GT(count, 0) << c.name;
    EXPECT_LT(count, unfiltered) << c.name;
    std::int64_t seen = 0;
    for (int page = 1; page <= (count + 39) / 40; ++page) {
      const boost::json::object answer = SearchJson("连衣裙", page, f);
      for (const boost::json::value& value : PageList(answer)) {
        const boost::json::object& item = value.as_object();
        ++seen;
        if (!f.startTkRate.empty()) {
          EXPECT_GE(Number(item.at("tkRate")), std::stod(f.startTkRate) - 1e-9) << c.name;
        }
        if (!f.startBiz30day.empty()) {
          EXPECT_GE(Number(item.at("biz30day")), std::stod(f.startBiz30day)) << c.name;
        }
        if (!f.startPrice.empty()) {
          EXPECT_GE(Number(item.at("zkPrice")), std::stod(f.startPrice) - 1e-9) << c.name;
        }
        if (!f.endPrice.empty()) {
          EXPECT_LE(Number(item.at("zkPrice")), std::stod(f.endPrice) + 1e-9) << c.name;
        }
        EXPECT_GE(Number(item.at("ratesum")), std::stod(f.startRatesum)) << c.name;
        if (!f.userType.empty()) {
          EXPECT_EQ(Number(item.at("userType")), std::stod(f.userType)) << c.name;
        }
      }
    }
    EXPECT_EQ(seen, count) << c.name;
  }
}

TEST_F(SearchServiceTest, FilterTextsThatAreNoNumbersFilterNothing) {
  const std::string all = Search("连衣裙", 1)->body;
  EXPECT_EQ(Search("连衣裙", 1, {"abc", "", " ", "x1", "0", "2"})->body, all);
  EXPECT_EQ(Search("连衣裙", 1, {"", "nan", "inf", "", "-3", ""})->body, all);
}

TEST_F(SearchServiceTest, TitlesAndLinksCarryPercentSigns) {
  bool titleWithPercent = false;
  bool linkWithEscape = false;
  for (int page = 1; page <= 3; ++page) {
    const boost::json::object answer = SearchJson("连衣裙", page);
    for (const boost::json::value& item : PageList(answer)) {
      titleWithPercent |= item.at("title").as_string().find('%') != boost::json::string::npos;
      linkWithEscape |= item.at("auctionUrl").as_string().find("%2F") != boost::json::string::npos;
    }
  }
  EXPECT_TRUE(titleWithPercent);
  EXPECT_TRUE(linkWithEscape);
}

TEST_F(SearchServiceTest, SharedItemsRecurUnderOtherKeywordsWithTheSameTitle) {
  std::set<std::string> first;
  const boost::json::object dresses = SearchJson("连衣裙", 1);
  for (const boost::json::value& item : PageList(dresses)) {
    first.insert(CleanTitle(std::string(item.at("title").as_string())));
  }
  int recurring = 0;
  const boost::json::object earphones = SearchJson("蓝牙耳机", 1);
  for (const boost::json::value& item : PageList(earphones)) {
    recurring += first.count(CleanTitle(std::string(item.at("title").as_string())));
  }
  EXPECT_GE(recurring, 1);
}

struct SessionCase {
  const char* name;
  bool withCookie;
  bool rightToken;
  bool emptyToken;
};

TEST_F(SearchServiceTest, AnswersNotLoginWithoutAValidSession) {
  const std::vector<SessionCase> cases = {
      {"no cookies", false, true, false},
      {"wrong token", true, false, false},
      {"empty token", true, false, true},
  };
  for (const SessionCase& c : cases) {
    const std::string token = c.emptyToken ? "" : c.rightToken ? session_.token : "x";
    const httplib::Result result =
        Get(SearchPath("abc", 1, token), "pub", c.withCookie ? session_.cookies : "");
    ASSERT_TRUE(result) << c.name;
    EXPECT_EQ(result->status, 200) << c.name;
    const boost::json::object answer = boost::json::parse(result->body).as_object();
    EXPECT_EQ(answer.at("ok"), false) << c.name;
    EXPECT_EQ(answer.at("info").at("message"), "nologin") << c.name;
    EXPECT_EQ(answer.at("data").at("head").at("status"), "NOT_LOGIN") << c.name;
    EXPECT_TRUE(answer.at("data").at("paginator").is_null()) << c.name;
    EXPECT_TRUE(answer.at("data").at("pageList").is_null()) << c.name;
    EXPECT_FALSE(result->has_header("Set-Cookie")) << c.name;
  }
  // An unknown session cookie with a token of the right form is no session either.
  const httplib::Result forged = Get(SearchPath("abc", 1, session_.token), "pub",
                                     "cookie2=0123; _tb_token_=" + session_.token);
  EXPECT_THAT(forged->body, HasSubstr("\"NOT_LOGIN\""));
}

TEST_F(SearchServiceTest, AnswersRenewCookiesWithoutEndingTheSession) {
  for (int answer = 1; answer <= 11; ++answer) {
    const httplib::Result result = Search("abc", 1);
    ASSERT_TRUE(result);
    EXPECT_THAT(result->body, HasSubstr("\"ok\":true,\"invalidKey\":null}")) << answer;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < result->get_header_value_count("Set-Cookie"); ++i) {
      lines.push_back(result->get_header_value("Set-Cookie", i));
    }
    if (answer == 5) {
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_THAT(lines[0],
                  ::testing::MatchesRegex("t=[0-9a-f]+; Path=/; Domain=\\.sandbox\\.localhost"));
    } else if (answer == 10) {
      ASSERT_EQ(lines.size(), 2u);
      EXPECT_THAT(lines[0], ::testing::StartsWith("t="));
      EXPECT_THAT(lines[1], ::testing::StartsWith("isg="));
      EXPECT_THAT(lines[1], HasSubstr("; HttpOnly"));
    } else {
      EXPECT_TRUE(lines.empty()) << answer;
    }
  }
}

TEST_F(SearchServiceTest, RenewalForTheLoopbackAddressCarriesNoForeignDomain) {
  for (int answer = 1; answer <= 5; ++answer) {
    const httplib::Result result =
        Get(SearchPath("abc", 1, session_.token), "127.0.0.1:" + std::to_string(server_.Port()),
            session_.cookies);
    ASSERT_TRUE(result);
    EXPECT_THAT(result->body, HasSubstr("\"status\":\"OK\""));
    if (answer == 5) {
      EXPECT_THAT(result->get_header_value("Set-Cookie"),
                  ::testing::MatchesRegex("t=[0-9a-f]+; Path=/"));
    }
  }
}

TEST_F(SearchServiceTest, ServesSearchesOnlyOnThePublisherHost) {
  const httplib::Result result =
      Get(SearchPath("abc", 1, session_.token), "login", session_.cookies);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 404);
}

TEST_F(SearchServiceTest, CountsSearchRequests) {
  const std::uint64_t before = server_.SearchRequestCount();
  Search("abc", 1);
  Get(SearchPath("abc", 1, "wrong"), "pub");
  EXPECT_EQ(server_.SearchRequestCount(), before + 2);
}

}  // namespace
}  // namespace corvane::sim::testing
