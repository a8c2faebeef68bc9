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

TEST(FilePaths, NamesOutsideAsciiReachTheSameFileEveryWay) {
  // The program's texts are UTF-8; the paths made of them must name the file that the
  // byte streams open (the Windows build's library reads narrow names as Latin-1).
  ScratchDir dir("files");
  const std::string folder = platform::textOf(dir.dir()) + "/元件 清单";
  fs::create_directories(platform::pathOf(folder));
  const std::string file = folder + "/板 1.txt";
  platform::Files files;
  files.write(file, "R1");
  EXPECT_TRUE(files.exists(file));
  EXPECT_EQ(files.read(file), "R1");
  EXPECT_EQ(platform::textOf(platform::pathOf(file).filename()), "板 1.txt");
  EXPECT_EQ(namesIn(platform::pathOf(folder)).size(), 1u);
  EXPECT_EQ(platform::textOf(fs::directory_iterator(platform::pathOf(folder))->path().filename()), "板 1.txt");
  files.write(file, "R2");  // replaced through a temporary file beside it
  EXPECT_EQ(files.read(file), "R2");
  files.remove(file);
  EXPECT_FALSE(files.exists(file));
}

}  // namespace
