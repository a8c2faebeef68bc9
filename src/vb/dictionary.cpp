#include "vb/dictionary.h"

#include "vb/error.h"

namespace vb {

Variant& Dictionary::item(const std::string& key) {
  auto it = index_.find(key);
  if (it != index_.end()) return values_[it->second];
  index_.emplace(key, values_.size());
  keys_.push_back(key);
  values_.emplace_back();
  removed_.push_back(false);
  return values_.back();
}

void Dictionary::add(const std::string& key, Variant value) {
  if (exists(key)) raise(kKeyExists);
  item(key) = std::move(value);
}

void Dictionary::remove(const std::string& key) {
  auto it = index_.find(key);
  if (it == index_.end()) raise(32811, "Element not found");
  removed_[it->second] = true;
  index_.erase(it);
}

std::vector<std::string> Dictionary::keys() const {
  std::vector<std::string> out;
  for (size_t i = 0; i < keys_.size(); ++i)
    if (!removed_[i]) out.push_back(keys_[i]);
  return out;
}

}  // namespace vb
