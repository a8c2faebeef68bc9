// A workbook that was read from a file saves as .xlsx and reads back with the same
// texts, whatever characters its cells hold.
#include <gtest/gtest.h>

#include <string>

#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

using testing_support::ScratchDir;
using namespace std::string_literals;

class SavedAgain : public ::testing::Test {
 protected:
  // The workbook saved as .xlsx and read back.
  formats::WorkbookData again(const formats::WorkbookData& wb) {
    const std::string p = dir.path("again.xlsx");
    formats::saveXlsx(wb, p);
    return formats::loadWorkbookFile(p);
  }
  static std::string text(const formats::WorkbookData& wb, long row, long col) {
    for (const auto& c : wb.sheets.at(0).cells)
      if (c.row == row && c.col == col) return vb::toText(c.value);
    return "(none)";
  }
  ScratchDir dir{"round-trip"};
};

TEST_F(SavedAgain, TextsWithNulAndEscapeLikeCharactersComeBackUnchanged) {
  const std::string texts[] = {"a\0b"s, "\0"s, "end\0"s, "_x0041_", "_x0000_ and \0"s, "ctrl \x01\x1F\x7F",
                               "tab\tnew\nline", "cr\rend", "no XML \xEF\xBF\xBE\xEF\xBF\xBF",
                               // an escape right after "_xHHHH" once closed it into a sequence
                               "_x0000\0"s, "_x0041\x01", "_x0041\xEF\xBF\xBE", "_x004"};
  // A .csv holds them as they are; a NUL there used to end the saved text.
  std::string csv;
  for (const auto& t : texts) csv += "\"" + t + "\"\r\n";
  const formats::WorkbookData read = formats::loadWorkbookFile(dir.write("nuls.csv", csv));
  const formats::WorkbookData back = again(read);
  for (long r = 1; r <= static_cast<long>(std::size(texts)); ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(text(read, r, 1), texts[r - 1]);
    EXPECT_EQ(text(back, r, 1), texts[r - 1]);
  }
}

TEST_F(SavedAgain, TheFuzzFindingOfAnEscapeAfterHexDigitsComesBackUnchanged) {
  // The workbook fuzz target's finding: a .csv whose text holds "_x000E" followed by NUL
  // characters read back from its saved copy as another text.
  const formats::WorkbookData read =
      formats::loadWorkbookFile(VELMORA_SOURCE_DIR "/tests/formats/fixtures/escape_after_hex_digits.csv");
  ASSERT_EQ(read.sheets.size(), 1u);
  ASSERT_FALSE(read.sheets[0].cells.empty());
  const formats::WorkbookData back = again(read);
  for (const auto& c : read.sheets[0].cells) {
    SCOPED_TRACE(c.col);
    EXPECT_EQ(text(back, c.row, c.col), vb::toText(c.value));
  }
}

TEST_F(SavedAgain, ATextAtTheCellLimitWithEscapesIsCutNotRefused) {
  // 32,767 characters, the most a cell holds; the escapes the file needs for "_x0041_"
  // and NUL made the text too long for the writer, and the whole save failed.
  const std::string long1 = std::string(32760, 'a') + "_x0041_";
  const std::string long2 = std::string(32000, 'b') + std::string(767, '\0');
  formats::WorkbookData wb;
  wb.sheets.push_back(formats::SheetData{"S", {{1, 1, long1, {}}, {2, 1, long2, {}}}, {}, {}, {}});
  formats::WorkbookData back;
  ASSERT_NO_THROW(back = again(wb));
  for (long r = 1; r <= 2; ++r) {
    SCOPED_TRACE(r);
    const std::string original = r == 1 ? long1 : long2, got = text(back, r, 1);
    EXPECT_GE(got.size(), 32000u);
    EXPECT_EQ(original.compare(0, got.size(), got), 0);  // what is kept is the text's start
  }
}

}  // namespace
