#pragma once
// A Protel 99 SE or Altium Designer netlist held as its lines, for the netlist tools that
// read it and replace comment lines in it. Each line keeps its bytes and is decoded for
// comparison (by the rule of vb/text_lines.h); a rewrite writes every line back followed
// by CR LF, unchanged lines byte for byte, changed ones in the file's encoding, through a
// temporary file renamed over the original. The buffer holds every line of the file.
#include <cstddef>
#include <string>

#include "platform/files.h"
#include "vb/text_lines.h"

namespace compare {

// The toolbar's netlist dialog, as the netlist tools set it up.
inline constexpr const char* kNetlistFilter = "文件类型(*.net)|*.net";
inline constexpr const char* kNetlistTitle = "请选择Protel99se或者Altium Designer的net文件";

class NetlistLineBuffer {
 public:
  // The whole file; a file that cannot be read is the caller's error (53, 70). An empty
  // file holds one empty line.
  static NetlistLineBuffer read(platform::Files& files, const std::string& path);

  size_t size() const { return file_.lines.size(); }
  // Line k (from 0) as text; "" beyond the last line.
  const std::string& text(size_t k) const;
  void replace(size_t k, std::string text);

  // The component section ends at the first line "(" (the nets follow), or at the end.
  size_t componentSectionEnd() const;
  // Whether line k holds a component's designator: a line at an odd index, right after a
  // line "[", not empty, whose comment line k + 2 lies in the component section too (so a
  // replaced comment never lands in the nets, and a comment that equals a designator never
  // counts as one).
  bool isDesignatorLine(size_t k, size_t sectionEnd) const;
  // The file at path replaced by the lines; a failure is the caller's error (75).
  void rewrite(platform::Files& files, const std::string& path) const;

 private:
  vb::TextLines file_;
};

}  // namespace compare
