// Generation of the synthetic catalogue. Every figure comes from a small counter-based
// generator seeded by a hash of the keyword, so lists are reproducible across runs.
#include "sim/catalogue.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_set>
#include <utility>

#include "sim/answer_json.h"
#include "text/charset.h"

namespace corvane::sim {

namespace {

// FNV-1a: a stable hash of the keyword bytes (std::hash may differ between libraries).
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed = 0xcbf29ce484222325ULL) {
  std::uint64_t hash = seed;
  for (const unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

// splitmix64: tiny, fast and good enough to make figures look varied.
class Generator {
 public:
  explicit Generator(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n), n > 0.
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }
  // Uniform in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(high - low + 1)));
  }
  // True with the given chance in percent.
  bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& choices) {
    return choices[Below(N)];
  }

 private:
  std::uint64_t state_;
};

using Words = std::array<std::string_view, 16>;

constexpr Words kPrefixes = {"2026新款", "夏季", "秋冬",     "韩版",  "ins风", "网红",
                             "官方正品", "日系", "法式复古", "加厚",  "轻奢",  "爆款",
                             "原创设计", "高端", "简约",     "北欧风"};
constexpr Words kSuffixes = {"女",   "男",   "女士", "男士", "儿童", "学生", "情侣款", "宽松",
                             "显瘦", "大码", "百搭", "套装", "家用", "便携", "多功能", "加绒"};
// Modifiers: some hold "%" (a collector must not read it as an escape), one holds ASCII
// quotes (the JSON must escape them), several hold words of the filter keyword list.
constexpr std::array<std::string_view, 24> kModifiers = {
    "包邮",     "送运费险",   "100%纯棉",         "买2件减10%", "95%棉",
    "正品保证", "七天无理由", "清仓特价",         "明星同款",   "专柜代购",
    "尾货处理", "diy手工",    "【\"正品\"保障】", "现货速发",   "限时折扣",
    "官方直营", "九成新二手", "新品首发",         "高品质",     "工厂直销",
    "加厚款",   "第2件半价",  "满99减20",         "顺丰包邮"};
constexpr std::array<std::string_view, 16> kCategories = {
    "T恤",    "连衣裙", "卫衣", "牛仔裤", "运动鞋", "双肩包",   "保温杯", "蓝牙耳机",
    "手机壳", "面膜",   "口红", "四件套", "收纳盒", "电动牙刷", "猫粮",   "羽绒服"};
constexpr std::array<std::string_view, 16> kSyllables = {
    "优", "米", "禾", "森", "悦", "嘉", "朵", "莱", "宜", "品", "尚", "源", "星", "谷", "木", "澜"};
constexpr std::array<int, 6> kRootCategories = {16, 30, 1801, 50008165, 50002766, 50016348};
constexpr std::array<int, 7> kCouponAmounts = {3, 5, 10, 20, 30, 50, 100};
constexpr std::array<int, 6> kCouponCounts = {1000, 5000, 10000, 20000, 50000, 100000};
constexpr std::array<int, 7> kCentEndings = {0, 0, 0, 90, 99, 50, 80};

constexpr std::size_t kSharedPoolSize = 200;
constexpr std::size_t kMaxKeywordBytes = 256;

std::string Digits(std::uint64_t value) {
  return std::to_string(value);
}

