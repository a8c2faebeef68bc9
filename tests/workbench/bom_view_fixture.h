#pragma once
// The BOM workbench opened from the toolbar, for tests that drive it through its events.
#include "support/program_fixture.h"
#include "workbench/bom_view.h"

namespace testing_support {

class BomViewTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    click(tool().command7);  // the toolbar's "BOM"
    w = static_cast<workbench::BomView*>(program->existing("BOM_View"));
  }
  ui::ListView& grid() { return w->bomGrid(); }

  workbench::BomView* w = nullptr;
};

}  // namespace testing_support
