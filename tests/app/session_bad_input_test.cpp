// Files a session names that cannot be used: the step stops the run with a clear message
// naming the file, the file stays as it was, and the workbooks already made are still
// saved to the --out folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/session.h"
#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "support/unprivileged.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::ScratchDir;

class SessionBadInput : public ::testing::Test {
 protected:
  void SetUp() override { dir.openToAll(); }  // an unprivileged run writes here too
  // Plays the session; its printed lines and errors land in out and err.
  int play(const std::string& text, const std::optional<std::string>& outDir = std::nullopt) {
    const std::string path = dir.write("s.session", text);
    std::ostringstream o, e;
    int code = app::playSession(path, outDir, o, e);
    out = o.str();
    err = e.str();
    return code;
  }
  ScratchDir dir{"session-bad"};
  std::string out, err;
};

const std::string kLq = "\xE2\x80\x9C", kRq = "\xE2\x80\x9D";  // the quotes around a file name

TEST_F(SessionBadInput, AWorkbookFileThatCannotBeOpenedStopsTheRunNamingIt) {
  formats::WorkbookData wb;
  wb.sheets.push_back(formats::SheetData{"BOM", {{1, 1, "Comment", {}}}, {}, {}, {}});
  formats::saveXlsx(wb, dir.path("good.xlsx"));
  const std::string good = readBytes(dir / "good.xlsx");
  dir.write("text.xlsx", "Designator,Comment\r\nR1,10K\r\n");
  dir.write("cut.xlsx", good.substr(0, good.size() / 2));
  fs::create_directories(dir / "folder.xlsx");
  struct Case {
    const char* name;
    std::string problem;
  };
  const Case cases[] = {
      {"text.xlsx", kLq + "text.xlsx" + kRq + " is not a workbook or is damaged (not a zip archive)"},
      {"cut.xlsx", kLq + "cut.xlsx" + kRq + " is not a workbook or is damaged (not a zip archive, or a truncated one)"},
      {"folder.xlsx", kLq + (dir / "folder.xlsx").generic_string() + kRq + " is not a file"},  // as the session names it
      {"missing.xlsx", "File not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = fs::is_regular_file(dir / c.name) ? readBytes(dir / c.name) : "";
    const std::string session = std::string("spreadsheet start Excel.Application\nspreadsheet open good.xlsx\n") +
                                "spreadsheet open " + c.name + "\n";
    EXPECT_EQ(play(session, dir.path("out")), 1);
    EXPECT_EQ(err, dir.path("s.session") + ":3: error: cannot open " + c.name + ": " + c.problem + "\n");
    EXPECT_EQ(out, "message Excel.Application: " + c.problem + "\n");  // the program's own alert
    if (!before.empty()) {
      EXPECT_EQ(readBytes(dir / c.name), before);
    }
    // The workbook opened before the failing step is not lost.
    EXPECT_TRUE(fs::exists(dir / "out" / "good.xlsx"));
    fs::remove_all(dir / "out");
  }
}

TEST_F(SessionBadInput, AFileThisUserMayNotReadStopsTheRunNamingIt) {
  VELMORA_SKIP_WITHOUT_UNREADABLE_FILES();
  formats::WorkbookData wb;
  wb.sheets.push_back(formats::SheetData{"BOM", {{1, 1, "Comment", {}}}, {}, {}, {}});
  formats::saveXlsx(wb, dir.path("locked.xlsx"));
  dir.write("locked.sch", "{\"name\": \"board\"}");
  for (const char* name : {"locked.xlsx", "locked.sch"}) fs::permissions(dir / name, fs::perms::none);
  // Run by a user who may not read the files (root may read any file).
  const std::string failure = testing_support::runUnprivileged([&]() -> std::string {
    if (play("spreadsheet start Excel.Application\nspreadsheet open locked.xlsx\n") != 1) return "xlsx: run went on";
    if (err.find(":2: error: cannot open locked.xlsx: " + kLq + dir.path("locked.xlsx") + kRq +
                 " cannot be opened for reading\n") == std::string::npos)
      return "xlsx: " + err;
    if (play("pads start PowerLogic.Application locked.sch\n") != 1) return "sch: run went on";
    if (err.find(":1: error: cannot open locked.sch: Permission denied: \"" + dir.path("locked.sch") + "\"\n") ==
        std::string::npos)
      return "sch: " + err;
    return "";
  });
  EXPECT_EQ(failure, "");
}

TEST_F(SessionBadInput, ADesignFileOfWrongJsonStopsTheRunNamingIt) {
  const std::string json = "{\"name\": \"board\", \"parts\": [{\"name\": \"R1\",]}";
  dir.write("bad.sch", json);
  EXPECT_EQ(play("pads start PowerLogic.Application bad.sch\n"), 1);
  const std::string problem = "Bad design file \"" + (dir / "bad.sch").generic_string() + "\": not JSON: ";
  EXPECT_EQ(err.rfind(dir.path("s.session") + ":1: error: cannot open bad.sch: " + problem, 0), 0u) << err;
  EXPECT_EQ(out.rfind("message PowerLogic.Application: " + problem, 0), 0u) << out;
  EXPECT_EQ(readBytes(dir / "bad.sch"), json);
}

TEST_F(SessionBadInput, ASessionPathThatIsNoFileIsRefused) {
  // A folder opens as a stream here but reads as nothing: it once played as an empty
  // session that passed.
  for (const fs::path& p : {dir.dir(), dir / "missing.session"}) {
    SCOPED_TRACE(p);
    std::ostringstream o, e;
    EXPECT_EQ(app::playSession(p.string(), std::nullopt, o, e), 1);
    EXPECT_EQ(e.str(), p.string() + ": error: cannot read the session file\n");
  }
}

}  // namespace
