#include "assistant/label_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assistant/decal_window.h"
#include "sim/design_file_io.h"
#include "support/pads_designs.h"
#include "support/program_fixture.h"
#include "support/scratch_dir.h"

namespace {

namespace pads = platform::pads;
using assistant::LabelWindow;
using testing_support::runDesign;

TEST(LabelOffset, FirstMatchingRowOfTheTable) {
  struct Case {
    std::optional<int> layer;
    std::optional<double> orientation;
    std::optional<long> pins;
    double dx, dy;
  };
  const Case cases[] = {
      {1, 0, 2, 5, 2.5},    {2, 90, 2, -2.5, -5},  {1, 180, 2, 5, 2.5},  {1, 180, 8, -6, -2},
      {1, 180, 1, -3, 0},   {2, 270, 3, 2, 3},     {2, 180, 3, 6.5, -2}, {1, 270, 14, 2, -6},
      {1, 45, 2, 1.5, 5},   {2, 45, 2, 1, -4},     {2, 200, 2, -2, 5},   {1, 300, 2, 4.5, -1.5},
      {1, 360, 2, 5, 2.5},  {2, 360, 2, -5, 2.5},  {1, -90, 2, -3, 0},   {1, 450, 2, -3, 0},
      // A layer or orientation that could not be read meets the first row.
      {std::nullopt, 180, 2, 1, -4}, {1, std::nullopt, 2, 1, -4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.layer.value_or(-1) << " " << c.orientation.value_or(-1) << " "
                                      << c.pins.value_or(-1));
    assistant::LabelOffset o = assistant::labelOffset(c.layer, c.orientation, c.pins);
    EXPECT_EQ(o.dx, c.dx);
    EXPECT_EQ(o.dy, c.dy);
  }
}

TEST(LabelOrientation, PinRowsFirstThenTheBottomLayerMirror) {
  using P = assistant::PinPlace;
  const P a{0, 0}, b{10, 5}, sameY{10, 0}, sameX{0, 7};
  EXPECT_EQ(assistant::labelOrientation(a, a, 1, 30), 90);  // one pin
  EXPECT_EQ(assistant::labelOrientation(a, sameX, 2, 45), 90);
  EXPECT_EQ(assistant::labelOrientation(a, sameY, 2, 45), 0);
  EXPECT_EQ(assistant::labelOrientation(std::nullopt, b, 1, 45), 90);  // no pins
  EXPECT_EQ(assistant::labelOrientation(a, b, 1, 45), 45);
  EXPECT_EQ(assistant::labelOrientation(a, b, 2, 45), 135);
  EXPECT_EQ(assistant::labelOrientation(a, b, 2, 120), 60);
  EXPECT_EQ(assistant::labelOrientation(a, b, 2, 200), 340);
  EXPECT_EQ(assistant::labelOrientation(a, b, 2, 300), 240);
  EXPECT_EQ(assistant::labelOrientation(a, b, 2, 90), 90);
  EXPECT_EQ(assistant::labelOrientation(a, b, 1, 200), 200);
  EXPECT_EQ(assistant::labelOrientation(a, b, 1, std::nullopt), std::nullopt);
}

const char* const kLayout = R"({"name": "a.pcb", "unit": "Inch", "layers": {"1": "Top", "2": "Bottom"}, "parts": [
    {"name": "R1", "layer": 1, "orientation": 0, "centerX": 100, "centerY": 50, "selected": true,
     "pins": [{"name": "1", "x": 90, "y": 50}, {"name": "2", "x": 110, "y": 50}],
     "labels": [{"kind": "Value", "rightReading": 1}, {"kind": "Ref.Des.", "rightReading": 1, "display": 1},
                {"kind": "Ref.Des.", "x": 7, "display": 1}]},
    {"name": "U1", "layer": 2, "orientation": 200, "centerX": 0, "centerY": 0, "selected": true,
     "pins": [{"name": "1", "x": 0, "y": 0}, {"name": "8", "x": 30, "y": 20}],
     "labels": [{"kind": "Ref.Des."}]},
    {"name": "C1", "layer": 1, "selected": true, "pins": 2, "labels": [{"kind": "Value"}]},
    {"name": "C2", "layer": 1, "selected": true, "pins": 2},
    {"name": "C3", "layer": 1, "centerX": 9, "pins": 2, "labels": [{"kind": "Ref.Des.", "x": 3}]}]})";

