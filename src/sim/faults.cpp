#include "sim/faults.h"

#include <filesystem>

#include "platform/files.h"
#include "vb/error.h"
#include "vb/text.h"

namespace sim {

std::string Faults::key(const std::string& scope, const std::string& member) {
  return vb::lcase(scope) + "\n" + member;
}

void Faults::set(const std::string& scope, const std::string& member, long times) {
  members_[key(scope, member)] = times;
}

bool Faults::hit(const std::string& scope, const std::string& member) {
  auto it = members_.find(key(scope, member));
  if (it == members_.end()) return false;
  if (it->second == kAlways) return true;
  if (it->second <= 0) return false;
  if (--it->second == 0) members_.erase(it);
  return true;
}

void Faults::check(const std::string& scope, const std::string& member) {
  if (!hit(scope, member)) return;
  if (vb::lcase(scope) == "spreadsheet") vb::raise(vb::kAppDefined, member + " failed");
  vb::raise(vb::kAppDefined, "Automation error: " + member + " failed");
}

namespace {

// The path made absolute and canonical, with one kind of separator (Windows takes both).
std::string canonicalPath(const std::string& localPath) {
  std::error_code ec;
  return platform::genericTextOf(std::filesystem::weakly_canonical(std::filesystem::absolute(platform::pathOf(localPath), ec), ec));
}

}  // namespace

void Faults::failWrites(const std::string& localPath) {
  writes_.insert(localPath);
  writes_.insert(canonicalPath(localPath));
}

bool Faults::writeFails(const std::string& localPath) const {
  if (writes_.empty()) return false;
  return writes_.count(localPath) || writes_.count(canonicalPath(localPath));
}

void Faults::refuseChangedAdds(const std::string& progId) { refuseAdds_.insert(vb::lcase(progId)); }

bool Faults::refusesChangedAdds(const std::string& progId) const {
  return refuseAdds_.count(vb::lcase(progId)) != 0;
}

void Faults::clear() {
  members_.clear();
  writes_.clear();
  refuseAdds_.clear();
}

}  // namespace sim
