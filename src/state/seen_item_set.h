// The set of titles met in the current run: byte-exact text keys with text values, listed in
// the order they were added.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::state {

class SeenItemSet {
 public:
  // Adds the key; fails and changes nothing when it is already present.
  bool Add(std::string_view key, std::string_view value = {});
  bool Contains(std::string_view key) const;
  // Every key, in the order of adding.
  std::vector<std::string> Keys() const;
  void Remove(std::string_view key);
  void Clear();
  std::size_t Size() const;

 private:
  struct Entry {
    std::string value;
    std::size_t order;
  };
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
  std::size_t nextOrder_ = 0;
};

}  // namespace corvane::state
