#include "formats/xlsx_package.h"

#include <expat.h>
#include <unzip.h>

#include <cstring>
#include <exception>
#include <vector>

#include "formats/workbook_file_parts.h"

namespace formats {

namespace {

constexpr uint64_t kMaxUnpackedBytes = uint64_t{2} << 30;
constexpr size_t kChunk = 64 * 1024;

std::string_view localName(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? std::string_view(colon + 1) : std::string_view(name);
}

struct ParseContext {
  XML_Parser parser;
  XmlHandler* handler;
  int depth = 0;
  std::exception_ptr error;
  std::string problem;  // a reason of our own to stop, when there is no exception

  void fail(std::exception_ptr e) {
    if (!error) error = e;
    XML_StopParser(parser, XML_FALSE);
  }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto* ctx = static_cast<ParseContext*>(data);
  try {
    ctx->handler->start(localName(name), attrs, ++ctx->depth);
  } catch (...) {
    ctx->fail(std::current_exception());
  }
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
  auto* ctx = static_cast<ParseContext*>(data);
  try {
    ctx->handler->end(localName(name), ctx->depth--);
  } catch (...) {
    ctx->fail(std::current_exception());
  }
}

void XMLCALL onText(void* data, const XML_Char* s, int len) {
  auto* ctx = static_cast<ParseContext*>(data);
  try {
    ctx->handler->text(std::string_view(s, static_cast<size_t>(len)));
  } catch (...) {
    ctx->fail(std::current_exception());
  }
}

// Package parts never carry a document type; refusing it shuts out entity tricks.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* ctx = static_cast<ParseContext*>(data);
  ctx->problem = "a part declares a document type";
  XML_StopParser(ctx->parser, XML_FALSE);
}

// Parses one part with the package's parser: the one of an earlier part, reset, or a new
// one the package keeps (making one allocates a dozen tables).
class Parser {
 public:
  Parser(void*& kept, XmlHandler& handler) {
    XML_Parser p = static_cast<XML_Parser>(kept);
    if (!p || !XML_ParserReset(p, nullptr)) {
      if (p) XML_ParserFree(p);
      kept = p = XML_ParserCreate(nullptr);
      if (!p) throw std::bad_alloc();
    }
    p_ = p;
    ctx_.parser = p_;
    ctx_.handler = &handler;
    XML_SetUserData(p_, &ctx_);
    XML_SetElementHandler(p_, onStart, onEnd);
    XML_SetCharacterDataHandler(p_, onText);
    XML_SetStartDoctypeDeclHandler(p_, onDoctype);
  }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // False with a reason in `why` when the XML is malformed; a handler's exception is rethrown.
  bool feed(const char* data, int len, bool last, std::string& why) {
    if (XML_Parse(p_, data, len, last ? 1 : 0) == XML_STATUS_OK) return true;
    if (ctx_.error) std::rethrow_exception(ctx_.error);
    why = !ctx_.problem.empty() ? ctx_.problem
                                : std::string("malformed XML: ") + XML_ErrorString(XML_GetErrorCode(p_)) + " at line " +
                                      std::to_string(XML_GetCurrentLineNumber(p_));
    return false;
  }

