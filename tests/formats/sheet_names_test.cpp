// Sheet names that a file holds but the spreadsheet refuses are repaired when the file
// opens, so the workbook saves and reads back with the same names.
#include "formats/sheet_names.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <vector>

#include "formats/workbook_files.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::readBytes;
using testing_support::ScratchDir;
using namespace std::string_literals;

std::vector<std::string> namesOf(const formats::WorkbookData& wb) {
  std::vector<std::string> out;
  for (const auto& s : wb.sheets) out.push_back(s.name);
  return out;
}

class SheetNames : public ::testing::Test {
 protected:
  // The workbook saved as .xlsx and read back: the names must not change again.
  void expectSavedAgainUnchanged(const formats::WorkbookData& wb) {
    formats::WorkbookData back;
    ASSERT_NO_THROW({
      formats::saveXlsx(wb, dir.path("again.xlsx"));
      back = formats::loadWorkbookFile(dir.path("again.xlsx"));
    });
    EXPECT_EQ(namesOf(back), namesOf(wb));
    ASSERT_EQ(back.sheets.size(), wb.sheets.size());
    for (size_t i = 0; i < wb.sheets.size(); ++i) EXPECT_EQ(back.sheets[i].cells.size(), wb.sheets[i].cells.size());
  }
  ScratchDir dir{"sheet-names"};
};

TEST_F(SheetNames, UnusableNamesOfAnXlsAreRepairedAndTheWorkbookSavesAgain) {
  const std::string altium = readBytes(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls");
  constexpr size_t kBomName = 6894;  // "BOM" of the first sheet's record, in UTF-16
  ASSERT_EQ(altium.substr(kBomName, 6), "B\0O\0M\0"s);
  struct Case {
    std::string utf16;  // the two characters after "B"
    const char* name;
  };
  const Case cases[] = {
      {"\xFE\xFF\xFF\xD7"s, "B\xED\x9F\xBF"},  // U+FFFE, which no XML file holds, and U+D7FF
      {"\x01\x00M\x00"s, "BM"},                // a control character
      {":\x00M\x00"s, "B_M"},                  // a character a sheet name cannot have
      {"'\x00'\x00"s, "B"},                    // apostrophes at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = altium;
    bytes.replace(kBomName + 2, 4, c.utf16);
    dir.write("bom.xls", bytes);
    formats::WorkbookData wb;
    ASSERT_NO_THROW(wb = formats::loadWorkbookFile(dir.path("bom.xls")));
    EXPECT_EQ(namesOf(wb), (std::vector<std::string>{c.name, "Sheet2", "Sheet3"}));
    EXPECT_GT(wb.sheets[0].cells.size(), 300u);
    expectSavedAgainUnchanged(wb);
  }
}

TEST_F(SheetNames, RepeatedLongAndEmptyNamesOfAnXlsxBecomeUniqueNames) {
  const std::string long40(40, 'x');
  const std::vector<std::string> names = {"Parts", "PARTS", "parts", "a/b*c?", long40, long40, "", "'Q'", "Sheet7"};
  std::string sheets, rels;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    sheets += "<sheet name=\"" + names[i] + "\" sheetId=\"" + id + "\" r:id=\"rId" + id + "\"/>";
    rels += "<Relationship Id=\"rId" + id + "\" Type=\"http://x/worksheet\" Target=\"worksheets/s" + id + ".xml\"/>";
  }
  zipFile z = zipOpen(dir.path("names.xlsx").c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(z, nullptr);
  std::vector<std::pair<std::string, std::string>> parts = {
      {"xl/workbook.xml", "<workbook xmlns:r=\"r\"><sheets>" + sheets + "</sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels", "<Relationships>" + rels + "</Relationships>"}};
  for (size_t i = 0; i < names.size(); ++i)
    parts.push_back({"xl/worksheets/s" + std::to_string(i + 1) + ".xml",
                     "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>" + std::to_string(i) +
                         "</v></c></row></sheetData></worksheet>"});
  for (const auto& [name, body] : parts) {
    ASSERT_EQ(zipOpenNewFileInZip(z, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(z, body.data(), static_cast<unsigned>(body.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(z), ZIP_OK);
  }
  ASSERT_EQ(zipClose(z, nullptr), ZIP_OK);

  formats::WorkbookData wb;
  ASSERT_NO_THROW(wb = formats::loadWorkbookFile(dir.path("names.xlsx")));
  const std::string long31(31, 'x');
  EXPECT_EQ(namesOf(wb), (std::vector<std::string>{"Parts", "PARTS (2)", "parts (3)", "a_b_c_", long31,
                                                   std::string(27, 'x') + " (2)", "Sheet7", "Q", "Sheet7 (2)"}));
  expectSavedAgainUnchanged(wb);
}

TEST_F(SheetNames, UsableNamesStayAsTheyAre) {
  formats::WorkbookData wb;
  for (const char* n : {"BOM", "汇总", "List Report", "a'b", "Sheet 3"}) wb.sheets.push_back(formats::SheetData{n, {}, {}, {}, {}});
  const std::vector<std::string> before = namesOf(wb);
  formats::repairSheetNames(wb);
  EXPECT_EQ(namesOf(wb), before);
}

}  // namespace
