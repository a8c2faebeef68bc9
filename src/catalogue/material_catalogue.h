#pragma once
// The material catalogue in memory: one MaterialRecord per catalogue row, its ten cells
// as the block read gave them, plus the texts the searches compare, made once per load.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vb/variant.h"
#include "workbench/grid_columns.h"

namespace catalogue {

inline constexpr int kRecordFields = workbench::kRecordColumnCount;  // 序号 to 报价, columns A to J

// One catalogue entry: the raw typed cell values of columns A to J, in the grid's column
// order (workbench::kCodeColumn is 物料编码, ...).
struct MaterialRecord {
  std::array<vb::Variant, kRecordFields> cells;
};

// UnitSymbolFold: every "Ω" becomes "R" when the text holds one; otherwise every "μ"
// becomes "U". Other look-alikes (U+2126, U+00B5) stay.
std::string unitSymbolFold(std::string_view text);

// The package codes of the automatic matching, in the order they are tried.
inline constexpr std::array<std::string_view, 4> kPackageCodes{"0402", "0603", "0805", "1206"};

// What the searches compare of one entry, as texts.
struct EntryKeys {
  std::array<std::string, kRecordFields> texts;  // what the cells show ("#N/A" for an error)
  std::string upperCode, upperName, upperFoldedRating;  // the search boxes' fields
  std::string bulkKey, upperBulkKey;    // folded 物料名称 + 物料规格
  std::string rowKey, markedRowKey;     // folded 物料规格 + 物料规格; "@" + its upper case
  uint8_t bulkPackages = 0;             // bit k: bulkKey holds kPackageCodes[k]
  uint8_t rowPackages = 0;              // bit k: rowKey holds kPackageCodes[k]
};

// MaterialCatalogue: no table before the first successful read; then the entries of the
// last read, replaced whole by the next one.
class MaterialCatalogue {
 public:
  bool loaded() const { return entries_.has_value(); }
  size_t size() const { return entries_ ? entries_->size() : 0; }
  const MaterialRecord& record(size_t k) const { return (*entries_)[k]; }
  const EntryKeys& keys(size_t k) const { return keys_[k]; }
  void replace(std::vector<MaterialRecord> entries);

  // The bulk match's keys side by side, so a run over the whole catalogue reads only them.
  struct BulkKeys {
    std::vector<uint8_t> packages;
    std::vector<std::string_view> keys, upperKeys;
  };
  const BulkKeys& bulkKeys() const { return bulk_; }

 private:
  std::optional<std::vector<MaterialRecord>> entries_;
  std::vector<EntryKeys> keys_;
  BulkKeys bulk_;
};

}  // namespace catalogue
