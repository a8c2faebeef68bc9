#ifdef _WIN32
// The tests' main on Windows: the test program is also the child process of the file
// readers' jobs (Windows has no fork), so it runs a job when started as one.
#include <gtest/gtest.h>

#include "formats/child_process.h"

int main(int argc, char** argv) {
  if (auto code = formats::runChildJobIfAsked(argc, argv)) return *code;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
