// The sandbox's synthetic item catalogue: for every keyword a fixed list of items, made from
// the keyword alone (no clock, no randomness), so the same search always gives the same items.
// A keyword's list mixes items of its own with items of a shared pool that recur under many
// keywords with the same title, and a few copies of its own titles sold by other shops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::sim {

// One promotable item. Money is held in cents and the commission rate in hundredths of a
// percent, so every figure prints exactly with two decimals ("5.50", "56.00").
struct Item {
  std::uint64_t auctionId = 0;
  std::string title;  // UTF-8, without highlight markup
  std::string shopTitle;
  std::string nick;
  std::uint64_t sellerId = 0;
  int userType = 0;   // 0 Taobao, 1 Tmall
  int shopLevel = 1;  // 1..20, what startRatesum filters on
  std::int64_t zkPriceCents = 0;
  std::int64_t reservePriceCents = 0;
  int tkRateHundredths = 0;  // commission rate, 550 = 5.50 %
  std::int64_t tkCommFeeCents = 0;
  int biz30day = 0;  // 30-day sales
  int totalNum = 0;  // 30-day promotion count
  std::int64_t totalFeeCents = 0;
  int couponAmount = 0;  // yuan; 0 = no coupon
  std::int64_t couponStartFeeCents = 0;
  int couponTotalCount = 0;
  int couponLeftCount = 0;
  std::string couponEffectiveStartTime;  // "2026-12-01", empty without coupon
  std::string couponEffectiveEndTime;
  int rootCatId = 0;
  int leafCatId = 0;
  std::string auctionUrl;
  std::string pictUrl;
  bool shared = false;  // from the shared pool: recurs under other keywords
};

// The query's filters, already read from their texts; an absent value filters nothing.
struct SearchFilters {
  std::optional<int> minTkRateHundredths;     // startTkRate
  std::optional<std::int64_t> minBiz30day;    // startBiz30day
  std::optional<std::int64_t> minPriceCents;  // startPrice, on zkPrice
  std::optional<std::int64_t> maxPriceCents;  // endPrice, on zkPrice
  int minShopLevel = 0;                       // startRatesum, 0 = any
  std::optional<int> userType;                // user_type

  bool Accepts(const Item& item) const;
};

// The items of one keyword in answer order (30-day promotion count, highest first), each
// with its answer object already written as JSON text (title highlighted for this keyword).
struct KeywordItems {
  std::string keyword;  // UTF-8, as used for the items
  std::vector<Item> items;
  std::vector<std::string> itemJson;  // itemJson[i] is the object text of items[i]
  std::size_t bytes = 0;              // rough memory held, for the cache bound
};

// The keyword as the catalogue uses it: surrounding ASCII and full-width spaces dropped, a
// text that is not UTF-8 read as CP936, and at most 256 bytes (cut on a character boundary).
std::string NormaliseKeyword(std::string_view keyword);

// Builds the items of a keyword (normalised first) from scratch. Deterministic.
std::shared_ptr<const KeywordItems> BuildKeywordItems(std::string_view keyword);

// The items of the shared pool. Every keyword's list holds some of them, and the first
// kBestsellerCount under every keyword.
const std::vector<Item>& SharedPool();
inline constexpr std::size_t kBestsellerCount = 6;

// Wraps every occurrence of `keyword` in `title` in <span class=H>...</span>.
std::string HighlightTitle(std::string_view title, std::string_view keyword);

// Thread-safe cache of built keyword lists, bounded in memory (oldest dropped first).
class Catalogue {
 public:
  explicit Catalogue(std::size_t maxBytes = std::size_t{64} << 20) : maxBytes_(maxBytes) {}

  std::shared_ptr<const KeywordItems> ItemsFor(std::string_view keyword);

 private:
  std::size_t maxBytes_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const KeywordItems>> entries_;
  std::deque<std::string> order_;  // keys, oldest first
  std::size_t bytes_ = 0;
};

}  // namespace corvane::sim
