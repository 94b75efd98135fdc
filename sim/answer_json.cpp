// Writing the answer texts. Item objects are written once per keyword (see catalogue.cpp),
// so a page is a few appends of ready text.
#include "sim/answer_json.h"

#include <algorithm>

#include <boost/json/serialize.hpp>
#include <boost/json/string_view.hpp>

namespace corvane::sim {

namespace {

void AppendInteger(std::string& out, std::int64_t value) {
  out += std::to_string(value);
}

void AppendField(std::string& out, std::string_view name) {
  out += '"';
  out += name;  // field names are plain ASCII
  out += "\":";
}

void AppendStringField(std::string& out, std::string_view name, std::string_view value) {
  AppendField(out, name);
  AppendJsonString(out, value);
  out += ',';
}

void AppendIntegerField(std::string& out, std::string_view name, std::int64_t value) {
  AppendField(out, name);
  AppendInteger(out, value);
  out += ',';
}

void AppendCentsField(std::string& out, std::string_view name, std::int64_t cents) {
  AppendField(out, name);
  AppendCents(out, cents);
  out += ',';
}

void AppendRawField(std::string& out, std::string_view name, std::string_view raw) {
  AppendField(out, name);
  out += raw;
  out += ',';
}

void AppendHead(std::string& out, std::string_view status, const PageInfo& info,
                std::string_view searchUrl) {
  out += "{\"head\":{\"version\":\"1.0\",\"status\":";
  AppendJsonString(out, status);
  out += ",\"pageNo\":";
  AppendInteger(out, info.page);
  out += ",\"pageSize\":";
  AppendInteger(out, info.perPageSize);
  out += ",\"searchUrl\":";
  AppendJsonString(out, searchUrl);
  out += ",\"docsfind\":";
  AppendInteger(out, info.items);
  out += ",\"responseTxt\":null,\"errmsg\":null,\"pvid\":\"sandbox-pvid\"}";
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
  out += boost::json::serialize(boost::json::string_view(utf8.data(), utf8.size()));
}

void AppendCents(std::string& out, std::int64_t cents) {
  if (cents < 0) {
    out += '-';
    cents = -cents;
  }
  AppendInteger(out, cents / 100);
  out += '.';
  out += static_cast<char>('0' + cents % 100 / 10);
  out += static_cast<char>('0' + cents % 10);
}

std::string ItemJson(const Item& item, std::string_view title) {
  std::string out;
  out.reserve(1400);
  out += '{';
  AppendRawField(out, "tkSpecialCampaignIdRateMap", "null");
  AppendIntegerField(out, "eventCreatorId", 0);
  AppendIntegerField(out, "rootCatId", item.rootCatId);
  AppendIntegerField(out, "leafCatId", item.leafCatId);
  AppendRawField(out, "debugInfo", "null");
  AppendIntegerField(out, "rootCatScore", 0);
  AppendStringField(out, "nick", item.nick);
  AppendIntegerField(out, "sellerId", static_cast<std::int64_t>(item.sellerId));
  AppendIntegerField(out, "userType", item.userType);
  AppendIntegerField(out, "ratesum", item.shopLevel);
  AppendStringField(out, "title", title);
  AppendIntegerField(out, "auctionId", static_cast<std::int64_t>(item.auctionId));
  AppendStringField(out, "pictUrl", item.pictUrl);
  AppendStringField(out, "auctionUrl", item.auctionUrl);
  AppendStringField(out, "shopTitle", item.shopTitle);
  AppendCentsField(out, "zkPrice", item.zkPriceCents);
  AppendCentsField(out, "reservePrice", item.reservePriceCents);
  AppendIntegerField(out, "biz30day", item.biz30day);
  AppendCentsField(out, "tkRate", item.tkRateHundredths);
  AppendCentsField(out, "tkCommFee", item.tkCommFeeCents);
  AppendIntegerField(out, "totalNum", item.totalNum);
  AppendCentsField(out, "totalFee", item.totalFeeCents);
  AppendRawField(out, "couponActivityId", "null");
  AppendIntegerField(out, "couponAmount", item.couponAmount);
  AppendCentsField(out, "couponStartFee", item.couponStartFeeCents);
  std::string couponInfo;
  if (item.couponAmount > 0) {
    couponInfo = "满" + std::to_string(item.couponStartFeeCents / 100) + "元减" +
                 std::to_string(item.couponAmount) + "元";
  }
  AppendStringField(out, "couponInfo", couponInfo);
  AppendIntegerField(out, "couponTotalCount", item.couponTotalCount);
  AppendIntegerField(out, "couponLeftCount", item.couponLeftCount);
  AppendStringField(out, "couponEffectiveStartTime", item.couponEffectiveStartTime);
  AppendStringField(out, "couponEffectiveEndTime", item.couponEffectiveEndTime);
  std::string couponLink;
  if (item.couponAmount > 0) {
    couponLink = "http://uland.sandbox.localhost/coupon/edetail?e=" +
                 std::to_string(item.auctionId % 1000000007) + "%3D%3D&traceId=0b0b" +
                 std::to_string(item.sellerId);
  }
  AppendStringField(out, "couponLink", couponLink);
  AppendRawField(out, "couponLinkTaoToken", "null");
  AppendRawField(out, "couponShortLink", "null");
  AppendIntegerField(out, "dayLeft", -1);
  AppendRawField(out, "eventRate", "null");
  AppendRawField(out, "hasRecommended", "null");
  AppendRawField(out, "hasSame", "null");
  AppendRawField(out, "hasUmpBonus", "null");
  AppendIntegerField(out, "includeDxjh", item.userType == 1 ? 1 : 0);
  AppendRawField(out, "isBizActivity", "null");
  AppendCentsField(out, "rlRate", 1500 + static_cast<std::int64_t>(item.sellerId % 2000));
  // Built by appending: GCC 12 warns falsely (-Wrestrict) about "-" + std::to_string(...).
  std::string sameItemPid = "-";
  sameItemPid += std::to_string(item.auctionId % 998244353);
  AppendStringField(out, "sameItemPid", sameItemPid);
  AppendRawField(out, "tkMktStatus", "null");
  AppendRawField(out, "tkFinalRate", "null");
  AppendRawField(out, "tkFinalFee", "null");
  AppendRawField(out, "umpBonus", "null");
  // A long tag list, as the platform sends; it gives pages their realistic size.
  std::string tags;
  for (std::uint64_t tag = item.auctionId % 97 + 1, i = 0; i < 28; ++i, tag = tag * 7 % 4093) {
    if (!tags.empty()) tags += ' ';
    tags += std::to_string(tag + 300);
  }
  AppendStringField(out, "auctionTag", tags);
  AppendField(out, "reserve");
  out += "null}";
  return out;
}

std::string SearchAnswerJson(const PageInfo& info, std::string_view searchUrl,
                             const std::vector<const std::string*>& itemJson,
                             std::size_t approxBytes) {
  std::string out;
  out.reserve(approxBytes + 1024);
  out += "{\"data\":";
  AppendHead(out, "OK", info, searchUrl);
  const std::int64_t offset = (info.page - 1) * info.perPageSize;
  const std::int64_t endIndex = std::min(offset + info.perPageSize, info.items);
  out += ",\"paginator\":{\"length\":";
  AppendInteger(out, info.perPageSize);
  out += ",\"offset\":";
  AppendInteger(out, offset);
  out += ",\"page\":";
  AppendInteger(out, info.page);
  out += ",\"beginIndex\":";
  AppendInteger(out, offset + 1);
  out += ",\"endIndex\":";
  AppendInteger(out, endIndex);
  out += ",\"items\":";
  AppendInteger(out, info.items);
  out += ",\"pages\":";
  AppendInteger(out, info.pages);
  out += ",\"itemsPerPage\":";
  AppendInteger(out, info.perPageSize);
  out += "},\"pageList\":[";
  for (std::size_t i = 0; i < itemJson.size(); ++i) {
    if (i > 0) out += ',';
    out += *itemJson[i];
  }
  out += "],\"navigator\":null,\"extraInfo\":null},";
  out += "\"info\":{\"message\":null,\"pvid\":\"sandbox-pvid\",\"ok\":true},";
  out += "\"ok\":true,\"invalidKey\":null}";
  return out;
}

std::string NotLoginAnswerJson(const PageInfo& info, std::string_view searchUrl) {
  std::string out = "{\"data\":";
  AppendHead(out, "NOT_LOGIN", info, searchUrl);
  out += ",\"paginator\":null,\"pageList\":null},";
  out += "\"info\":{\"message\":\"nologin\",\"ok\":false},\"ok\":false,\"invalidKey\":null}";
  return out;
}

}  // namespace corvane::sim
