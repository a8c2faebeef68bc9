#pragma once
// The one error of the file formats: a file that cannot be read (or written) as what it
// should be. It names the file, the place in it (empty when the problem is the whole
// file) and what is wrong; what() is the text a user is shown. The stand-ins turn it
// into the error their program reports where they open or save a file.
#include <stdexcept>
#include <string>

namespace formats {

class FileError : public std::runtime_error {
 public:
  enum class Kind {
    Missing,       // there is no such file
    Inaccessible,  // there, but no file this user can read (a folder, no permission)
    Malformed,     // read, but not a file of its kind, or damaged
    Unwritable,    // it cannot be written
  };
  FileError(Kind kind, std::string file, std::string place, std::string problem, const std::string& message)
      : std::runtime_error(message),
        kind_(kind),
        file_(std::move(file)),
        place_(std::move(place)),
        problem_(std::move(problem)) {}

  Kind kind() const { return kind_; }
  const std::string& file() const { return file_; }
  const std::string& place() const { return place_; }
  const std::string& problem() const { return problem_; }

 private:
  Kind kind_;
  std::string file_, place_, problem_;
};

}  // namespace formats
