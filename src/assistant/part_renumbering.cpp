#include "assistant/part_renumbering.h"

#include <vector>

#include "capture/coordinate_report.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "vb/ansi.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace assistant {

namespace pads = platform::pads;

std::string namePrefix(const std::string& name) {
  size_t end = name.size();
  while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
  return name.substr(0, end);
}

namespace {

// The running number: its text is the start box's as typed until it is first increased.
struct RunningNumber {
  std::string text;
  double value;
  void next() { text = vb::numberText(++value); }
};

void writeReport(platform::Files& files, const std::string& path, const std::vector<std::string>& lines) {
  std::vector<vb::AnsiLine> ansi;
  ansi.reserve(lines.size());
  for (const std::string& l : lines) ansi.push_back(vb::AnsiLine::fromText(l));
  files.writeLines(path, ansi);
}

}  // namespace

RenumberResult changePartNumbers(platform::Services& services, pads::Design& design, const std::string& prefix,
                                 const std::string& start) {
  RenumberResult result;
  const std::string path = platform::joinPath(capture::programFolder(services.desktop), "temp.txt");
  std::vector<std::string> lines;
  std::string name = design.name();
  if (name.empty()) name = "Untitled";
  lines.push_back("Part Number Changes for " + name + " on " +
                  platform::formatDate(services.desktop.today(), services.desktop.shortDateFormat()));
  // The report is created before any part is touched, so a run that cannot report renames nothing.
  try {
    writeReport(services.files, path, lines);
  } catch (const vb::Error& e) {
    result.failure = "无法创建报告文件 " + path + ": " + e.description();
    return result;
  }

  const RunningNumber first{start, vb::val(start)};
  RunningNumber number = first;
  std::string previous;
  bool complete = true;
  try {
    for (pads::Part* part : design.components()) {
      if (!part->selected()) continue;
      const std::string old = part->name();
      if (old.empty()) {  // an unnamed part ends the run
        complete = false;
        break;
      }
      const std::string own = prefix.empty() ? namePrefix(old) : prefix;
      if (!previous.empty() && previous != own) number = first;
      previous = own;
      const std::string renamed = own + number.text;
      std::string line = old + "\t" + part->partType() + "\t";
      try {
        part->rename(renamed);
        line += "Changed to: " + renamed;
        ++result.renamed;
      } catch (const vb::Error&) {
        line += " ***Not Changed ***  Part Number: " + renamed + " Already In Use.";
      }
      lines.push_back(line);
      number.next();  // a refused designator uses up its number
    }
  } catch (const vb::Error& e) {
    complete = false;
    result.failure = "重新编号中断: " + e.description();
  }
  if (complete) lines.push_back("Total part numbers changed:  " + std::to_string(result.renamed) + " ");
  try {
    writeReport(services.files, path, lines);
  } catch (const vb::Error& e) {
    if (result.failure.empty()) result.failure = "无法写入报告文件 " + path + ": " + e.description();
    return result;
  }
  if (result.renamed > 0) capture::showInNotepad(services.desktop, path);
  return result;
}

}  // namespace assistant
