#include "compare/netlist_line_buffer.h"

#include <utility>

namespace compare {

NetlistLineBuffer NetlistLineBuffer::read(platform::Files& files, const std::string& path) {
  NetlistLineBuffer b;
  b.file_ = files.readText(path);
  // A read-then-test loop reads one line from an empty file.
  if (b.file_.lines.empty()) b.file_.lines.push_back(vb::AnsiLine{});
  return b;
}

const std::string& NetlistLineBuffer::text(size_t k) const {
  static const std::string none;
  return k < file_.lines.size() ? file_.lines[k].text : none;
}

void NetlistLineBuffer::replace(size_t k, std::string text) {
  if (k < file_.lines.size()) file_.lines[k] = vb::textLine(std::move(text), file_.encoding);
}

size_t NetlistLineBuffer::componentSectionEnd() const {
  for (size_t k = 0; k < file_.lines.size(); ++k)
    if (file_.lines[k].text == "(") return k;
  return file_.lines.size();
}

bool NetlistLineBuffer::isDesignatorLine(size_t k, size_t sectionEnd) const {
  return k % 2 == 1 && k + 2 < sectionEnd && !file_.lines[k].text.empty() && file_.lines[k - 1].text == "[";
}

void NetlistLineBuffer::rewrite(platform::Files& files, const std::string& path) const {
  files.writeText(path, file_);
}

}  // namespace compare
