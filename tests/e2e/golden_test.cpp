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
#endif
#include "formats/workbook_files.h"
#include "support/scratch_dir.h"
#include "support/workbook_dump.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::ScratchDir;

class GoldenSession : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenSession, LeavesTheWorkbooksAPersonChecked) {
  fs::path dir = fs::path(VELMORA_SOURCE_DIR) / "tests" / "e2e";
  std::string name = GetParam();
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
  int code = app::playSession((played / (name + ".session")).string(), out.string(), printed, errors, screen.get());
#else
  int code = app::playSession((played / (name + ".session")).string(), out.string(), printed, errors);
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
    fs::path review = fs::current_path() / (name + ".actual");
    std::ofstream(review, std::ios::binary) << actual;
    FAIL() << "the workbooks differ from " << name << ".expected; this run is in " << review;
  }
}

std::vector<std::string> goldenSessions() {
  std::vector<std::string> names;
  fs::path dir = fs::path(VELMORA_SOURCE_DIR) / "tests" / "e2e";
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".expected") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSession, ::testing::ValuesIn(goldenSessions()),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
