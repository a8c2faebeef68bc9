#include "catalogue/material_catalogue.h"

#include "vb/convert.h"
#include "vb/text.h"

namespace catalogue {

namespace {

constexpr std::string_view kOmega = "\u03A9", kMu = "\u03BC";

uint8_t packagesIn(std::string_view key) {
  uint8_t bits = 0;
  for (size_t k = 0; k < kPackageCodes.size(); ++k)
    if (key.find(kPackageCodes[k]) != std::string_view::npos) bits |= static_cast<uint8_t>(1u << k);
  return bits;
}

}  // namespace

std::string unitSymbolFold(std::string_view text) {
  if (vb::contains(text, kOmega)) return vb::replace(text, kOmega, "R");
  if (vb::contains(text, kMu)) return vb::replace(text, kMu, "U");
  return std::string(text);
}

void MaterialCatalogue::replace(std::vector<MaterialRecord> entries) {
  using namespace workbench;
  std::vector<EntryKeys> keys(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    EntryKeys& e = keys[k];
    for (int f = 0; f < kRecordFields; ++f) e.texts[static_cast<size_t>(f)] = vb::displayText(entries[k].cells[static_cast<size_t>(f)]);
    const std::string& name = e.texts[kNameColumn];
    const std::string& rating = e.texts[kRatingColumn];
    e.upperCode = vb::ucase(e.texts[kCodeColumn]);
    e.upperName = vb::ucase(name);
    e.upperFoldedRating = vb::ucase(unitSymbolFold(rating));
    e.bulkKey = unitSymbolFold(name + rating);
    e.upperBulkKey = vb::ucase(e.bulkKey);
    e.rowKey = unitSymbolFold(rating + rating);
    e.markedRowKey = vb::ucase("@" + e.rowKey);
    e.bulkPackages = packagesIn(e.bulkKey);
    e.rowPackages = packagesIn(e.rowKey);
  }
  entries_ = std::move(entries);
  keys_ = std::move(keys);
  bulk_ = {};
  for (const EntryKeys& e : keys_) {
    bulk_.packages.push_back(e.bulkPackages);
    bulk_.keys.emplace_back(e.bulkKey);
    bulk_.upperKeys.emplace_back(e.upperBulkKey);
  }
}

}  // namespace catalogue
