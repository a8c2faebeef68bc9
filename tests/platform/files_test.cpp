// Files the program rewrites: replaced whole through a temporary file beside them, never
// left half written, and the temporary files of a killed write removed by the next one.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/processes.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::ScratchDir;

std::vector<std::string> namesIn(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  ScratchDir dir("files");
  const std::string target = dir.write("report.txt", "old");
  EXPECT_FALSE(platform::replaceFile(target, "new"));
  EXPECT_EQ(readBytes(target), "new");
  struct Refused {};
  EXPECT_THROW(platform::writeThroughTemporary(target,
                                               [](const std::string& temp) {
                                                 std::ofstream(temp) << "half";
                                                 throw Refused{};
                                               }),
               Refused);
  EXPECT_EQ(readBytes(target), "new");
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"report.txt"});
  EXPECT_TRUE(platform::replaceFile(dir.path("no folder/report.txt"), "x").has_value());
}

TEST(ReplaceFile, TheTemporaryFilesOfAKilledWriteGoWithTheNextWrite) {
  ScratchDir dir("files");
  const std::string target = dir.write("Book1.xlsx", "old");
  const std::string dead = ".Book1.xlsx.tmp-" + std::to_string(testing_support::endedProcessId()) + "-0";
  const std::string running = ".Book1.xlsx.tmp-" + std::to_string(testing_support::runningProcessId()) + "-3";  // a process that runs
  const std::string other = ".Book2.xlsx.tmp-" + std::to_string(testing_support::endedProcessId()) + "-0";  // another file's
  for (const std::string& name : {dead, running, other}) dir.write(name, "left over");
  EXPECT_FALSE(platform::replaceFile(target, "new"));
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{running, other, "Book1.xlsx"}));
}

}  // namespace
