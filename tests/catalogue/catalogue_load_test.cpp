// "连接数据库": the catalogue rows of sheet 1 read into memory, what a load leaves of
// the spreadsheet program, and the failures that leave the catalogue as it was.
#include <gtest/gtest.h>

#include "catalogue_fixture.h"
#include "capture/settings_window.h"
#include "vb/convert.h"

namespace {

using testing_support::CatalogueTest;
using vb::Variant;

class CatalogueLoadTest : public CatalogueTest {
 protected:
  std::vector<std::string> ratings() {
    std::vector<std::string> out;
    for (size_t k = 0; k < commands().catalogue().size(); ++k)
      out.push_back(vb::toText(commands().catalogue().record(k).cells[workbench::kRatingColumn]));
    return out;
  }
};

TEST_F(CatalogueLoadTest, ReadsRowsThreeToTheLastFilledCellOfColumnAAsTypedValues) {
  std::vector<Cells> rows{entry("1", "C1", "RES 0603", "10K"), Cells{}, entry("3", "C3", "CAP", "1uF", 0.25),
                          Cells{Variant(), Variant("only B")}};
  const std::string path = writeCatalogue("cat.xlsx", rows);
  excel->setMinimized(false);
  connect(path);
  EXPECT_EQ(lastMessage(), "  成功连接数据库");
  ASSERT_TRUE(commands().catalogue().loaded());
  EXPECT_EQ(ratings(), (std::vector<std::string>{"10K", "", "1uF"})) << "a blank row above the last 序号 is an entry";
  EXPECT_EQ(commands().catalogue().record(2).cells[workbench::kPriceColumn], Variant(0.25)) << "numbers stay numbers";
  EXPECT_EQ(excel->workbookCount(), 0) << "the catalogue workbook is closed";
  EXPECT_TRUE(excel->minimized());
  EXPECT_TRUE(excel->visible());
  EXPECT_EQ(world.user.dialogs().back().title, "请选择将要打开的xls文件");
  EXPECT_EQ(world.user.dialogs().back().filter, "文件类型(*.xls)|*.xls");

  connect(writeCatalogue("short.xlsx", {entry("1", "D1", "IC", "LM358")}));
  EXPECT_EQ(ratings(), (std::vector<std::string>{"LM358"})) << "a second load replaces the first whole";
}

TEST_F(CatalogueLoadTest, ASheetOfOnlyItsHeadingRowsIsACatalogueWithoutEntries) {
  connect(writeCatalogue("empty.xlsx", {}));
  EXPECT_EQ(lastMessage(), "  成功连接数据库");
  EXPECT_TRUE(commands().catalogue().loaded());
  EXPECT_EQ(commands().catalogue().size(), 0u);
}

TEST_F(CatalogueLoadTest, AWorkbookAlreadyOpenIsReadAndLeftOpen) {
  const std::string path = writeCatalogue("cat.xlsx", {entry("1", "C1", "RES", "10K")});
  auto mine = excel->open(path);
  connect(path);
  EXPECT_EQ(ratings(), (std::vector<std::string>{"10K"}));
  ASSERT_EQ(excel->workbookCount(), 1);
  EXPECT_EQ(excel->workbook(1), mine);
}

TEST_F(CatalogueLoadTest, FailuresLeaveTheCatalogueAsItWas) {
  connect(writeCatalogue("cat.xlsx", {entry("1", "C1", "RES", "10K")}));
  const size_t shown = messages().size();

  // A cancelled dialog and a spreadsheet program that does not run end silently.
  world.user.cancelFile();
  click(*w->control("Command3"));
  EXPECT_EQ(messages().size(), shown);

  // A file the program cannot open: nothing is read or closed, the program is visible again.
  auto other = excel->addWorkbook();
  excel->setMinimized(false);
  const std::string bad = dir.write("bad.xls", "not a workbook");
  excel->setDisplayAlerts(false);
  connect(bad);
  EXPECT_EQ(lastMessage().rfind("连接数据库失败!\n", 0), 0u) << lastMessage();
  EXPECT_EQ(excel->workbookCount(), 1);
  EXPECT_EQ(excel->activeWorkbook(), other);
  EXPECT_TRUE(excel->visible());
  EXPECT_FALSE(excel->minimized());
  EXPECT_EQ(ratings(), (std::vector<std::string>{"10K"}));

  // A workbook whose first sheet cannot be read: no success message, the catalogue stays.
  world.faults.set("spreadsheet", "Range.Value");
  connect(writeCatalogue("cat2.xlsx", {entry("1", "C9", "CAP", "1uF")}));
  world.faults.clear();
  EXPECT_EQ(lastMessage().rfind("连接数据库失败!\n", 0), 0u) << lastMessage();
  EXPECT_EQ(ratings(), (std::vector<std::string>{"10K"}));
  EXPECT_EQ(excel->workbookCount(), 1) << "the workbook it opened is closed all the same";

  // With "WPS" the dialog offers ".et" files; no WPS runs, so nothing more happens.
  program->settings().spreadsheetProgram();
  static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->combo5.setText("WPS");
  const size_t before = messages().size();
  connect(writeCatalogue("cat3.xlsx", {entry("1", "C9", "CAP", "1uF")}));
  EXPECT_EQ(messages().size(), before) << "no running program: nothing is shown";
  EXPECT_EQ(world.user.dialogs().back().filter, "文件类型(*.et)|*.et");
  EXPECT_EQ(ratings(), (std::vector<std::string>{"10K"}));
}

}  // namespace

namespace {

TEST_F(CatalogueLoadTest, AnotherSpreadsheetSettingEndsTheProgramOnceAFileIsChosen) {
  const std::string path = writeCatalogue("cat.xlsx", {entry("1", "C1", "RES", "10K")});
  program->settings().spreadsheetProgram();
  static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->combo5.setText("Calc");
  world.user.cancelFile();
  click(*w->control("Command3"));
  EXPECT_FALSE(program->ended()) << "a cancel ends the command only";
  connect(path);
  EXPECT_EQ(lastMessage(), "请在设置中选择BOM输出软件");
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(excel->workbookCount(), 0) << "the file was not opened";
}

}  // namespace
