#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ambervale {

// A dictionary with text keys that remembers the order in which keys were added, as the
// program's tables do. Keys compare exactly (case-sensitive). Adding a key invalidates
// references to values; look them up again after an insertion.
template <typename V>
class OrderedDict {
 public:
  using Entry = std::pair<std::string, V>;

  bool Contains(std::string_view key) const { return index_.count(std::string(key)) != 0; }

  // The value of `key`, or nullptr when absent.
  V* Find(std::string_view key) {
    auto it = index_.find(std::string(key));
    return it == index_.end() ? nullptr : &entries_[it->second].second;
  }
  const V* Find(std::string_view key) const {
    auto it = index_.find(std::string(key));
    return it == index_.end() ? nullptr : &entries_[it->second].second;
  }

  // The value of `key`, added at the end with a default value when absent.
  V& GetOrAdd(std::string_view key) {
    auto [it, added] = index_.emplace(std::string(key), entries_.size());
    if (added) entries_.emplace_back(std::string(key), V{});
    return entries_[it->second].second;
  }

  // Adds `key` with `value`; false (and no change) when the key exists.
  bool Add(std::string_view key, V value) {
    auto [it, added] = index_.emplace(std::string(key), entries_.size());
    if (!added) return false;
    entries_.emplace_back(std::string(key), std::move(value));
    return true;
  }

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() {
    entries_.clear();
    index_.clear();
  }

  // Entries in insertion order.
  auto begin() { return entries_.begin(); }
  auto end() { return entries_.end(); }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }
  const Entry& at(size_t i) const { return entries_[i]; }
  Entry& at(size_t i) { return entries_[i]; }

 private:
  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> index_;
};

}  // namespace ambervale
