// The synthetic catalogue and the reading of query texts, without a server.
#include "sim/catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <boost/json.hpp>
#include <map>
#include <set>
#include <string>

#include "sim/pages.h"
#include "sim/search_query.h"
#include "text/charset.h"

namespace corvane::sim {
namespace {

TEST(Catalogue, KeywordListsAreReproducibleAndSized) {
  for (const std::string keyword : {"连衣裙", "", "每行一个关键词", "abc", "%", "\"<>"}) {
    const auto first = BuildKeywordItems(keyword);
    const auto second = BuildKeywordItems(keyword);
    EXPECT_EQ(first->itemJson, second->itemJson) << keyword;
    EXPECT_GE(first->items.size(), 30u) << keyword;
    EXPECT_LE(first->items.size(), 400u) << keyword;
    for (const std::string& json : first->itemJson) {
      EXPECT_TRUE(text::IsValidUtf8(json));
      boost::json::error_code error;
      boost::json::parse(json, error);
      EXPECT_FALSE(error) << json;
    }
  }
  EXPECT_NE(BuildKeywordItems("连衣裙")->itemJson, BuildKeywordItems("手机壳")->itemJson);
}

TEST(Catalogue, OwnTitlesHoldTheKeywordAndRepeatOnlyByDesign) {
  const auto list = BuildKeywordItems("连衣裙");
  std::map<std::string, int> titles;
  int repeats = 0;
  for (std::size_t i = 0; i < list->items.size(); ++i) {
    const Item& item = list->items[i];
    if (!item.shared) {
      EXPECT_THAT(item.title, ::testing::HasSubstr("连衣裙"));
      EXPECT_THAT(list->itemJson[i], ::testing::HasSubstr("<span class=H>连衣裙</span>"));
    }
    repeats += titles[item.title]++ > 0;
  }
  // A few titles of other shops' copies; an answer's items are otherwise distinct.
  EXPECT_GT(repeats, 0);
  EXPECT_LT(repeats, static_cast<int>(list->items.size()) / 10);
}

TEST(Catalogue, SharedItemsRecurWithTheSameTitle) {
  const auto a = BuildKeywordItems("连衣裙");
  const auto b = BuildKeywordItems("每行一个关键词");
  std::set<std::uint64_t> sharedInA;
  for (const Item& item : a->items) {
    if (item.shared) sharedInA.insert(item.auctionId);
  }
  std::size_t common = 0;
  for (const Item& item : b->items) {
    if (!item.shared || !sharedInA.count(item.auctionId)) continue;
    ++common;
    const auto same = std::find_if(a->items.begin(), a->items.end(), [&](const Item& other) {
      return other.auctionId == item.auctionId;
    });
    EXPECT_EQ(same->title, item.title);
  }
  EXPECT_GE(common, kBestsellerCount);
  // A pool title holding the keyword is highlighted, which leaves its cleaned title alone.
  EXPECT_EQ(HighlightTitle("夏季T恤女T恤", "T恤"),
            "夏季<span class=H>T恤</span>女<span class=H>T恤</span>");
  EXPECT_EQ(HighlightTitle("夏季T恤", ""), "夏季T恤");
}

TEST(Catalogue, FilterKeywordsOccurInSomeTitles) {
  std::set<std::string> found;
  for (const std::string keyword : {"连衣裙", "手机壳", "abc", ""}) {
    const auto list = BuildKeywordItems(keyword);
    for (const Item& item : list->items) {
      for (const std::string& word :
           {std::string("清仓"), std::string("二手"), std::string("明星同款"), std::string("代购"),
            std::string("diy")}) {
        if (item.title.find(word) != std::string::npos) found.insert(word);
      }
    }
  }
  EXPECT_EQ(found.size(), 5u);
  EXPECT_THAT(std::string(kFilterKeywordsUtf8), ::testing::HasSubstr("清仓"));
}

TEST(Catalogue, KeywordsAreNormalised) {
  struct Case {
    std::string raw;
    std::string normalised;
  };
  const std::vector<Case> cases = {
      {" 连衣裙 ", "连衣裙"},
      {"\xE3\x80\x80连衣裙\xE3\x80\x80", "连衣裙"},
      {"\xC1\xAC\xD2\xC2\xC8\xB9", "连衣裙"},  // CP936 bytes sent without conversion
      {"a b", "a b"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseKeyword(c.raw), c.normalised) << c.raw;
  EXPECT_EQ(BuildKeywordItems(" 连衣裙")->itemJson, BuildKeywordItems("连衣裙")->itemJson);
  // Long keywords are cut to 256 bytes without splitting a character.
  std::string longKeyword;
  for (int i = 0; i < 100; ++i) longKeyword += "裙";
  const std::string cut = NormaliseKeyword(longKeyword);
  EXPECT_EQ(cut.size(), 255u);
  EXPECT_TRUE(text::IsValidUtf8(cut));
}

TEST(Catalogue, CacheGivesTheSameListAndStaysBounded) {
  Catalogue catalogue(1);  // room for one list only
  const auto first = catalogue.ItemsFor("连衣裙");
  EXPECT_EQ(catalogue.ItemsFor("连衣裙"), first);
  catalogue.ItemsFor("手机壳");
  const auto rebuilt = catalogue.ItemsFor("连衣裙");
  EXPECT_NE(rebuilt, first);
  EXPECT_EQ(rebuilt->itemJson, first->itemJson);
}

TEST(SearchQueryText, NumbersAreReadWhole) {
  struct Case {
    std::string text;
    std::optional<double> value;
  };
  const std::vector<Case> cases = {
      {"20", 20},
      {" 5.5 ", 5.5},
      {"+3", 3},
      {"-1", -1},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"abc", std::nullopt},
      {"20abc", std::nullopt},
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"1e400", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
}

TEST(SearchQueryText, QueryValuesBecomeFiltersAndPages) {
  const SearchQuery defaults = ReadSearchQuery({});
  EXPECT_EQ(defaults.page, 1);
  EXPECT_EQ(defaults.perPageSize, 40);
  EXPECT_FALSE(defaults.filters.minTkRateHundredths || defaults.filters.minBiz30day ||
               defaults.filters.minPriceCents || defaults.filters.maxPriceCents ||
               defaults.filters.userType);
  EXPECT_EQ(defaults.filters.minShopLevel, 0);

  const SearchQuery query = ReadSearchQuery({{"q", "连衣裙"},
                                             {"toPage", "3"},
                                             {"perPageSize", "500"},
                                             {"startTkRate", "20.5"},
                                             {"startBiz30day", "5"},
                                             {"startPrice", "30"},
                                             {"endPrice", "888.88"},
                                             {"startRatesum", "20"},
                                             {"user_type", "1"}});
  EXPECT_EQ(query.keyword, "连衣裙");
  EXPECT_EQ(query.page, 3);
  EXPECT_EQ(query.perPageSize, 100);
  EXPECT_EQ(query.filters.minTkRateHundredths, 2050);
  EXPECT_EQ(query.filters.minBiz30day, 5);
  EXPECT_EQ(query.filters.minPriceCents, 3000);
  EXPECT_EQ(query.filters.maxPriceCents, 88888);
  EXPECT_EQ(query.filters.minShopLevel, 20);
  EXPECT_EQ(query.filters.userType, 1);

  for (const std::string page : {"0", "-2", "x", ""}) {
    EXPECT_EQ(ReadSearchQuery({{"toPage", page}}).page, 1) << page;
  }
  EXPECT_EQ(ReadSearchQuery({{"toPage", "99999999999999"}}).page, 1000000000);
  EXPECT_EQ(ReadSearchQuery({{"perPageSize", "0"}}).perPageSize, 40);
  for (const std::string type : {"", "2", "tmall", "01"}) {
    EXPECT_FALSE(ReadSearchQuery({{"user_type", type}}).filters.userType) << type;
  }
}

TEST(SearchQueryText, PagesAreCutFromTheFilteredList) {
  const auto list = BuildKeywordItems("连衣裙");
  SearchQuery query;
  query.filters.userType = 0;
  std::size_t taobao = 0;
  for (const Item& item : list->items) taobao += item.userType == 0;

  query.page = 1;
  const PageSlice first = SelectPage(*list, query);
  EXPECT_EQ(first.info.items, static_cast<std::int64_t>(taobao));
  EXPECT_EQ(first.info.pages, static_cast<std::int64_t>((taobao + 39) / 40));
  query.page = first.info.pages;
  EXPECT_EQ(SelectPage(*list, query).itemJson.size(), taobao - 40 * (first.info.pages - 1));
  query.page = first.info.pages + 1;
  EXPECT_TRUE(SelectPage(*list, query).itemJson.empty());
  query.page = 1000000000;  // far beyond the end, without overflow
  EXPECT_TRUE(SelectPage(*list, query).itemJson.empty());
}

}  // namespace
}  // namespace corvane::sim