std::string TwoDigits(int value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string MakeTitle(Generator& generator, std::string_view keyword) {
  std::string title(generator.Pick(kPrefixes));
  title += keyword.empty() ? generator.Pick(kCategories) : keyword;
  title += generator.Pick(kSuffixes);
  const std::size_t modifierCount = 1 + generator.Below(2);
  for (std::size_t i = 0; i < modifierCount; ++i) {
    if (generator.Chance(30)) title += ' ';
    title += generator.Pick(kModifiers);
  }
  return title;
}

// A title not yet in `taken`; after a few tries a style letter makes it unique.
std::string MakeUniqueTitle(Generator& generator, std::string_view keyword,
                            std::unordered_set<std::string>& taken) {
  std::string title;
  for (int attempt = 0; attempt < 16; ++attempt) {
    title = MakeTitle(generator, keyword);
    if (taken.insert(title).second) return title;
  }
  for (int style = 1;; ++style) {
    std::string styled = title + " " + std::to_string(style) + "号款";
    if (taken.insert(styled).second) return styled;
  }
}

std::string ShopName(Generator& generator) {
  return std::string(generator.Pick(kSyllables)) + std::string(generator.Pick(kSyllables));
}

// Everything but the id and the title.
void FillAttributes(Generator& generator, Item& item) {
  item.userType = generator.Chance(40) ? 1 : 0;
  item.shopLevel = static_cast<int>(generator.Between(1, 20));
  const std::string shop = ShopName(generator);
  if (item.userType == 1) {
    static constexpr std::array<std::string_view, 3> kTmall = {"旗舰店", "官方旗舰店", "专卖店"};
    item.shopTitle = shop + std::string(generator.Pick(kTmall));
    item.nick = item.shopTitle;
  } else {
    static constexpr std::array<std::string_view, 4> kTaobao = {"小店", "的店", "工作室", "百货"};
    item.shopTitle = shop + std::string(generator.Pick(kTaobao));
    item.nick = generator.Chance(50) ? "tb" + Digits(generator.Between(10000000, 99999999))
                                     : "小" + shop + Digits(generator.Between(1, 999));
  }
  item.sellerId = static_cast<std::uint64_t>(generator.Between(1000000000, 3199999999));

  const int band = static_cast<int>(generator.Below(100));
  const std::int64_t yuan = band < 15   ? generator.Between(5, 29)
                            : band < 70 ? generator.Between(30, 299)
                            : band < 92 ? generator.Between(300, 888)
                                        : generator.Between(889, 2999);
  item.zkPriceCents = yuan * 100 + generator.Pick(kCentEndings);
  item.reservePriceCents =
      (item.zkPriceCents * (100 + generator.Between(0, 150)) / 100 + 99) / 100 * 100;

  const int rateBand = static_cast<int>(generator.Below(100));
  if (rateBand < 25) {
    item.tkRateHundredths = 150 + static_cast<int>(generator.Below(170)) * 5;
  } else if (rateBand < 50) {
    item.tkRateHundredths = 1000 + static_cast<int>(generator.Below(20)) * 50;
  } else {
    item.tkRateHundredths = 2000 + static_cast<int>(generator.Below(61)) * 50;
  }
  if (generator.Chance(10)) item.tkRateHundredths += static_cast<int>(generator.Below(50));
  item.tkCommFeeCents = (item.zkPriceCents * item.tkRateHundredths + 5000) / 10000;

  if (generator.Chance(8)) {
    item.biz30day = static_cast<int>(generator.Below(5));
  } else {
    std::int64_t magnitude = 1;
    for (std::uint64_t m = generator.Below(5); m > 0; --m) magnitude *= 10;
    item.biz30day = static_cast<int>(5 + generator.Between(magnitude, magnitude * 10 - 1));
  }
  item.totalNum = static_cast<int>(item.biz30day * generator.Between(5, 60) / 100);
  item.totalFeeCents = item.totalNum * item.tkCommFeeCents * generator.Between(70, 100) / 100;

  const int amount = generator.Pick(kCouponAmounts);
  if (generator.Chance(60) && amount * 200 <= item.zkPriceCents) {
    item.couponAmount = amount;
    item.couponStartFeeCents = std::max<std::int64_t>(amount + 1, yuan / 10 * 10) * 100;
    item.couponTotalCount = generator.Pick(kCouponCounts);
    item.couponLeftCount = static_cast<int>(generator.Between(0, item.couponTotalCount));
    const int startDay = static_cast<int>(generator.Between(1, 20));
    item.couponEffectiveStartTime = "2026-12-" + TwoDigits(startDay);
    const int endDay = startDay + static_cast<int>(generator.Between(7, 30));
    item.couponEffectiveEndTime =
        endDay <= 31 ? "2026-12-" + TwoDigits(endDay) : "2027-01-" + TwoDigits(endDay - 31);
  }

  item.rootCatId = generator.Pick(kRootCategories);
  item.leafCatId = static_cast<int>(generator.Between(50010000, 50099999));
}

// Links and pictures; some links carry percent escapes as the platform's tracking links do.
void FillLinks(Generator& generator, Item& item) {
  const std::string id = Digits(item.auctionId);
  item.auctionUrl = "http://item.sandbox.localhost/item.htm?id=" + id;
  if (generator.Chance(18)) {
    item.auctionUrl += "&spm=a219t.11817059%2F" + Digits(generator.Between(1, 99)) + ".0";
  }
  if (generator.Chance(10)) {
    item.auctionUrl += "&ali_trackid=2%3Amm_" + Digits(generator.Between(10000000, 99999999)) +
                       "_" + Digits(generator.Between(1000000, 9999999)) + "%3A" +
                       Digits(generator.Between(1000000000, 1999999999));
  }
  char hash[16];
  std::snprintf(hash, sizeof hash, "%012llx",
                static_cast<unsigned long long>(generator.Next() & 0xffffffffffffULL));
  item.pictUrl = "http://img.sandbox.localhost/bao/uploaded/i" + Digits(generator.Between(1, 4)) +
                 "/" + Digits(item.sellerId) + "/O1CN01" + hash + "_!!" + Digits(item.sellerId) +
                 ".jpg";
}

std::vector<Item> MakeSharedPool() {
  Generator generator(0x5a4e5d9001ULL);
  std::unordered_set<std::string> taken;
  std::vector<Item> pool(kSharedPoolSize);
  for (std::size_t i = 0; i < pool.size(); ++i) {
    Item& item = pool[i];
    item.auctionId = 600000000000ULL + i * 7919ULL + 17;
    item.title = MakeUniqueTitle(generator, "", taken);
    FillAttributes(generator, item);
    // Bestsellers sell well and pay well, so they survive the usual filters.
    if (i < kBestsellerCount) {
      item.biz30day = 20000 + static_cast<int>(i) * 1357;
      item.totalNum = item.biz30day / 4;
      item.tkRateHundredths = 3000 + static_cast<int>(i) * 150;
      item.zkPriceCents = 5900 + static_cast<std::int64_t>(i) * 2000;
      item.tkCommFeeCents = (item.zkPriceCents * item.tkRateHundredths + 5000) / 10000;
      item.totalFeeCents = item.totalNum * item.tkCommFeeCents * 9 / 10;
      item.shopLevel = 12 + static_cast<int>(i);
    }
    FillLinks(generator, item);
    item.shared = true;
  }
  return pool;
}

std::size_t ItemBytes(const Item& item, const std::string& json) {
  return sizeof(Item) + item.title.size() + item.shopTitle.size() + item.nick.size() +
         item.auctionUrl.size() + item.pictUrl.size() + 64 + json.size() + sizeof(std::string);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool SearchFilters::Accepts(const Item& item) const {
  if (minTkRateHundredths && item.tkRateHundredths < *minTkRateHundredths) return false;
  if (minBiz30day && item.biz30day < *minBiz30day) return false;
  if (minPriceCents && item.zkPriceCents < *minPriceCents) return false;
  if (maxPriceCents && item.zkPriceCents > *maxPriceCents) return false;
  if (minShopLevel > 0 && item.shopLevel < minShopLevel) return false;
  if (userType && item.userType != *userType) return false;
  return true;
}

std::string NormaliseKeyword(std::string_view keyword) {
  std::string utf8 = text::IsValidUtf8(keyword) ? std::string(keyword) : text::Cp936ToUtf8(keyword);
  std::string_view view = utf8;
  constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
  for (bool trimmed = true; trimmed;) {
    trimmed = false;
    if (StartsWith(view, " ") || StartsWith(view, "\t")) {
      view.remove_prefix(1);
      trimmed = true;
    } else if (StartsWith(view, kFullWidthSpace)) {
      view.remove_prefix(kFullWidthSpace.size());
      trimmed = true;
    }
    if (view.ends_with(' ') || view.ends_with('\t')) {
      view.remove_suffix(1);
      trimmed = true;
    } else if (view.ends_with(kFullWidthSpace)) {
      view.remove_suffix(kFullWidthSpace.size());
      trimmed = true;
    }
  }
  if (view.size() > kMaxKeywordBytes) {
    std::size_t cut = kMaxKeywordBytes;
    while (cut > 0 && (static_cast<unsigned char>(view[cut]) & 0xC0) == 0x80) --cut;
    view = view.substr(0, cut);
  }
  return std::string(view);
}

std::string HighlightTitle(std::string_view title, std::string_view keyword) {
  if (keyword.empty()) return std::string(title);
  std::string out;
  out.reserve(title.size() + 32);
  std::size_t from = 0;
  for (std::size_t at = title.find(keyword); at != std::string_view::npos;
       at = title.find(keyword, from)) {
    out.append(title, from, at - from);
    out += "<span class=H>";
    out.append(keyword);
    out += "</span>";
    from = at + keyword.size();
  }
  out.append(title, from);
  return out;
}

const std::vector<Item>& SharedPool() {
  static const std::vector<Item> pool = MakeSharedPool();
  return pool;
}

std::shared_ptr<const KeywordItems> BuildKeywordItems(std::string_view rawKeyword) {
  auto result = std::make_shared<KeywordItems>();
  result->keyword = NormaliseKeyword(rawKeyword);
  const std::string& keyword = result->keyword;
  const std::uint64_t seed = HashBytes(keyword);
  Generator generator(seed ^ 0x6b657977ULL);

  const std::size_t count = 30 + generator.Below(371);
  const std::vector<Item>& pool = SharedPool();
  std::vector<Item>& items = result->items;
  items.reserve(count);
  for (std::size_t i = 0; i < kBestsellerCount; ++i) items.push_back(pool[i]);
  const std::size_t sharedExtra = count / 8;
  std::unordered_set<std::size_t> chosen;
  while (chosen.size() < sharedExtra) {
    const std::size_t index = kBestsellerCount + generator.Below(pool.size() - kBestsellerCount);
    if (chosen.insert(index).second) items.push_back(pool[index]);
  }
  // Own titles never equal a pool title, so only pool items recur across keywords by design.
  std::unordered_set<std::string> taken;
  for (const Item& item : pool) taken.insert(item.title);

  // Own items; about 3 in 100 repeat an earlier own title from another shop.
  const std::size_t ownBegin = items.size();
  for (std::size_t n = 0; items.size() < count; ++n) {
    Item item;
    item.auctionId = 520000000000ULL + (HashBytes(std::to_string(n), seed) % 79000000000ULL);
    const std::size_t ownSoFar = items.size() - ownBegin;
    if (ownSoFar >= 5 && generator.Chance(3)) {
      item.title = items[ownBegin + generator.Below(ownSoFar)].title;
    } else {
      item.title = MakeUniqueTitle(generator, keyword, taken);
    }
    FillAttributes(generator, item);
    FillLinks(generator, item);
    items.push_back(std::move(item));
  }

  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    return a.totalNum != b.totalNum ? a.totalNum > b.totalNum : a.auctionId < b.auctionId;
  });
  result->itemJson.reserve(items.size());
  result->bytes = sizeof(KeywordItems) + keyword.size();
  for (const Item& item : items) {
    result->itemJson.push_back(ItemJson(item, HighlightTitle(item.title, keyword)));
    result->bytes += ItemBytes(item, result->itemJson.back());
  }
  return result;
}

std::shared_ptr<const KeywordItems> Catalogue::ItemsFor(std::string_view rawKeyword) {
  const std::string keyword = NormaliseKeyword(rawKeyword);
  {
    std::lock_guard lock(mutex_);
    if (auto found = entries_.find(keyword); found != entries_.end()) return found->second;
  }
  // Built outside the lock: another thread may build the same list meanwhile, which only
  // costs time, since the lists are deterministic.
  std::shared_ptr<const KeywordItems> built = BuildKeywordItems(keyword);
  std::lock_guard lock(mutex_);
  auto [entry, inserted] = entries_.emplace(keyword, built);
  if (!inserted) return entry->second;
  order_.push_back(keyword);
  bytes_ += built->bytes;
  while (bytes_ > maxBytes_ && order_.size() > 1) {
    auto oldest = entries_.find(order_.front());
    bytes_ -= oldest->second->bytes;
    entries_.erase(oldest);
    order_.pop_front();
  }
  return built;
}

}  // namespace corvane::sim
