#include "state/seen_item_set.h"

#include <algorithm>

namespace corvane::state {

bool SeenItemSet::Add(std::string_view key, std::string_view value) {
  std::lock_guard lock(mutex_);
  return entries_.try_emplace(std::string(key), Entry{std::string(value), nextOrder_++}).second;
}

bool SeenItemSet::Contains(std::string_view key) const {
  std::lock_guard lock(mutex_);
  return entries_.contains(std::string(key));
}

std::vector<std::string> SeenItemSet::Keys() const {
  std::vector<std::pair<std::size_t, std::string>> ordered;
  {
    std::lock_guard lock(mutex_);
    ordered.reserve(entries_.size());
    for (const auto& [key, entry] : entries_) ordered.emplace_back(entry.order, key);
  }
  std::sort(ordered.begin(), ordered.end());
  std::vector<std::string> keys;
  keys.reserve(ordered.size());
  for (auto& [order, key] : ordered) keys.push_back(std::move(key));
  return keys;
}

void SeenItemSet::Remove(std::string_view key) {
  std::lock_guard lock(mutex_);
  entries_.erase(std::string(key));
}

void SeenItemSet::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

std::size_t SeenItemSet::Size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

}  // namespace corvane::state
