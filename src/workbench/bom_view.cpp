#include "workbench/bom_view.h"

namespace workbench {

BomView::BomView(platform::WindowHost& host) : ui::Window(kName, "BOM"), host_(host) {
  setClientSize(15000, 9000);
  move(1500, 1500);
}

void BomView::queryClose() {
  newRowFlag = 0;
  host_.hideAndReturn(*this, "Tool");
}

}  // namespace workbench
