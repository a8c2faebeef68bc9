#pragma once
// A fresh folder for the files one test writes, removed again when it goes out of scope.
// Its name holds the process id, the running test's name and a counter, so tests run in
// parallel processes (ctest, several build folders) and several folders in one test never
// share one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace testing_support {

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix) {
    static std::atomic<int> counter{0};
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "none";
    for (char& c : name)  // parameterised tests are named "Name/param"
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    dir_ = std::filesystem::temp_directory_path() /
           ("velmora-" + prefix + "-" + std::to_string(::getpid()) + "-" + name + "-" + std::to_string(counter++));
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);  // left over by an earlier process with the same id
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  operator const std::filesystem::path&() const { return dir_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return dir_ / name; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // A file of exactly these bytes in the folder; returns its path.
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::string p = path(name);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) ADD_FAILURE() << "cannot write " << p;
    return p;
  }
  // Lets any user write here, for checks run by an unprivileged child process.
  void openToAll() const { std::filesystem::permissions(dir_, std::filesystem::perms::all); }

 private:
  std::filesystem::path dir_;
};

// The bytes of a file; "" when it cannot be read.
inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
