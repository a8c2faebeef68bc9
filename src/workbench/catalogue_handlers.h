#pragma once
// The material catalogue's handlers on the tab "标准化BOM" of the BOM window. The
// catalogue lives in a subsystem above the workbench, so the window only knows this
// interface; the program gives the window its implementation when it makes the window.
#include "platform/ui.h"

namespace workbench {

class CatalogueHandlers {
 public:
  virtual ~CatalogueHandlers() = default;
  virtual void connectCatalogue() = 0;                        // "连接数据库"
  virtual void autoMatchAll() = 0;                            // "自动匹配"
  virtual void autoMatchRow() = 0;                            // double-click on a grid row
  virtual void pickCandidate() = 0;                           // double-click on a candidate
  virtual void searchBoxKeyDown(int keyCode) = 0;             // code, name and rating boxes
  virtual void valueBoxKeyDown(int keyCode) = 0;              // quantity and designator boxes
  virtual void searchBoxKeyUp(ui::TextBox& box, int keyCode) = 0;
  virtual void searchBoxGotFocus(ui::TextBox& box) = 0;
  virtual void clearButtonClicked() = 0;                      // "C"
  virtual void codeBoxDoubleClicked() = 0;                    // double-click on Text5
};

}  // namespace workbench
