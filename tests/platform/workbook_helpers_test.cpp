// The workbook helpers and the open-file dialog service over the stand-ins.
#include "platform/workbook_helpers.h"

#include <gtest/gtest.h>

#include "platform/common_dialog.h"
#include "support/program_fixture.h"
#include "vb/error.h"

namespace {

using testing_support::ProgramTest;
namespace xl = platform::xl;

class HelpersTest : public ProgramTest {
 protected:
  void setSpreadsheetSetting(const std::string& text) {
    program->settings().spreadsheetProgram();
    auto* w = static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName));
    w->combo5.userType(text);
  }
  platform::Services& services() { return program->services(); }
  platform::Settings& settings() { return program->settings(); }
};

TEST_F(HelpersTest, AttachFindsTheProgramTheSettingNamesAndNeverStartsOne) {
  xl::AppPtr app;
  EXPECT_THROW(
      {
        try {
          platform::attachSpreadsheet(services(), settings(), app);
        } catch (const vb::Error& e) {
          EXPECT_EQ(e.number(), 429);
          throw;
        }
      },
      vb::Error);
  EXPECT_TRUE(world.programs.spreadsheets().empty());
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  auto wps = world.programs.runSpreadsheet("ET.Application");
  platform::attachSpreadsheet(services(), settings(), app);
  EXPECT_EQ(app, excel);
  setSpreadsheetSetting("WPS");
  platform::attachSpreadsheet(services(), settings(), app);
  EXPECT_EQ(app, wps);
}

TEST_F(HelpersTest, AttachOrStartStartsAnInvisibleProgramOnlyWhenNoneRuns) {
  for (const char* setting : {"Excel", "WPS"}) {
    SCOPED_TRACE(setting);
    setSpreadsheetSetting(setting);
    xl::AppPtr app;
    EXPECT_TRUE(platform::attachOrStartSpreadsheet(services(), settings(), app));
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->progId(), std::string(setting) == "Excel" ? "Excel.Application" : "ET.Application");
    EXPECT_FALSE(app->visible());
    xl::AppPtr again;
    EXPECT_FALSE(platform::attachOrStartSpreadsheet(services(), settings(), again));
    EXPECT_EQ(again, app);
  }
  EXPECT_EQ(world.programs.spreadsheets().size(), 2u);
}

TEST_F(HelpersTest, AProgramThatCanNeitherBeAttachedNorStartedClearsTheReferenceAndStops) {
  auto stale = world.programs.runSpreadsheet("ET.Application");  // not the program the setting names
  xl::AppPtr app = stale;
  world.faults.set("spreadsheet", "Start");
  EXPECT_THROW(platform::attachOrStartSpreadsheet(services(), settings(), app), vb::Error);
  EXPECT_EQ(app, nullptr);
}

TEST_F(HelpersTest, AnySettingButExcelOrWpsEndsTheProgramWithItsMessage) {
  for (const char* setting : {"wps", "Excel ", ""}) {
    SCOPED_TRACE(setting);
    setSpreadsheetSetting(setting);
    xl::AppPtr app;
    EXPECT_THROW(platform::attachSpreadsheet(services(), settings(), app), vb::ProgramEnd);
    EXPECT_THROW(platform::attachOrStartSpreadsheet(services(), settings(), app), vb::ProgramEnd);
    EXPECT_EQ(world.user.messages().back().text, "请在设置中选择BOM输出软件");
  }
  EXPECT_TRUE(world.programs.spreadsheets().empty());
}

TEST_F(HelpersTest, NewReportWorkbookIsVisibleWithThreeSheets) {
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  xl::WorkbookPtr wb = platform::newReportWorkbook(*excel);
  EXPECT_TRUE(excel->visible());
  EXPECT_EQ(wb->sheetCount(), 3);
  EXPECT_EQ(excel->activeWorkbook(), wb);
}

TEST_F(HelpersTest, LastUsedRowTextFirstAndBlocks) {
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  xl::SheetPtr s = platform::newReportWorkbook(*excel)->sheet(1);
  s->cell(1, 1).setValue("No.");
  EXPECT_EQ(platform::lastUsedRow(*s, 1), 1);
  EXPECT_EQ(platform::lastUsedRow(*s, 2), 1);  // an empty column
  s->cell(7, 1).setValue(5.0);
  s->cell(3, 1).setValue("x");
  EXPECT_EQ(platform::lastUsedRow(*s, 1), 7);  // the lowest cell, over the gap

  platform::textFirst(s->range("B1:B3"));
  vb::Table t(2, 2);
  t(1, 1) = "0402";
  t(1, 2) = "0402";
  t(2, 1) = 12.0;
  platform::blockWrite(s->cell(2, 2), t);
  EXPECT_EQ(s->get(2, 2), vb::Variant("0402"));  // text format: stays text
  EXPECT_EQ(s->get(2, 3), vb::Variant(402.0));   // general format: becomes a number
  EXPECT_EQ(s->get(3, 2), vb::Variant(12.0));    // a number stays a number
  vb::Table back = platform::blockRead(s->range("B2:C3"));
  EXPECT_EQ(back.rows(), 2);
  EXPECT_EQ(back(1, 1), vb::Variant("0402"));
  platform::blockWrite(s->cell(20, 1), vb::Table(0, 5));  // nothing to write
  EXPECT_EQ(platform::lastUsedRow(*s, 1), 7);
}

TEST_F(HelpersTest, ListHeaderStyleAndGridBorders) {
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  xl::SheetPtr s = platform::newReportWorkbook(*excel)->sheet(2);
  s->range("A1:C3").setValue("v");
  platform::listHeaderStyle(s->range("A1:C1"), s->range("A1:C3"));
  xl::Style head = s->styleAt(1, 2);
  EXPECT_TRUE(head.bold);
  EXPECT_EQ(head.fontSize, 15);
  EXPECT_EQ(head.fill, 9478398);
  ASSERT_TRUE(s->filter().has_value());
  EXPECT_EQ(*s->filter(), (xl::Area{1, 1, 3, 3}));
  platform::gridBorders(s->range("A1:C3"), 1);
  EXPECT_EQ(s->styleAt(2, 2).left.weight, 2);
  EXPECT_EQ(s->styleAt(3, 3).bottom.lineStyle, 9);
  EXPECT_EQ(s->styleAt(3, 3).bottom.colorIndex, 1);
}

TEST(CommonDialogTest, ACancelNeverHandsBackTheEarlierPath) {
  sim::SimUser user;
  platform::CommonDialog dialog(user);
  user.answerFile("C:\\a.net");
  EXPECT_EQ(dialog.choose("文件类型(*.net)|*.net", "title"), "C:\\a.net");
  EXPECT_EQ(dialog.property27, 100);
  EXPECT_TRUE(dialog.cancelError);
  EXPECT_EQ(dialog.flags, 4097);
  user.cancelFile();
  EXPECT_EQ(dialog.choose("f", "t"), "");
  EXPECT_EQ(dialog.fileName(), "");
  user.cancelFile();
  try {
    dialog.chooseOrRaise("f", "t");
    FAIL() << "a cancel is reported";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 32755);
  }
  ASSERT_EQ(user.dialogs().size(), 3u);
  EXPECT_EQ(user.dialogs()[0].filter, "文件类型(*.net)|*.net");
  EXPECT_EQ(user.dialogs()[0].title, "title");
}

}  // namespace
