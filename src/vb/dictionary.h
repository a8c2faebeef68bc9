#pragma once
// The keyed collection: keys compared exactly (letter case included), insertion order kept.
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "vb/variant.h"

namespace vb {

class Dictionary {
 public:
  bool exists(const std::string& key) const { return index_.count(key) != 0; }
  // Reading a missing key adds it with an empty value, as the original collection does.
  // The reference stays valid while further keys are added.
  Variant& item(const std::string& key);
  void put(const std::string& key, Variant value) { item(key) = std::move(value); }
  // Adding a key that exists is error 457.
  void add(const std::string& key, Variant value);
  void remove(const std::string& key);
  void removeAll() { index_.clear(); keys_.clear(); values_.clear(); removed_.clear(); }
  long count() const { return static_cast<long>(index_.size()); }
  // Keys in insertion order (removed keys left out).
  std::vector<std::string> keys() const;

 private:
  std::unordered_map<std::string, size_t> index_;
  std::vector<std::string> keys_;
  std::deque<Variant> values_;  // a deque, so item() references survive later adds
  std::vector<bool> removed_;
};

}  // namespace vb
