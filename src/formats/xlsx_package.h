#pragma once
// The parts of an .xlsx package: zip entries read with minizip and streamed through
// expat, so a large sheet is never held in memory as text.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace formats {

// Receives the elements of one XML part. Names come without their namespace prefix
// ("c" for "x:c"); depth is 1 for the root element. A handler may throw: the parse
// stops and the exception leaves XlsxPackage::parse.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void start(std::string_view name, const char** attrs, int depth) = 0;
  virtual void end(std::string_view name, int depth) {}
  virtual void text(std::string_view chars) {}
};

// The value of the attribute with this local name, or nullptr.
const char* attribute(const char** attrs, std::string_view localName);

// A relationship of a part: its type (the last segment of the type URI, such as
// "worksheet") and the target's part name inside the package.
struct Relationship {
  std::string type;
  std::string target;
};

class XlsxPackage {
 public:
  // Opens the file as a zip archive; a file that is none is a FileError.
  explicit XlsxPackage(const std::string& path);
  // The same file opened once more, to read another part on another thread; both count
  // what they unpack against one limit.
  XlsxPackage another() const;
  XlsxPackage(XlsxPackage&& other) noexcept;
  ~XlsxPackage();
  XlsxPackage(const XlsxPackage&) = delete;
  XlsxPackage& operator=(const XlsxPackage&) = delete;

  const std::string& path() const { return path_; }
  bool has(const std::string& part);
  // The size the archive's directory gives for the part unpacked (0 when it is missing):
  // what the file claims, good for planning, not for trusting.
  uint64_t claimedSize(const std::string& part);
  // Streams the part through the handler; malformed XML or a damaged entry is error 1004.
  void parse(const std::string& part, XmlHandler& handler);
  // The relationships of a part ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"),
  // by id; none when the package has no relationships part for it.
  std::map<std::string, Relationship> relationships(const std::string& part);

 private:
  bool locate(const std::string& part);
  std::string path_;
  void* zip_ = nullptr;
  // Where each entry lies in the archive, by its name in upper case (names are matched
  // without regard to case), read from the directory on the first look-up; minizip would
  // read the directory again at each one.
  struct EntryAt {
    uint64_t directoryOffset, entryNumber;
  };
  std::optional<std::unordered_map<std::string, EntryAt>> entries_;
  void* xml_ = nullptr;  // the XML parser of the last part, reset for the next one
  // What parse unpacks into, made on the first parse and kept for the next parts; left
  // uninitialised, since each read fills what it hands on.
  std::unique_ptr<char[]> chunk_;
  // All parts together, of every opening of the file, against packages that unpack to gigabytes.
  std::shared_ptr<std::atomic<uint64_t>> bytesRead_;
};

}  // namespace formats
