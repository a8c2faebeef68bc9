#include "capture/coordinate_report.h"

#include <algorithm>

#include "platform/files.h"
#include "vb/ansi.h"
#include "vb/convert.h"
#include "vb/text.h"

namespace capture {

namespace {

constexpr long kColumns = 13;
// The column names of both files: fixed, whatever the sheet's sixth heading says.
const char* const kNames[kColumns] = {"No.",   "Value", "PartDecal", "Qty", "RefDes", "Part Type", "Pins",
                                      "layer", "Orient", "X",       "Y",   "SMD",    "Glued"};

std::string titleLine(const CoordinateReport& r) { return "Bill Of Materials for " + r.designName + " on  " + r.date; }

// The text followed by as many blanks as the width exceeds its length (in characters);
// a longer text is kept whole.
void appendPadded(std::string& line, const std::string& text, long width) {
  line += text;
  line.append(static_cast<size_t>(std::max(0L, width - vb::len(text))), ' ');
}

// A value inside double quotes; a quote inside it is doubled.
void appendQuoted(std::string& line, const std::string& text) {
  line += '"';
  for (char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::vector<vb::AnsiLine> ansiLines(const std::vector<std::string>& lines) {
  std::vector<vb::AnsiLine> out;
  out.reserve(lines.size());
  for (const auto& l : lines) out.push_back(vb::AnsiLine::fromText(l));
  return out;
}

}  // namespace

std::string programFolder(platform::Desktop& desktop) { return desktop.programFolder(); }

void showInNotepad(platform::Desktop& desktop, const std::string& path) { desktop.startProcess({"notepad", path}); }

std::string reportCellText(const vb::Variant& v) {
  if (v.isEmpty()) return "";
  if (v.isNumber()) return vb::numberText(v.number());
  return vb::toText(v);
}

std::vector<std::string> reportTxtLines(const CoordinateReport& r) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(r.rows.rows()) + 2);
  lines.push_back(titleLine(r));
  std::string header;
  for (long c = 0; c < kColumns - 1; ++c) appendPadded(header, kNames[c], r.width);
  header += kNames[kColumns - 1];
  lines.push_back(std::move(header));
  for (long i = 1; i <= r.rows.rows(); ++i) {
    std::string line;
    for (long c = 1; c < kColumns; ++c) appendPadded(line, reportCellText(r.rows(i, c)), r.width);
    line += reportCellText(r.rows(i, kColumns));
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> reportCsvLines(const CoordinateReport& r) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(r.rows.rows()) + 2);
  lines.push_back(titleLine(r));
  std::string header;
  for (long c = 0; c < kColumns; ++c) {
    if (c) header += ',';
    header += kNames[c];
  }
  lines.push_back(std::move(header));
  for (long i = 1; i <= r.rows.rows(); ++i) {
    std::string line;
    for (long c = 1; c <= kColumns; ++c) {
      if (c > 1) line += ',';
      appendQuoted(line, reportCellText(r.rows(i, c)));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void writeCoordinateReport(platform::Services& s, const CoordinateReport& report) {
  std::string folder = programFolder(s.desktop);
  std::string txt = platform::joinPath(folder, "report.txt");
  s.files.writeLines(txt, ansiLines(reportTxtLines(report)));
  showInNotepad(s.desktop, txt);
  std::string csv = platform::joinPath(folder, "report.csv");
  s.files.writeLines(csv, ansiLines(reportCsvLines(report)));
  showInNotepad(s.desktop, csv);
}

}  // namespace capture
