// The hidden rebuild of a catalogue workbook's first sheet (a double-click on the code box
// holding "戊"): the saved file read back, the access code, and the failures that leave
// the file as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "catalogue_fixture.h"

namespace {

using testing_support::CatalogueTest;
using vb::Variant;

class CatalogueBuilderTest : public CatalogueTest {
 protected:
  using Rows = std::vector<Cells>;
  // A workbook of `sheets` sheets: sheet 1 a catalogue with a title in A1 (entries from
  // row 3, columns A to J), sheets 2 and 3 a heading row and their entries from row 2.
  std::string writeWorkbook(const std::string& name, const Rows& catalogue, const Rows& second, const Rows& third,
                            long sheets = 3) {
    platform::Files plain;
    auto maker = sim::makeSimSpreadsheet("Excel.Application", world.faults, plain);
    auto wb = maker->addWorkbook();
    auto put = [](platform::xl::Sheet& s, long firstRow, const Rows& rows) {
      for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
          auto cell = s.cell(firstRow + static_cast<long>(r), static_cast<long>(c) + 1);
          if (rows[r][c].isText()) platform::textFirst(cell);
          cell.setValue(rows[r][c]);
        }
    };
    wb->sheet(1)->cell(1, 1).setValue(Variant("物料库"));
    put(*wb->sheet(1), 3, catalogue);
    for (int k = 0; k < 2; ++k) {
      auto s = wb->sheet(k + 2);
      put(*s, 1, {Cells{Variant("物料编码"), Variant("物料名称"), Variant("物料规格"), Variant("单位")}});
      put(*s, 2, k == 0 ? second : third);
    }
    while (wb->sheetCount() > sheets) wb->sheet(wb->sheetCount())->remove();
    const std::string path = dir.path(name);
    sim::saveCopyAsXlsx(*wb, path);
    return path;
  }
  void rebuild(const std::string& path, const std::string& code = "戊") {
    w->text5.setText(code);
    world.user.answerFile(path);
    program->dispatch([&] { w->text5.userDblClick(); });
  }
  // Sheet 1 of the file as it is on disk now.
  platform::xl::SheetPtr savedSheet(const std::string& path) {
    reader = sim::makeSimSpreadsheet("Excel.Application", world.faults, plainFiles);
    return reader->open(path)->sheet(1);
  }
  static std::string bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  static Cells source(const std::string& code, const std::string& name) {
    return {Variant(code), Variant(name), Variant("rating " + name), Variant("PCS")};
  }
  // An old catalogue row: 序号, the source fields, then F to J (用量, 位号, 单价, 供应商, 报价).
  static Cells old(double n, const std::string& code, double price, const std::string& supplier) {
    return {Variant(n), Variant(code), Variant("old"), Variant("old"), Variant("old"),
            Variant(1.0), Variant("R" + code), Variant(price), Variant(supplier), Variant(price * 10)};
  }

  platform::Files plainFiles;
  std::shared_ptr<sim::SimSpreadsheet> reader;
};

TEST_F(CatalogueBuilderTest, RebuildsSheetOneAndKeepsEachMaterialsPriceAndSupplierBesideItsCode) {
  // 0402 moves up, NEW1 is inserted, C3 is removed, the old catalogue is one row longer.
  const std::string path = writeWorkbook(
      "cat.xlsx",
      {old(1, "00012345", 0.5, "ACME"), old(2, "0402", 0.01, "0402"), old(3, "C3", 3, "Gone"),
       old(4, "X5", 5, "Fifth"), old(5, "Y6", 6, "Sixth")},
      {source("0402", "cap"), source("NEW1", "new"), source("00012345", "ic")}, {source("X5", "res")});
  connect(path);
  excel->setMinimized(false);
  rebuild(path);
  EXPECT_EQ(lastMessage(), "      Okay!");
  EXPECT_EQ(commands().catalogue().size(), 5u) << "the loaded catalogue stays until the next load";
  EXPECT_EQ(excel->workbookCount(), 0) << "the workbook is closed";
  EXPECT_TRUE(excel->minimized());
  EXPECT_TRUE(excel->visible());

  auto s = savedSheet(path);
  EXPECT_EQ(s->cell(1, 1).value(), Variant("物料库")) << "row 1 stays";
  EXPECT_EQ(s->range("A2:E2").values()(1, 5), Variant("单位"));
  EXPECT_EQ(s->cell(2, 1).value(), Variant("序号"));
  struct Expected {
    const char* code;
    const char* name;
    Variant price, supplier;
  };
  const Expected rows[] = {{"0402", "cap", Variant(0.01), Variant("0402")},
                           {"NEW1", "new", Variant(), Variant()},
                           {"00012345", "ic", Variant(0.5), Variant("ACME")},
                           {"X5", "res", Variant(5.0), Variant("Fifth")}};
  for (long i = 0; i < 4; ++i) {
    const long r = i + 3;
    SCOPED_TRACE(rows[i].code);
    EXPECT_EQ(s->cell(r, 1).value(), Variant(static_cast<double>(i + 1)));
    EXPECT_EQ(s->cell(r, 2).value(), Variant(rows[i].code)) << "codes stay texts";
    EXPECT_EQ(s->cell(r, 3).value(), Variant(rows[i].name));
    EXPECT_EQ(s->cell(r, 5).value(), Variant("PCS"));
    EXPECT_EQ(s->cell(r, 8).value(), rows[i].price);
    EXPECT_EQ(s->cell(r, 9).value(), rows[i].supplier) << "a supplier text stays a text";
    EXPECT_EQ(s->cell(r, 7).value(), rows[i].price.isEmpty() ? Variant() : Variant(std::string("R") + rows[i].code));
  }
  EXPECT_NE(s->cell(3, 8).numberFormat(), "@") << "a column of prices keeps the general format";
  for (long c = 1; c <= 10; ++c) EXPECT_TRUE(s->cell(7, c).value().isEmpty()) << "the old row 7, column " << c;

  // The next load reads the rebuilt sheet.
  connect(path);
  ASSERT_EQ(commands().catalogue().size(), 4u);
  EXPECT_EQ(commands().catalogue().record(2).cells[workbench::kCodeColumn], Variant("00012345"));
}

