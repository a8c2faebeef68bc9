#include "formats/sheet_names.h"

#include <set>
#include <string>

#include "vb/text.h"

namespace formats {

namespace {

std::string usableText(const std::string& name) {
  std::string out;
  for (char32_t cp : vb::codepoints(name)) {
    if (cp < 0x20 || cp == 0xFFFE || cp == 0xFFFF) continue;
    if (cp < 0x80 && kSheetNameForbidden.find(static_cast<char>(cp)) != std::string_view::npos) cp = '_';
    vb::appendUtf8(out, cp);
  }
  size_t first = out.find_first_not_of('\''), last = out.find_last_not_of('\'');
  out = first == std::string::npos ? std::string() : out.substr(first, last - first + 1);
  return vb::left(out, kMaxSheetNameChars);
}

}  // namespace

void repairSheetNames(std::vector<std::string>& names) {
  std::set<std::string> taken;  // upper-cased
  for (size_t i = 0; i < names.size(); ++i) {
    std::string& name = names[i];
    std::string base = usableText(name);
    if (base.empty()) base = "Sheet" + std::to_string(i + 1);
    std::string candidate = base;
    for (int k = 2; taken.count(vb::ucase(candidate)); ++k) {
      const std::string suffix = " (" + std::to_string(k) + ")";
      std::string stem = vb::left(base, kMaxSheetNameChars - static_cast<long>(suffix.size()));
      while (!stem.empty() && stem.back() == '\'') stem.pop_back();
      candidate = stem + suffix;
    }
    taken.insert(vb::ucase(candidate));
    name = candidate;
  }
}

void repairSheetNames(WorkbookData& wb) {
  std::vector<std::string> names;
  for (const SheetData& s : wb.sheets) names.push_back(s.name);
  repairSheetNames(names);
  for (size_t i = 0; i < names.size(); ++i) wb.sheets[i].name = std::move(names[i]);
}

std::string sheetNameProblem(std::string_view name) {
  if (name.empty()) return "it is empty";
  if (vb::len(name) > kMaxSheetNameChars) return "it is longer than 31 characters";
  if (name.find_first_of(kSheetNameForbidden) != std::string_view::npos) return "it holds one of : \\ / ? * [ ]";
  if (name.front() == '\'' || name.back() == '\'') return "it begins or ends with an apostrophe";
  return "";
}

bool sameSheetName(std::string_view a, std::string_view b) { return vb::ucase(a) == vb::ucase(b); }

}  // namespace formats
