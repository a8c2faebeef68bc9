#include "assistant/router_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"

namespace {

namespace pads = platform::pads;
using assistant::RouterWindow;
using testing_support::runDesign;
using Log = std::vector<std::string>;

class RouterWindowTest : public testing_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    click(tool().helper);
    decal = static_cast<assistant::DecalWindow*>(program->existing(assistant::DecalWindow::kName));
    pick(decal->combo2, "Router");
    w = static_cast<RouterWindow*>(program->existing(RouterWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  std::shared_ptr<sim::SimPads> router(const std::string& json) {
    return runDesign(world, dir, pads::kRouterProgId, json);
  }
  void select(ui::ListBox& list, int row) {
    program->dispatch([&] { list.userSelect({row}); });
  }
  testing_support::ScratchDir dir{"router"};
  assistant::DecalWindow* decal = nullptr;
  RouterWindow* w = nullptr;
};

TEST_F(RouterWindowTest, WithoutPadsRouterEveryAttachIsAnUntrappedError) {
  click(w->label1);
  click(w->check1);
  click(w->check2);  // also with an empty chosen list
  EXPECT_EQ(messages().size(), 3u);
  for (const std::string& m : messages()) EXPECT_NE(m.find("429"), std::string::npos) << m;
  // Select Routing with an empty chosen list never attaches: it only clears its box.
  click(w->check7);
  EXPECT_EQ(messages().size(), 3u);
  EXPECT_FALSE(w->check7.checked());
}

TEST_F(RouterWindowTest, LoadCountsAndEmptyDesigns) {
  auto app = router(R"({"name": "r.pcb", "parts": [{"name": "U1"}], "nets": []})");
  click(w->label1);
  EXPECT_EQ(w->label5.caption(), "1");
  app->openDocument(dir.write("empty.json", R"({"name": "e.pcb"})"));
  click(w->label1);  // no parts: the count keeps its text
  EXPECT_EQ(w->list1.listCount(), 0);
  EXPECT_EQ(w->label5.caption(), "1");
  click(w->label2);  // no nets: the list's count, 0
  EXPECT_EQ(w->label5.caption(), "0");
  EXPECT_EQ(w->routeMode, "Net");
}

TEST_F(RouterWindowTest, ChosenClickScalesByTheAssistantsBoxAndANameGoneIsAnError) {
  auto app = router(R"({"name": "r.pcb", "parts": [{"name": "U1"}, {"name": "R1"}]})");
  click(w->label1);
  click(w->check6);
  select(w->list1, 1);
  select(w->list1, 0);
  decal->text2.setText("abc");
  app->takeLog();
  select(w->list2, 0);
  EXPECT_EQ(app->takeLog(), (Log{"SelectObjects , , False", "R1.Selected True", "SetExtentsToSelection", "SetScale 0",
                                 "Router.Route", "Refresh"}));
  // The design changes under the lists: the name is no longer there.
  app->openDocument(dir.write("other.json", R"({"name": "o.pcb", "parts": [{"name": "U1"}]})"));
  select(w->list2, 0);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("91"), std::string::npos);
}

TEST_F(RouterWindowTest, AddCollectsEveryClickAndClearingItEmptiesTheChosenList) {
  router(R"({"name": "r.pcb", "parts": [{"name": "U1"}]})");
  click(w->label1);
  click(w->check6);
  select(w->list1, 0);
  select(w->list1, 0);
  EXPECT_EQ(w->list2.listCount(), 2);
  click(w->check6);
  EXPECT_EQ(w->list2.listCount(), 0);
}

}  // namespace
