// Whole flows played as sessions: each tests/e2e/NAME.session runs to its end, and every
// workbook it leaves open is compared, cell by cell with values, formats, fills, bold
// cells, borders, widths and filters, with the text in tests/e2e/NAME.expected that a
// person checked. Each session plays in a copy of its folder and fixtures. A run that differs leaves its text in the build folder for review.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/session.h"
#ifdef _WIN32
#include "app/screen_front_end.h"
#include "sim/win/served_programs.h"
#endif
#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "support/workbook_dump.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::ScratchDir;

// Plays the session NAME and compares what it printed and the workbooks it left with
// NAME.expected.
void playAndCompare(const std::string& name, const app::ProgramsBridge& bridge = {}) {
  fs::path dir = fs::path(VELMORA_SOURCE_DIR) / "tests" / "e2e";
  const ScratchDir scratch("golden");
  const fs::path out = scratch / "out";  // made by the run
  // The session plays in a copy of its folder (beside a copy of examples/, which sessions
  // name as ../../examples), so the files its commands rewrite (netlists) are copies.
  const fs::path played = scratch / "tests" / "e2e";
  fs::create_directories(played);
  fs::copy_file(dir / (name + ".session"), played / (name + ".session"));
  fs::copy(dir / "fixtures", played / "fixtures", fs::copy_options::recursive);
  fs::copy(fs::path(VELMORA_SOURCE_DIR) / "examples", scratch / "examples", fs::copy_options::recursive);
  std::ostringstream printed, errors;
#ifdef _WIN32
  // On Windows the session plays against the real windows, checked against the model after every step.
  const auto screen = app::realSessionScreen(std::nullopt);
  int code = app::playSession((played / (name + ".session")).string(), out.string(), printed, errors, screen.get(),
                              bridge);
#else
  int code = app::playSession((played / (name + ".session")).string(), out.string(), printed, errors, nullptr, bridge);
#endif
  ASSERT_EQ(code, 0) << errors.str();
  std::vector<fs::path> books;
  for (const auto& e : fs::directory_iterator(out)) books.push_back(e.path());
  std::sort(books.begin(), books.end());
  std::string actual = "-- printed\n" + printed.str();
  for (const auto& b : books) {
    actual += "-- workbook " + b.filename().string() + "\n";
    actual += testing_support::dumpWorkbook(formats::loadWorkbookFile(b.string()));
  }
  std::string expected = readBytes(dir / (name + ".expected"));
  if (actual != expected) {
    fs::path review = fs::current_path() / (name + (bridge ? ".automation" : "") + ".actual");
    std::ofstream(review, std::ios::binary) << actual;
    FAIL() << "the workbooks differ from " << name << ".expected; this run is in " << review;
  }
}

class GoldenSession : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenSession, LeavesTheWorkbooksAPersonChecked) { playAndCompare(GetParam()); }

#ifdef _WIN32
// The same sessions with the program driving the stand-ins through automation, as it
// drives the real programs: every call goes through the programs' object model over COM.
class GoldenSessionThroughAutomation : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenSessionThroughAutomation, LeavesTheSameWorkbooks) {
  playAndCompare(GetParam(), [](sim::SimPrograms& programs) -> std::unique_ptr<platform::Programs> {
    return std::make_unique<sim::win::ProgramsThroughAutomation>(programs);
  });
}
#endif

std::vector<std::string> goldenSessions() {
  std::vector<std::string> names;
  fs::path dir = fs::path(VELMORA_SOURCE_DIR) / "tests" / "e2e";
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".expected") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
  std::string n = info.param;
  for (char& c : n)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSession, ::testing::ValuesIn(goldenSessions()), testName);
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSessionThroughAutomation, ::testing::ValuesIn(goldenSessions()), testName);
#endif

}  // namespace
