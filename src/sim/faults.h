#pragma once
// Faults a test or a session sets on the stand-ins: the next N calls (or every call)
// of a member fail, writing a file fails, and so on.
#include <map>
#include <set>
#include <string>

namespace sim {

class Faults {
 public:
  static constexpr long kAlways = -1;
  // From now on the next `times` calls of member in scope fail (kAlways: every call).
  // Scope is "spreadsheet" or a PADS program identifier (any letter case).
  void set(const std::string& scope, const std::string& member, long times = kAlways);
  // Whether this call fails; counts the call down.
  bool hit(const std::string& scope, const std::string& member);
  // Raises error 1004 (spreadsheet) or a PADS automation error when the call fails.
  void check(const std::string& scope, const std::string& member);
  // Whether any member fault is set: a cheap test that lets a stand-in skip check()
  // (and building its arguments) on the common path.
  bool any() const { return !members_.empty(); }

  void failWrites(const std::string& localPath);
  // Whether writing the file fails: its path as given or made absolute and canonical.
  bool writeFails(const std::string& localPath) const;

  // The PADS attribute-add refusal of "fault pads PROGID add".
  void refuseChangedAdds(const std::string& progId);
  bool refusesChangedAdds(const std::string& progId) const;

  void clear();

 private:
  static std::string key(const std::string& scope, const std::string& member);
  std::map<std::string, long> members_;
  std::set<std::string> writes_;
  std::set<std::string> refuseAdds_;
};

}  // namespace sim
