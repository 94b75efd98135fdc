// Builds search answers in the platform's shape for tests and benchmarks: a 40-item page
// is about 50 KB, as real answers are.
#pragma once

#include <string>
#include <vector>

#include "text/charset.h"

namespace corvane::testing {

struct AnswerItem {
  std::string title;  // UTF-8, may hold the highlight markup
  std::string totalNum = "120";
  std::string totalFee = "45.60";
  std::string zkPrice = "56.00";
  std::string tkCommFee = "3.08";
  std::string tkRate = "5.50";
  std::string auctionUrl;  // empty: derived from the item's position
};

// JSON text of a string (the titles we build need only quotes and backslashes escaped).
inline std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The answer as UTF-8 JSON text; `pages` empty leaves the paginator out.
inline std::string AnswerJson(const std::vector<AnswerItem>& items, const std::string& pages = "5",
                              bool nullPageList = false) {
  std::string json = R"({"data":{"head":{"version":"1.0","status":"OK","pageNo":1,"pageSize":40,)"
                     R"("searchUrl":"https://pub.example/items/search.json","docsfind":)" +
                     std::to_string(items.size()) + "},";
  if (!pages.empty()) {
    json += R"("paginator":{"length":40,"offset":0,"page":1,"beginIndex":1,"endIndex":40,)"
            R"("items":)" +
            std::to_string(items.size()) + R"(,"pages":)" + pages + R"(,"itemsPerPage":40},)";
  }
  json += R"("pageList":)";
  if (nullPageList) {
    json += "null";
  } else {
    json += "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
      const AnswerItem& item = items[i];
      const std::string id = std::to_string(520000000000 + i * 7919);
      const std::string url =
          item.auctionUrl.empty() ? "http://item.example.com/item.htm?id=" + id : item.auctionUrl;
      if (i) json += ",";
      json += R"({"leafCatId":50010850,"debugInfo":null,"rootCatId":16,"eventCreatorId":0,)"
              R"("rootCategoryName":null,"includeDxjh":1,"auctionTag":"385 587 907 1163 1478 )"
              R"(1483 1547 2049 2059 3974 4166 4491 8326 8578 11083 11339 16321 21442 25282 )"
              R"(28353 28802 35713 37569 40897 49218 67521 82306 101762 143746 ",)"
              R"("sellerId":)" +
              std::to_string(2200000000 + i) +
              R"(,"userType":1,)"
              R"("shopTitle":"Example flagship store","nick":"example_seller",)"
              R"("pictUrl":"http://img.example.com/bao/uploaded/i4/2200000000/O1CN01ab)" +
              id + R"(_!!0-item_pic.jpg","auctionId":)" + id + R"(,"title":)" +
              JsonString(item.title) + R"(,"reservePrice":99.00,"zkPrice":)" + item.zkPrice +
              R"(,"biz30day":)" + item.totalNum + R"(,"tkRate":)" + item.tkRate +
              R"(,"tkCommFee":)" + item.tkCommFee + R"(,"totalNum":)" + item.totalNum +
              R"(,"totalFee":)" + item.totalFee +
              R"(,"couponActivityId":null,"couponAmount":10,)"
              R"("couponStartFee":59.00,"couponTotalCount":10000,"couponLeftCount":8821,)"
              R"("couponEffectiveStartTime":"2026-12-01","couponEffectiveEndTime":"2026-12-31",)"
              R"("couponInfo":"满59元减10元","couponLink":"","couponLinkTaoToken":"",)"
              R"("dayLeft":-17000,"tkMktStatus":null,"hasRecommended":null,"hasSame":null,)"
              R"("hasUmpBonus":null,"isBizActivity":null,"umpBonus":null,"rlRate":null,)"
              R"("sameItemPid":"-1553483016","tkSpecialCampaignIdRateMap":null,)"
              R"("eventRate":null,"auctionUrl":)" +
              JsonString(url) + "}";
    }
    json += "]";
  }
  json += R"(},"info":{"message":null,"ok":true,"pvid":"10_11.1.1.1_1_1","sessionid":null},)"
          R"("ok":true,"invalidKey":null})";
  return json;
}

// The answer as the program holds it after decoding: CP936 text.
inline std::string AnswerText(const std::vector<AnswerItem>& items, const std::string& pages = "5",
                              bool nullPageList = false) {
  return text::Utf8ToCp936(AnswerJson(items, pages, nullPageList));
}

// `count` distinct items whose titles carry the highlight markup, numbered from `first`.
inline std::vector<AnswerItem> DistinctItems(int count, int first = 0) {
  std::vector<AnswerItem> items;
  for (int i = first; i < first + count; ++i) {
    AnswerItem item;
    item.title = "<span class=H>连衣裙</span>2026新款夏季女装韩版修身显瘦中长款雪纺碎花裙子 款" +
                 std::to_string(i);
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace corvane::testing
