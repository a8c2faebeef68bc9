#pragma once
// Runtime errors and the ways a command deals with them.
#include <exception>
#include <string>

namespace vb {

// Error numbers the runtime and the platform raise.
enum ErrorNumber : int {
  kInvalidCall = 5,         // invalid procedure call or argument
  kOverflow = 6,
  kSubscript = 9,           // subscript out of range
  kTypeMismatch = 13,
  kFileNotFound = 53,
  kBadFileMode = 54,
  kPermissionDenied = 70,
  kPathAccess = 75,         // path/file access error
  kObjectNotSet = 91,       // object variable not set
  kKeyExists = 457,         // key already in a keyed collection
  kCannotCreate = 429,      // ActiveX component can't create object
  kAppDefined = 1004,       // application-defined or object-defined error
  kCancelled = 32755,       // the user cancelled a dialog
};

// The standard description of an error number ("Overflow" for 6, ...).
std::string describe(int number);

// A runtime error: a number and a description, as the original runtime reports them.
class Error : public std::exception {
 public:
  explicit Error(int number);
  Error(int number, std::string description);
  int number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int number_;
  std::string description_;
};

// The user cancelled a dialog whose cancel is reported as an error.
class Cancelled : public Error {
 public:
  Cancelled() : Error(kCancelled) {}
};

// The program ends at once: no further step, no close rule, nothing saved.
// Caught only by the Program.
class ProgramEnd : public std::exception {
 public:
  const char* what() const noexcept override { return "program end"; }
};

[[noreturn]] void raise(int number);
[[noreturn]] void raise(int number, const std::string& description);

// SkipOnError: each step runs in its own guard; a failing step is skipped and its
// error number remembered, so a caller can test it (as the attach-or-start idiom
// tests 429). ProgramEnd is never caught.
class SkipOnError {
 public:
  template <class F>
  bool step(F&& f) {
    try {
      f();
      return true;
    } catch (const Error& e) {
      number_ = e.number();
      description_ = e.description();
      return false;
    }
  }
  // Runs f and returns its value, or fallback when it fails.
  template <class T, class F>
  T value(F&& f, T fallback) {
    try {
      return f();
    } catch (const Error& e) {
      number_ = e.number();
      description_ = e.description();
      return fallback;
    }
  }
  int number() const { return number_; }
  const std::string& description() const { return description_; }
  void clear() { number_ = 0; description_.clear(); }

 private:
  int number_ = 0;
  std::string description_;
};

}  // namespace vb
