// Sheet names that a file holds but the spreadsheet refuses are repaired when the file
// opens, so the workbook saves and reads back with the same names.
#include "sim/sheet_names.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/workbook_files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::vector<std::string> namesOf(const sim::WorkbookData& wb) {
  std::vector<std::string> out;
  for (const auto& s : wb.sheets) out.push_back(s.name);
  return out;
}

class SheetNames : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("velmora-sheet-names-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  // The workbook saved as .xlsx and read back: the names must not change again.
  void expectSavedAgainUnchanged(const sim::WorkbookData& wb) {
    sim::WorkbookData back;
    ASSERT_NO_THROW({
      sim::saveXlsx(wb, path("again.xlsx"));
      back = sim::loadWorkbookFile(path("again.xlsx"));
    });
    EXPECT_EQ(namesOf(back), namesOf(wb));
    ASSERT_EQ(back.sheets.size(), wb.sheets.size());
    for (size_t i = 0; i < wb.sheets.size(); ++i) EXPECT_EQ(back.sheets[i].cells.size(), wb.sheets[i].cells.size());
  }
  fs::path dir;
};

TEST_F(SheetNames, UnusableNamesOfAnXlsAreRepairedAndTheWorkbookSavesAgain) {
  std::ifstream in(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string altium = s.str();
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
    std::ofstream(path("bom.xls"), std::ios::binary) << bytes;
    sim::WorkbookData wb;
    ASSERT_NO_THROW(wb = sim::loadWorkbookFile(path("bom.xls")));
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
  zipFile z = zipOpen(path("names.xlsx").c_str(), APPEND_STATUS_CREATE);
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

  sim::WorkbookData wb;
  ASSERT_NO_THROW(wb = sim::loadWorkbookFile(path("names.xlsx")));
  const std::string long31(31, 'x');
  EXPECT_EQ(namesOf(wb), (std::vector<std::string>{"Parts", "PARTS (2)", "parts (3)", "a_b_c_", long31,
                                                   std::string(27, 'x') + " (2)", "Sheet7", "Q", "Sheet7 (2)"}));
  expectSavedAgainUnchanged(wb);
}

TEST_F(SheetNames, UsableNamesStayAsTheyAre) {
  sim::WorkbookData wb;
  for (const char* n : {"BOM", "汇总", "List Report", "a'b", "Sheet 3"}) wb.sheets.push_back(sim::SheetData{n, {}, {}, {}, {}});
  const std::vector<std::string> before = namesOf(wb);
  sim::files::repairSheetNames(wb);
  EXPECT_EQ(namesOf(wb), before);
}

}  // namespace
