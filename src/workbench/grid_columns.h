#pragma once
// The columns of the BOM grid, as the window is built with them: a material record's ten
// fields followed by the remark. The candidate list shows the first ten, the row preview
// the first seven; a standard BOM sheet holds the eleven in columns A to K.
namespace workbench {

struct GridColumn {
  const char* heading;
  int width;  // twips
};

inline constexpr GridColumn kGridColumns[] = {
    {"序号", 800},   {"物料编码", 1250}, {"物料名称", 1250}, {"物料规格", 2500}, {"单位", 750}, {"用量", 750},
    {"位号", 2500}, {"单价", 800},     {"供应商", 1000},   {"报价", 750},      {"备注", 2500},
};
inline constexpr int kGridColumnCount = 11;
inline constexpr int kRecordColumnCount = 10;  // a material record: 序号 to 报价
inline constexpr int kPreviewColumnCount = 7;  // the row preview: 序号 to 位号

// Cells of a grid row (0 the row's own text, 1... its sub-items).
enum GridCell {
  kNumberColumn = 0,   // 序号
  kCodeColumn = 1,     // 物料编码
  kNameColumn = 2,     // 物料名称
  kRatingColumn = 3,     // 物料规格
  kUnitColumn = 4,     // 单位
  kQuantityColumn = 5, // 用量
  kDesignatorColumn = 6, // 位号
  kPriceColumn = 7,    // 单价
  kSupplierColumn = 8, // 供应商
  kQuoteColumn = 9,    // 报价
  kRemarkColumn = 10,  // 备注
};

}  // namespace workbench
