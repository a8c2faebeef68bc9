#include "workbench/bom_view.h"

namespace workbench {

void BomView::gridRowClicked() {}
void BomView::appendRow() {}
void BomView::removeCurrentRow() {}
void BomView::restoreColumnWidths() {}
void BomView::importBom() {}
void BomView::exportStandardBom() {}
void BomView::placeSearchBoxes() {}
void BomView::showInPreview(int) {}

}  // namespace workbench
