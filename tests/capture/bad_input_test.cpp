// Files a user can choose that the toolbar's commands cannot use: each gives a clear
// message, the program goes on, and nothing is lost (no file changed, no list cut short).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "app/program.h"
#include "sim/sim_programs.h"
#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "support/unprivileged.h"
#include "vb/convert.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::ScratchDir;
using namespace std::string_literals;

// The program running in a world of its own, with nothing else running.
struct Desk {
  sim::World world;
  std::unique_ptr<app::Program> program;
  Desk() {
    program = std::make_unique<app::Program>(world.programs, world.user, world.desktop, world.files);
    program->start();
  }
  app::ToolWindow& tool() { return program->tool(); }
  // The toolbar command for the source, with the file chosen in its dialog and no prefix.
  void run(ui::Button& command, const std::string& source, const std::string& path) {
    program->dispatch([&] { tool().combo1.userType(source); });
    world.user.answerFile(path);
    world.user.answerInput("");
    program->dispatch([&] { command.userClick(); });
  }
  // "TITLE: TEXT" of every message box shown.
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& m : world.user.messages()) out.push_back(m.title + ": " + m.text);
    return out;
  }
};

class BadInputTest : public ::testing::Test {
 protected:
  ScratchDir dir{"bad-input"};
};

const std::string kLq = "\xE2\x80\x9C", kRq = "\xE2\x80\x9D";  // the quotes around a file name

TEST_F(BadInputTest, AnXlsThatIsNoWorkbookIsReportedByTheSpreadsheetProgram) {
  // "Format BOM" from Altium Designer with no spreadsheet program running: the program is
  // started and opens the .xls chosen in the dialog.
  const std::string altium = readBytes(std::string(VELMORA_SHARED_DIR) + "/samples/altium_bom_can_gateway_4.xls");
  struct Case {
    const char* name;
    std::string bytes;
    const char* problem;
  };
  const Case cases[] = {
      {"text.xls", "Designator,Comment\r\nR1,10K\r\n", "not a BIFF8 workbook file"},
      {"cut.xls", altium.substr(0, altium.size() / 2), "damaged compound document or BIFF data"},
      {"empty.xls", "", "not a BIFF8 workbook file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.write(c.name, c.bytes);
    Desk desk;
    desk.run(desk.tool().command5, "Altium Designer", path);
    EXPECT_EQ(desk.messages(), (std::vector<std::string>{"Excel.Application: " + kLq + c.name + kRq +
                                                         " is not a workbook or is damaged (" + c.problem + ")"}));
    EXPECT_FALSE(desk.program->ended());
    auto excel = desk.world.programs.spreadsheet("Excel.Application");
    ASSERT_NE(excel, nullptr);
    EXPECT_EQ(excel->workbookCount(), 0);
    EXPECT_EQ(readBytes(path), c.bytes);
  }
}

TEST_F(BadInputTest, ADesignFileOfWrongJsonIsReportedByThePadsProgram) {
  // "Create" from Logic or Layout with no PADS program running: it is started and opens
  // the design chosen in the dialog; the import then finds no parts.
  const std::string json = "{\"name\": \"board\", \"parts\": [{\"name\": \"R1\",]}";
  struct Case {
    const char* source;
    const char* progId;
    const char* file;
  };
  const Case cases[] = {{"Logic", "PowerLogic.Application", "board.sch"}, {"Layout", "PowerPCB.Application", "board.pcb"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string path = dir.write(c.file, json);
    Desk desk;
    desk.world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
    desk.run(desk.tool().command1, c.source, path);
    const std::vector<std::string> shown = desk.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].rfind(std::string(c.progId) + ": Bad design file \"" + path + "\": not JSON: ", 0), 0u)
        << shown[0];
    EXPECT_EQ(shown[1], "Velmora: No Components Export!!!");
    EXPECT_FALSE(desk.program->ended());
    EXPECT_EQ(desk.world.programs.spreadsheet("Excel.Application")->workbookCount(), 0);
    EXPECT_EQ(readBytes(path), json);
  }
}

TEST_F(BadInputTest, AMillionLineNetlistIsListedWholeInReasonableTime) {
  // 200,000 components of five lines each, as Protel 99 SE writes them; 100 values, so
  // that each category BOM line's designators fit in one cell.
  std::string text;
  text.reserve(200000 * 40);
  for (int i = 1; i <= 200000; ++i)
    text += "[\r\nR" + std::to_string(i) + "\r\nR0603\r\n" + std::to_string(i % 100 + 1) + "K\r\n]\r\n";
  const std::string path = dir.write("million.net", text);
  Desk desk;
  desk.world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
  const auto started = std::chrono::steady_clock::now();
  desk.run(desk.tool().command1, "Protel99se", path);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cout << "a netlist of a million lines: \"Create\" took " << seconds << " s\n";
  EXPECT_TRUE(desk.messages().empty()) << desk.messages().front();
  EXPECT_EQ(desk.tool().toolState().partCount, 200000);
  auto list = desk.world.programs.spreadsheet("Excel.Application")->activeWorkbook()->sheet(2);
  EXPECT_EQ(vb::toText(list->get(200001, 5)), "R200000");  // the natural sort puts the last one last
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(seconds, 600.0);
#else
  EXPECT_LT(seconds, 120.0);
#endif
}

TEST_F(BadInputTest, ANetlistPathThatCannotBeReadIsReportedAndNothingIsWritten) {
  VELMORA_SKIP_WITHOUT_UNREADABLE_FILES();
  const std::string locked = dir.write("locked.net", "[\r\nR1\r\nR0603\r\n10K\r\n");
  fs::permissions(locked, fs::perms::none);
  struct Case {
    std::string path;
    const char* message;
  };
  const Case cases[] = {
      {dir.path("missing.net"), "运行时错误 '53':\nFile not found"},
      {dir.dir().string(), "运行时错误 '53':\nFile not found"},  // a folder
      {locked, "运行时错误 '70':\nPermission denied"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    // Run by a user who may not read the locked file (root may read any file).
    const std::string failure = testing_support::runUnprivileged([&]() -> std::string {
      Desk desk;
      desk.world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
      desk.run(desk.tool().command1, "Protel99se", c.path);
      const std::vector<std::string> shown = desk.messages();
      if (shown != std::vector<std::string>{std::string("Velmora: ") + c.message})
        return "messages: " + (shown.empty() ? std::string("none") : shown.front());
      if (desk.program->ended()) return "the program ended";
      if (desk.world.programs.spreadsheet("Excel.Application")->workbookCount() != 0) return "a workbook was added";
      return "";
    });
    EXPECT_EQ(failure, "");
  }
}

}  // namespace
