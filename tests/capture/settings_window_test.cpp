// The settings window: defaults before it was ever shown, values kept over closing,
// Enter in its boxes, and its place in the window rules.
#include <gtest/gtest.h>

#include "capture/settings_window.h"
#include "support/program_fixture.h"

namespace {

using testing_support::ProgramTest;

class SettingsTest : public ProgramTest {
 protected:
  capture::SettingsWindow* window() {
    return static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
  }
};

TEST_F(SettingsTest, FirstReadCreatesTheWindowHiddenWithTheDefaults) {
  ASSERT_EQ(window(), nullptr);
  platform::Settings& s = program->settings();
  EXPECT_EQ(s.logicAttribute(), "Part Type");
  ASSERT_NE(window(), nullptr);
  EXPECT_FALSE(window()->visible());
  EXPECT_EQ(s.layoutAttribute(), "Comment");
  EXPECT_EQ(s.joinSymbol(), ",");
  EXPECT_EQ(s.convertAttributes(), "否");
  EXPECT_EQ(s.keepClassification(), "是");
  EXPECT_EQ(s.spreadsheetProgram(), "Excel");
  std::vector<std::string> attributes = {"",          "Comment",     "Cost",           "Part Type",  "Part Number",
                                         "Geomtry Height", "Tolerance", "Manufacturer #1", "Description"};
  EXPECT_EQ(window()->combo1.items(), attributes);
  EXPECT_EQ(window()->combo2.items(), attributes);
  EXPECT_EQ(window()->combo3.items(), (std::vector<std::string>{"是", "否"}));
  EXPECT_EQ(window()->combo5.items(), (std::vector<std::string>{"Excel", "WPS"}));
  EXPECT_EQ(window()->label1.caption(), "Logic 属性: ");
  EXPECT_EQ(window()->label6.caption(), "BOM导出软件:");
  EXPECT_EQ(window()->focused(), &window()->command2);
}

TEST_F(SettingsTest, TheButtonShowsTheWindowBesideTheToolbarAndValuesOutliveClosing) {
  click(tool().command8);
  ASSERT_NE(window(), nullptr);
  EXPECT_TRUE(window()->visible());
  EXPECT_TRUE(tool().visible());
  type(window()->combo5, "wps");
  program->dispatch([&] { window()->text1.setText(""); });
  pick(window()->combo1, "Comment");
  program->close(capture::SettingsWindow::kName);
  EXPECT_FALSE(window()->visible());
  click(tool().command8);
  EXPECT_TRUE(window()->visible());
  EXPECT_EQ(program->settings().spreadsheetProgram(), "wps");  // typed texts are taken as they stand
  EXPECT_EQ(program->settings().joinSymbol(), "");
  EXPECT_EQ(program->settings().logicAttribute(), "Comment");
  click(window()->command2);  // "确定" hides
  EXPECT_FALSE(window()->visible());
  EXPECT_EQ(program->settings().logicAttribute(), "Comment");
}

TEST_F(SettingsTest, EnterHidesTheWindowOnlyFromTheAttributeBoxes) {
  click(tool().command8);
  capture::SettingsWindow& w = *window();
  struct Case {
    ui::Control& box;
    bool hides;
  };
  const Case cases[] = {{w.text1, false}, {w.combo3, false}, {w.combo4, false},
                        {w.combo5, false}, {w.combo1, true},  {w.combo2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box.name());
    w.show();
    program->dispatch([&] { c.box.userKeyDown(ui::kKeyEnter); });
    EXPECT_EQ(w.visible(), !c.hides);
    program->dispatch([&] { c.box.userKeyDown('A'); });  // any other key does nothing
  }
}

}  // namespace
