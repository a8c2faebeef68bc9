#pragma once
// The registry of child jobs, shared by the platforms' ways of starting a child.
#include <string_view>

#include "formats/child_process.h"

namespace formats {

// The job of that name, nullptr when none is registered.
ChildJob findChildJob(std::string_view name);

// The argument that starts an executable as the child of a job: "--child-job NAME".
constexpr std::string_view kChildJobArgument = "--child-job";

}  // namespace formats
