#include "formats/child_jobs.h"

#include <map>
#include <string>

namespace formats {

namespace {

std::map<std::string, ChildJob, std::less<>>& jobs() {
  static std::map<std::string, ChildJob, std::less<>> all;
  return all;
}

}  // namespace

bool registerChildJob(const char* name, ChildJob job) { return jobs().emplace(name, job).second; }

ChildJob findChildJob(std::string_view name) {
  auto it = jobs().find(name);
  return it == jobs().end() ? nullptr : it->second;
}

}  // namespace formats
