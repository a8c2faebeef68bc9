#pragma once
// Files on disk. The system names files as the original does, folders joined with
// "\"; such paths become paths of this machine here, at the file boundary.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vb/ansi.h"
#include "vb/text_lines.h"

namespace platform {

// A path of this machine from UTF-8 text, and its text in UTF-8 (natively separated, or
// with "/" between folders): the program's texts are UTF-8 everywhere, while the C++
// library of the Windows build reads a narrow file name as Latin-1.
std::filesystem::path pathOf(std::string_view utf8);
std::string textOf(const std::filesystem::path& path);
std::string genericTextOf(const std::filesystem::path& path);

class Files {
 public:
  virtual ~Files() = default;
  // The whole file; a missing file (or a folder) is error 53, one this user may not
  // read error 70.
  virtual std::string read(const std::string& path);
  // The file replaced by these bytes: written beside it first, then renamed over it,
  // so a failure never leaves a truncated file. A failure is error 75.
  virtual void write(const std::string& path, const std::string& bytes);
  virtual bool exists(const std::string& path);
  virtual void remove(const std::string& path);

  // Text files, line by line. Reading decodes by the rule of vb/text_lines.h; readText
  // keeps the encoding and mark, so writeText rewrites the file in them (lines that did
  // not change keep their bytes). writeLines writes a new 8-bit text file (GBK, CR LF).
  // readLineTexts keeps only the lines' texts, for files that are only read.
  std::vector<vb::AnsiLine> readLines(const std::string& path);
  vb::LineTexts readLineTexts(const std::string& path);
  vb::TextLines readText(const std::string& path);
  void writeText(const std::string& path, const vb::TextLines& file);
  void writeLines(const std::string& path, const std::vector<vb::AnsiLine>& lines);
};

// Every file the program rewrites is written this way: `fill` writes the whole file at
// the temporary path it is given (beside the target, so the rename cannot cross file
// systems), which is then synced to the disk and renamed over the target. The target is
// replaced only by a complete file: when fill throws, the temporary file is removed and
// the exception leaves; when the sync or the rename fails, the temporary file is removed
// and the reason returned. Nothing when the target was replaced. Temporary files that
// earlier writes of the target left behind when their process was killed are removed.
std::optional<std::string> writeThroughTemporary(const std::string& localTarget,
                                                 const std::function<void(const std::string& temporary)>& fill);

// The file replaced by these bytes, through writeThroughTemporary; nothing when it was
// replaced, else what failed.
std::optional<std::string> replaceFile(const std::string& localTarget, std::string_view bytes);

// The path of this machine for a path of the system ("C:\a\b.txt" style separators).
std::string localPath(const std::string& path);
// folder + "\" + name, as the system joins them.
std::string joinPath(const std::string& folder, const std::string& name);
// The last part of a path (after the last "\" or "/").
std::string baseName(const std::string& path);

}  // namespace platform
