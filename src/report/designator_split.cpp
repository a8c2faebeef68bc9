#include "report/designator_split.h"

namespace report {

std::vector<std::string> designatorSplit(std::string_view list, std::string_view sep) {
  std::vector<std::string> out;
  if (sep.empty()) {
    out.emplace_back(list);
    return out;
  }
  // The separator is appended and the piece after the last one dropped, so a separator
  // that could overlap the list's end ("a," split at ",,") splits as the joined text does.
  std::string text(list);
  text += sep;
  size_t from = 0;
  for (size_t at; (at = text.find(sep, from)) != std::string::npos; from = at + sep.size())
    out.push_back(text.substr(from, at - from));
  return out;
}

}  // namespace report