const char* const kLogic = R"({"name": "a.sch", "parts": [
    {"name": "U1", "gates": [{"name": "A", "selected": true}, {"name": "B", "selected": true}, {"name": "C"}]},
    {"name": "R1", "gates": [{"name": "A"}]}]})";

class LabelWindowTest : public testing_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    open();
  }
  void open() {
    click(tool().helper);
    auto* decal = static_cast<assistant::DecalWindow*>(program->existing(assistant::DecalWindow::kName));
    ASSERT_NE(decal, nullptr);
    click(decal->command5);
    w = static_cast<LabelWindow*>(program->existing(LabelWindow::kName));
    ASSERT_NE(w, nullptr);
  }
  formats::DesignData saved(const std::shared_ptr<sim::SimPads>& app) {
    app->saveDesign(dir.path("saved.json"));
    return sim::readDesignFile(dir.path("saved.json"));
  }
  static const formats::PartData& part(const formats::DesignData& d, const std::string& name) {
    for (const auto& p : d.parts)
      if (p.name == name) return p;
    throw std::logic_error("no part " + name);
  }

  testing_support::ScratchDir dir{"labels"};
  LabelWindow* w = nullptr;
};

TEST_F(LabelWindowTest, OpensInTheMiddleAndClosingReturnsToTheAssistantWithBoxesCleared) {
  EXPECT_TRUE(w->visible());
  EXPECT_EQ(w->left(), (world.desktop.screenWidth() - w->width()) / 2);
  EXPECT_FALSE(w->check1(0).enabled());
  EXPECT_FALSE(w->check1(4).enabled());
  click(w->check1(1));
  program->close(LabelWindow::kName);
  EXPECT_EQ(program->existing(LabelWindow::kName), nullptr);
  EXPECT_TRUE(program->existing(assistant::DecalWindow::kName)->visible());
  open();
  EXPECT_FALSE(w->check1(1).checked());
}

TEST_F(LabelWindowTest, GateLabelsGoToEverySelectedGate) {
  click(w->command1);  // PADS Logic not running: the attach error, untrapped
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("429"), std::string::npos);

  auto logic = runDesign(world, dir, pads::kLogicProgId, kLogic);
  for (int box : {1, 2, 6, 7}) click(w->check1(box));
  click(w->command1);
  EXPECT_EQ(messages().back(), "修改了2个Gate-Lable");
  const formats::DesignData d = saved(logic);
  const std::array<long, 8> want{0, 0, 1, 0, 1, 1, 0, 1};  // k = 2, 4 from the left column, 5, 7 from the right
  EXPECT_EQ(part(d, "U1").gates[0].visibility, want);
  EXPECT_EQ(part(d, "U1").gates[1].visibility, want);
  EXPECT_EQ(part(d, "U1").gates[2].visibility, (std::array<long, 8>{}));
}

TEST_F(LabelWindowTest, GateLabelsNeedASelectedGate) {
  auto logic = runDesign(world, dir, pads::kLogicProgId, R"({"name": "a.sch", "parts": [{"name": "U1", "gates": [{"name": "A"}]}]})");
  click(w->command1);
  EXPECT_EQ(messages(), (std::vector<std::string>{"没有选择元件"}));
  EXPECT_TRUE(logic->takeLog().empty());
}

TEST_F(LabelWindowTest, HideAndShowTheFirstLabelOfTheKindOfEveryPart) {
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  world.user.answerYes();
  click(w->command3);  // Hide, Ref.Des.
  EXPECT_EQ(messages(), (std::vector<std::string>{"选择: 是-元件序号Hide,\n选择: 否-元件参数Hide.", "      okay"}));
  formats::DesignData d = saved(layout);
  EXPECT_EQ(part(d, "R1").labels[1].display, 0);
  EXPECT_EQ(part(d, "R1").labels[2].display, 1);  // only the first of the kind
  EXPECT_EQ(part(d, "C3").labels[0].display, 0);  // not selected, changed too
  for (const auto& p : d.parts) EXPECT_FALSE(p.selected) << p.name;

  world.user.answerNo();
  click(w->command6);  // Show, Value
  d = saved(layout);
  EXPECT_EQ(part(d, "R1").labels[0].display, 1);
  EXPECT_EQ(part(d, "C1").labels[0].display, 1);
  EXPECT_EQ(part(d, "R1").labels[1].display, 0);
  EXPECT_EQ(messages().back(), "      okay");
}