 private:
  XML_Parser p_;
  ParseContext ctx_;
};

// The folder of a part name, with its trailing slash ("xl/" for "xl/workbook.xml").
std::string folderOf(const std::string& part) {
  size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target resolved against the source part's folder.
std::string resolveTarget(const std::string& sourcePart, const std::string& target) {
  std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : folderOf(sourcePart) + target;
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t slash = joined.find('/', start);
    if (slash == std::string::npos) slash = joined.size();
    std::string seg = joined.substr(start, slash - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = slash + 1;
  }
  std::string out;
  for (const auto& s : segments) out += (out.empty() ? "" : "/") + s;
  return out;
}

class RelationshipsHandler : public XmlHandler {
 public:
  RelationshipsHandler(const std::string& sourcePart, std::map<std::string, Relationship>& out)
      : source_(sourcePart), out_(out) {}
  void start(std::string_view name, const char** attrs, int) override {
    if (name != "Relationship") return;
    const char* id = attribute(attrs, "Id");
    const char* type = attribute(attrs, "Type");
    const char* target = attribute(attrs, "Target");
    const char* mode = attribute(attrs, "TargetMode");
    if (!id || !type || !target || (mode && std::strcmp(mode, "External") == 0)) return;
    std::string t = type;
    size_t slash = t.rfind('/');
    out_[id] = Relationship{slash == std::string::npos ? t : t.substr(slash + 1), resolveTarget(source_, target)};
  }

 private:
  const std::string& source_;
  std::map<std::string, Relationship>& out_;
};

}  // namespace

const char* attribute(const char** attrs, std::string_view name) {
  for (const char** a = attrs; a && *a; a += 2)
    if (localName(a[0]) == name) return a[1];
  return nullptr;
}

XlsxPackage::XlsxPackage(const std::string& path) : path_(path), bytesRead_(std::make_shared<std::atomic<uint64_t>>(0)) {
  zip_ = unzOpen64(path.c_str());
  if (!zip_) notAWorkbook(path, "not a zip archive, or a truncated one");
}

XlsxPackage XlsxPackage::another() const {
  XlsxPackage copy(path_);
  copy.entries_ = entries_;  // the same file: its entries lie where they lie here
  copy.bytesRead_ = bytesRead_;
  return copy;
}

XlsxPackage::XlsxPackage(XlsxPackage&& other) noexcept
    : path_(std::move(other.path_)),
      zip_(other.zip_),
      entries_(std::move(other.entries_)),
      xml_(other.xml_),
      chunk_(std::move(other.chunk_)),
      bytesRead_(std::move(other.bytesRead_)) {
  other.zip_ = nullptr;
  other.xml_ = nullptr;
}

XlsxPackage::~XlsxPackage() {
  if (zip_) unzClose(static_cast<unzFile>(zip_));
  if (xml_) XML_ParserFree(static_cast<XML_Parser>(xml_));
}

namespace {

// The longest entry name minizip reads (UNZ_MAXFILENAMEINZIP of its unzip.c); a longer
// one is cut there, and a longer name is never found.
constexpr size_t kMaxEntryName = 256;

// A name as minizip compares names without regard to case: ASCII letters in upper case.
std::string foldedName(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

// As unzLocateFile(zip, part, 2) finds a part: the first entry of that name in any case,
// names as minizip reads them.
bool XlsxPackage::locate(const std::string& part) {
  unzFile zip = static_cast<unzFile>(zip_);
  if (!entries_) {
    entries_.emplace();
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
      char name[kMaxEntryName + 1] = {};
      unz64_file_pos at{};
      if (unzGetCurrentFileInfo64(zip, nullptr, name, kMaxEntryName, nullptr, 0, nullptr, 0) != UNZ_OK ||
          unzGetFilePos64(zip, &at) != UNZ_OK)
        break;
      entries_->try_emplace(foldedName(name), EntryAt{at.pos_in_zip_directory, at.num_of_file});
    }
  }
  if (part.size() >= kMaxEntryName) return false;
  auto it = entries_->find(foldedName(part));
  if (it == entries_->end()) return false;
  const unz64_file_pos at{it->second.directoryOffset, it->second.entryNumber};
  return unzGoToFilePos64(zip, &at) == UNZ_OK;
}

bool XlsxPackage::has(const std::string& part) { return locate(part); }

uint64_t XlsxPackage::claimedSize(const std::string& part) {
  unz_file_info64 info{};
  if (!locate(part) ||
      unzGetCurrentFileInfo64(static_cast<unzFile>(zip_), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return 0;
  return info.uncompressed_size;
}

void XlsxPackage::parse(const std::string& part, XmlHandler& handler) {
  unzFile zip = static_cast<unzFile>(zip_);
  if (!locate(part)) notAWorkbook(path_, "the part " + part + " is missing");
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    notAWorkbook(path_, "the zip entry " + part + " cannot be read");
  if (info.flag & 1) notAWorkbook(path_, "the zip entry " + part + " is encrypted");
  if (unzOpenCurrentFile(zip) != UNZ_OK) notAWorkbook(path_, "the zip entry " + part + " cannot be read");

  struct CloseEntry {
    unzFile z;
    bool open = true;
    ~CloseEntry() {
      if (open) unzCloseCurrentFile(z);
    }
  } entry{zip};

  Parser parser(xml_, handler);
  if (!chunk_) chunk_.reset(new char[kChunk]);
  char* const buf = chunk_.get();
  std::string why;
  for (;;) {
    int n = unzReadCurrentFile(zip, buf, static_cast<unsigned>(kChunk));
    if (n < 0) notAWorkbook(path_, "the zip entry " + part + " is damaged");
    if (*bytesRead_ += static_cast<uint64_t>(n); *bytesRead_ > kMaxUnpackedBytes)
      notAWorkbook(path_, "it unpacks to more than 2 GB");
    if (!parser.feed(buf, n, n == 0, why)) notAWorkbook(path_, part + ": " + why);
    if (n == 0) break;
  }
  entry.open = false;
  if (unzCloseCurrentFile(zip) != UNZ_OK) notAWorkbook(path_, "the zip entry " + part + " fails its checksum");
}

std::map<std::string, Relationship> XlsxPackage::relationships(const std::string& part) {
  std::map<std::string, Relationship> out;
  std::string folder = folderOf(part);
  std::string relsPart = folder + "_rels/" + part.substr(folder.size()) + ".rels";
  if (!has(relsPart)) return out;
  RelationshipsHandler h(part, out);
  parse(relsPart, h);
  return out;
}

}  // namespace formats