TEST_F(CatalogueBuilderTest, OnlyTheExactAccessCodeOpensTheDialog) {
  const std::string path = writeWorkbook("cat.xlsx", {}, {source("A1", "a")}, {});
  const std::string before = bytes(path);
  for (const char* text : {"戊 ", " 戊", "", "戊戊", "x"}) {
    const size_t dialogs = world.user.dialogs().size();
    w->text5.setText(text);
    program->dispatch([&] { w->text5.userDblClick(); });
    EXPECT_EQ(world.user.dialogs().size(), dialogs) << "'" << text << "'";
  }
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(bytes(path), before);

  world.user.cancelFile();  // a cancel ends it silently
  w->text5.setText("戊");
  program->dispatch([&] { w->text5.userDblClick(); });
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(excel->workbookCount(), 0);
}

TEST_F(CatalogueBuilderTest, AnEmptySourceSheetGivesNoEntriesAndRowOneIsNeverCleared) {
  // Sheet 1 holds only its title; sheet 2 only its heading.
  const std::string path = writeWorkbook("cat.xlsx", {}, {}, {source("0603", "r"), source("B2", "c")});
  rebuild(path);
  EXPECT_EQ(lastMessage(), "      Okay!");
  auto s = savedSheet(path);
  EXPECT_EQ(s->cell(1, 1).value(), Variant("物料库"));
  EXPECT_EQ(s->cell(3, 1).value(), Variant(1.0));
  EXPECT_EQ(s->cell(3, 2).value(), Variant("0603"));
  EXPECT_EQ(s->cell(4, 2).value(), Variant("B2"));
  EXPECT_TRUE(s->cell(5, 1).value().isEmpty());
}

TEST_F(CatalogueBuilderTest, AnyFailureAfterTheOpenSavesNothingAndRestoresTheProgram) {
  struct Case {
    const char* what;
    long sheets;
    const char* member;  // a spreadsheet member made to fail, or "write" for the file
  };
  const Case cases[] = {{"the save fails", 3, "Save"},
                        {"the file cannot be written", 3, "write"},
                        {"a sheet cannot be read", 3, "Range.Value"},
                        {"the workbook has two sheets", 2, ""},
                        {"the open fails", 3, "Open"}};
  int k = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = writeWorkbook("cat" + std::to_string(++k) + ".xlsx", {old(1, "A1", 1, "S")},
                                           {source("B1", "b")}, {source("A1", "a")}, c.sheets);
    const std::string before = bytes(path);
    if (std::string(c.member) == "write") world.faults.failWrites(path);
    else if (*c.member) world.faults.set("spreadsheet", c.member);
    excel->setMinimized(false);
    excel->setVisible(true);
    rebuild(path);
    world.faults.clear();
    EXPECT_EQ(lastMessage().rfind("生成物料库失败!\n", 0), 0u) << lastMessage();
    EXPECT_EQ(bytes(path), before) << "nothing is saved";
    EXPECT_EQ(excel->workbookCount(), 0) << "the workbook is closed unsaved";
    EXPECT_TRUE(excel->visible());
    EXPECT_FALSE(excel->minimized());
  }
}

TEST_F(CatalogueBuilderTest, AWorkbookAlreadyOpenIsRefusedAndLeftAsItIs) {
  const std::string path = writeWorkbook("cat.xlsx", {old(1, "A1", 1, "S")}, {source("B1", "b")}, {});
  const std::string before = bytes(path);
  auto mine = excel->open(path);
  mine->sheet(1)->cell(3, 2).setValue(Variant("edited"));
  rebuild(path);
  EXPECT_EQ(lastMessage().rfind("请先关闭已打开的物料库工作簿!\n", 0), 0u) << lastMessage();
  ASSERT_EQ(excel->workbookCount(), 1);
  EXPECT_EQ(mine->sheet(1)->cell(3, 2).value(), Variant("edited"));
  EXPECT_EQ(bytes(path), before);
  EXPECT_TRUE(excel->visible());
}

}  // namespace
