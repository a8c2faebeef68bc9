#pragma once
// The BOM workbench window "BOM_View". Its tabs and grids come with the workbench; the
// window already exists, opens from the toolbar and returns to it when closed.
#include "platform/ui.h"
#include "platform/windows.h"

namespace workbench {

class BomView : public ui::Window {
 public:
  static constexpr const char* kName = "BOM_View";
  explicit BomView(platform::WindowHost& host);
  // A close request is refused: the new-row flag goes back to 0, the window hides and
  // the toolbar is shown again.
  void queryClose() override;

  int newRowFlag = 0;  // NewRowFlag

 private:
  platform::WindowHost& host_;
};

}  // namespace workbench