TEST_F(LabelWindowTest, HideAsksBeforeItAttaches) {
  world.user.answerYes();
  click(w->command3);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[0], "选择: 是-元件序号Hide,\n选择: 否-元件参数Hide.");
  EXPECT_NE(messages()[1].find("429"), std::string::npos);
}

TEST_F(LabelWindowTest, AlignCentresTheLabelOfEachSelectedPartInMils) {
  auto layout = runDesign(world, dir, pads::kLayoutProgId, kLayout);
  world.user.answerYes();
  click(w->command2);
  EXPECT_EQ(messages(), (std::vector<std::string>{"选择:是-所选中的元件序号居中,\n选择:否-所选中的元件参数居中.",
                                                  "PCB调整了2个元件 Ref.Des. 的位置!!!"}));
  const formats::DesignData d = saved(layout);
  EXPECT_EQ(d.unit, "Inch");
  const auto& r1 = part(d, "R1").labels[1];
  EXPECT_EQ(r1.x, 105);
  EXPECT_EQ(r1.y, 52.5);
  EXPECT_EQ(r1.orientation, 0);
  EXPECT_EQ(r1.rightReading, 0);
  EXPECT_EQ(r1.horzJustification, 1);
  EXPECT_EQ(r1.vertJustification, 1);
  EXPECT_EQ(part(d, "R1").labels[2].x, 7);  // the second of the kind stays
  const auto& u1 = part(d, "U1").labels[0];
  EXPECT_EQ(u1.x, -2);
  EXPECT_EQ(u1.y, 5);
  EXPECT_EQ(u1.orientation, 340);
  // Only the changed parts stay selected; C3 was not selected and keeps its label.
  EXPECT_TRUE(part(d, "R1").selected);
  EXPECT_TRUE(part(d, "U1").selected);
  EXPECT_FALSE(part(d, "C1").selected);
  EXPECT_FALSE(part(d, "C2").selected);
  EXPECT_EQ(part(d, "C3").labels[0].x, 3);
  std::vector<std::string> log = layout->takeLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[1], "unit 2");
  EXPECT_EQ(log[log.size() - 2], "unit 3");  // restored before the redraw
}

TEST_F(LabelWindowTest, AlignResultMessages) {
  struct Case {
    const char* design;
    std::string last;
  };
  const Case cases[] = {
      {R"({"name": "a.pcb", "parts": [{"name": "C2", "selected": true}]})", "  No Parts Changed ."},
      {R"({"name": "a.pcb", "parts": [{"name": "C1", "selected": true, "labels": [{"kind": "Value"}]}]})", 
       "PCB调整了0个元件 Ref.Des. 的位置!!!"},
      {R"({"name": "a.pcb", "parts": [{"name": "C1", "labels": [{"kind": "Value"}]}]})", "没有选择元件"},
  };
  auto layout = runDesign(world, dir, pads::kLayoutProgId, cases[0].design);
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.design);
    layout->openDocument(dir.write("case" + std::to_string(++run) + ".json", c.design));
    layout->takeLog();
    const bool asks = c.last != "没有选择元件";
    if (asks) world.user.answerYes();
    click(w->command2);
    EXPECT_EQ(messages().back(), c.last);
    if (!asks) {
      EXPECT_TRUE(layout->takeLog().empty());  // neither the unit nor the selection touched
    }
  }
}

TEST_F(LabelWindowTest, AlignWithoutPadsLayoutSaysNothingIsSelected) {
  click(w->command2);
  EXPECT_EQ(messages(), (std::vector<std::string>{"没有选择元件"}));
}

}  // namespace
