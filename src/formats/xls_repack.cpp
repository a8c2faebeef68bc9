#include "formats/xls_repack.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

#include "formats/workbook_file_parts.h"

namespace formats {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSector = 0xFFFFFFFF;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr size_t kMaxFileBytes = size_t{512} << 20;

constexpr uint16_t kSst = 0x00FC, kContinue = 0x003C, kExtSst = 0x00FF, kBoundSheet = 0x0085;
constexpr size_t kMaxRecordData = 8224;

uint16_t u16(std::string_view d, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8);
}
uint32_t u32(std::string_view d, size_t at) { return u16(d, at) | static_cast<uint32_t>(u16(d, at + 2)) << 16; }
void put16(std::string& d, size_t at, uint16_t v) {
  d[at] = static_cast<char>(v & 0xFF);
  d[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string& d, size_t at, uint32_t v) {
  put16(d, at, static_cast<uint16_t>(v & 0xFFFF));
  put16(d, at + 2, static_cast<uint16_t>(v >> 16));
}
void append16(std::string& d, uint16_t v) {
  d += static_cast<char>(v & 0xFF);
  d += static_cast<char>(v >> 8);
}
void append32(std::string& d, uint32_t v) {
  append16(d, static_cast<uint16_t>(v & 0xFFFF));
  append16(d, static_cast<uint16_t>(v >> 16));
}

struct Malformed {};

// The streams of a compound file (the part of it this work-around needs).
class CompoundFile {
 public:
  explicit CompoundFile(std::string bytes) : d_(std::move(bytes)) {
    if (d_.size() < 512 || d_.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0) throw Malformed{};
    const uint16_t shift = u16(d_, 0x1E);
    if (shift != 9 && shift != 12) throw Malformed{};
    sector_ = size_t{1} << shift;
    miniSector_ = size_t{1} << std::min<uint16_t>(u16(d_, 0x20), 12);
    miniCutoff_ = u32(d_, 0x38);
    readFat(u32(d_, 0x2C), u32(d_, 0x44), u32(d_, 0x48));
    directory_ = chain(u32(d_, 0x30), std::string::npos);
  }

  // The named stream (the first one of these names), or nothing.
  std::optional<std::string> stream(std::initializer_list<std::string_view> names) const {
    std::string root;
    bool haveRoot = false;
    for (size_t e = 0; e + 128 <= directory_.size(); e += 128) {
      std::string_view entry(directory_.data() + e, 128);
      const uint8_t type = static_cast<uint8_t>(entry[0x42]);
      const uint32_t start = u32(entry, 0x74);
      const uint32_t size = u32(entry, 0x78);
      if (type == 5 && !haveRoot) {
        root = chain(start, size);
        haveRoot = true;
        continue;
      }
      if (type != 2) continue;
      const std::string name = entryName(entry);
      if (std::find(names.begin(), names.end(), name) == names.end()) continue;
      if (size >= miniCutoff_) return chain(start, size);
      if (!haveRoot) throw Malformed{};
      return miniChain(root, start, size);
    }
    return std::nullopt;
  }

 private:
  static std::string entryName(std::string_view entry) {
    const size_t bytes = std::min<size_t>(u16(entry, 0x40), 64);
    std::string out;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
      const uint16_t ch = u16(entry, i);
      if (ch == 0) break;
      out += ch < 0x80 ? static_cast<char>(ch) : '?';
    }
    return out;
  }

  std::string_view sector(uint32_t s) const {
    const size_t at = (static_cast<size_t>(s) + 1) * sector_;
    if (at + sector_ > d_.size()) throw Malformed{};
    return std::string_view(d_).substr(at, sector_);
  }

  // Sectors the file holds: no table or chain can use more without repeating one.
  size_t sectorsInFile() const { return d_.size() / sector_; }

  void readFat(uint32_t fatSectors, uint32_t difatStart, uint32_t difatCount) {
    if (fatSectors > sectorsInFile()) throw Malformed{};
    std::vector<uint32_t> fatIds;
    for (size_t i = 0; i < 109 && fatIds.size() < fatSectors; ++i) fatIds.push_back(u32(d_, 0x4C + 4 * i));
    uint32_t next = difatStart;
    for (uint32_t k = 0; k < difatCount && fatIds.size() < fatSectors && next < kFatSector; ++k) {
      std::string_view s = sector(next);
      const size_t per = sector_ / 4 - 1;
      for (size_t i = 0; i < per && fatIds.size() < fatSectors; ++i) fatIds.push_back(u32(s, 4 * i));
      next = u32(s, 4 * per);
    }
    for (uint32_t id : fatIds) {
      std::string_view s = sector(id);
      for (size_t i = 0; i < sector_ / 4; ++i) fat_.push_back(u32(s, 4 * i));
    }
  }

  // A chain of sectors through the FAT, cut to `size` bytes.
  std::string chain(uint32_t start, size_t size) const {
    std::string out;
    size_t steps = 0;
    for (uint32_t s = start; s < kFatSector && out.size() < size; s = fat_[s]) {
      if (s >= fat_.size() || ++steps > std::min(fat_.size(), sectorsInFile())) throw Malformed{};
      out.append(sector(s));
    }
    if (size != std::string::npos) {
      if (out.size() < size) throw Malformed{};
      out.resize(size);
    }
    return out;
  }

  std::string miniChain(const std::string& root, uint32_t start, size_t size) const {
    std::vector<uint32_t> miniFat;
    const std::string table = chain(u32(d_, 0x3C), std::string::npos);
    for (size_t i = 0; i + 4 <= table.size(); i += 4) miniFat.push_back(u32(table, i));
    std::string out;
    size_t steps = 0;
    for (uint32_t s = start; s < kFatSector && out.size() < size; s = miniFat[s]) {
      if (s >= miniFat.size() || ++steps > miniFat.size()) throw Malformed{};
      const size_t at = static_cast<size_t>(s) * miniSector_;
      if (at + miniSector_ > root.size()) throw Malformed{};
      out.append(root, at, miniSector_);
    }
    if (out.size() < size) throw Malformed{};
    out.resize(size);
    return out;
  }

  std::string d_;
  size_t sector_ = 512, miniSector_ = 64;
  uint32_t miniCutoff_ = 4096;
  std::vector<uint32_t> fat_;
  std::string directory_;
};

struct Record {
  uint16_t type;
  size_t offset;  // of the record header in the stream
  std::string_view data;
};

std::vector<Record> records(std::string_view stream) {
  std::vector<Record> out;
  for (size_t at = 0; at + 4 <= stream.size();) {
    const uint16_t type = u16(stream, at), len = u16(stream, at + 2);
    if (type == 0 && len == 0) break;
    if (at + 4 + len > stream.size()) throw Malformed{};
    out.push_back(Record{type, at, stream.substr(at + 4, len)});
    at += 4 + len;
  }
  return out;
}

// Reads the strings of a shared string table that spans its record and the
// CONTINUE records after it; a character array cut by a record boundary goes on
// after a new flags byte.
class SstReader {
 public:
  explicit SstReader(std::vector<std::string_view> segments) : segs_(std::move(segments)) {}
  bool done() {
    while (seg_ < segs_.size() && pos_ >= segs_[seg_].size()) ++seg_, pos_ = 0;
    return seg_ >= segs_.size();
  }
  uint8_t byte() {
    if (done()) throw Malformed{};
    return static_cast<uint8_t>(segs_[seg_][pos_++]);
  }
  uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
  uint32_t dword() { return word() | static_cast<uint32_t>(word()) << 16; }
  void skip(size_t n) {
    while (n--) byte();
  }
  std::u16string text() {
    const uint16_t cch = word();
    const uint8_t flags = byte();
    bool wide = flags & 1;
    const uint16_t runs = flags & 8 ? word() : 0;
    const uint32_t ext = flags & 4 ? dword() : 0;
    std::u16string out;
    while (out.size() < cch) {
      if (seg_ >= segs_.size() || pos_ >= segs_[seg_].size()) {
        if (done()) throw Malformed{};
        wide = byte() & 1;
      }
      out += wide ? static_cast<char16_t>(word()) : static_cast<char16_t>(byte());
    }
    skip(size_t{runs} * 4 + ext);
    return out;
  }

 private:
  std::vector<std::string_view> segs_;
  size_t seg_ = 0, pos_ = 0;
};

// The table again, every text in UTF-16, an empty one as a single NUL. A text that
// does not fit the rest of a record starts a new one; one longer than a record holds
// is cut once, and cut to what two records hold, as libfreexl reads no more.
std::vector<std::string> writeSst(uint32_t total, const std::vector<std::u16string>& texts) {
  constexpr size_t kMaxChars = (kMaxRecordData - 3 + kMaxRecordData - 1) / 2;
  std::vector<std::string> out(1);
  append32(out[0], total);
  append32(out[0], static_cast<uint32_t>(texts.size()));
  for (std::u16string t : texts) {
    if (t.empty()) t = std::u16string(1, u'\0');
    if (t.size() > kMaxChars) t.resize(kMaxChars);
    if (out.back().size() + 3 + 2 * t.size() > kMaxRecordData && out.back().size() > (out.size() == 1 ? 8u : 0u))
      out.emplace_back();
    append16(out.back(), static_cast<uint16_t>(t.size()));
    out.back() += '\x01';
    for (char16_t ch : t) {
      if (out.back().size() + 2 > kMaxRecordData) {
        out.emplace_back();
        out.back() += '\x01';
      }
      append16(out.back(), static_cast<uint16_t>(ch));
    }
  }
  return out;
}

void appendRecord(std::string& stream, uint16_t type, std::string_view data) {
  append16(stream, type);
  append16(stream, static_cast<uint16_t>(data.size()));
  stream.append(data);
}

// The workbook stream with its shared string table written anew and the sheet
// positions of the BOUNDSHEET records moved to match.
std::string rewriteStream(std::string_view stream) {
  const std::vector<Record> recs = records(stream);
  std::string out;
  std::map<size_t, size_t> moved;  // old record offset -> new offset
  std::vector<size_t> sheetPositions;
  bool sstDone = false;
  for (size_t i = 0; i < recs.size(); ++i) {
    const Record& r = recs[i];
    moved[r.offset] = out.size();
    if (r.type == kExtSst) continue;  // its offsets into the old table would be wrong
    if (r.type == kSst) {
      if (sstDone || r.data.size() < 8) throw Malformed{};
      std::vector<std::string_view> segs{r.data.substr(8)};
      size_t j = i + 1;
      for (; j < recs.size() && recs[j].type == kContinue; ++j) segs.push_back(recs[j].data);
      SstReader reader(segs);
      std::vector<std::u16string> texts;
      const uint32_t unique = u32(r.data, 4);
      while (texts.size() < unique && !reader.done()) texts.push_back(reader.text());
      const std::vector<std::string> parts = writeSst(u32(r.data, 0), texts);
      for (size_t k = 0; k < parts.size(); ++k) appendRecord(out, k == 0 ? kSst : kContinue, parts[k]);
      for (size_t k = i + 1; k < j; ++k) moved[recs[k].offset] = out.size();
      i = j - 1;
      sstDone = true;
      continue;
    }
    if (r.type == kBoundSheet && r.data.size() >= 4) sheetPositions.push_back(out.size() + 4);
    appendRecord(out, r.type, r.data);
  }
  for (size_t at : sheetPositions) {
    auto it = moved.find(u32(out, at));
    if (it != moved.end()) put32(out, at, static_cast<uint32_t>(it->second));
  }
  return out;
}

// A compound file of 4096-byte sectors that holds only the workbook stream.
std::string writeCompoundFile(std::string stream) {
  constexpr size_t kSector = 4096, kPerFat = kSector / 4;
  if (stream.size() <= 4096) stream.resize(4097, '\0');  // kept out of the mini stream
  const size_t data = (stream.size() + kSector - 1) / kSector;
  size_t fats = 1;
  while (fats * kPerFat < data + fats + 1) ++fats;
  if (fats > 109) throw Malformed{};
  const size_t dir = data + fats;

  std::string file((dir + 2) * kSector, '\0');
  std::memcpy(file.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  put16(file, 0x18, 0x003E);
  put16(file, 0x1A, 0x0004);
  put16(file, 0x1C, 0xFFFE);
  put16(file, 0x1E, 12);
  put16(file, 0x20, 6);
  put32(file, 0x28, 1);
  put32(file, 0x2C, static_cast<uint32_t>(fats));
  put32(file, 0x30, static_cast<uint32_t>(dir));
  put32(file, 0x38, 4096);
  put32(file, 0x3C, kEndOfChain);
  put32(file, 0x44, kEndOfChain);
  for (size_t i = 0; i < 109; ++i)
    put32(file, 0x4C + 4 * i, i < fats ? static_cast<uint32_t>(data + i) : kFreeSector);

  auto at = [&](size_t sector) { return (sector + 1) * kSector; };
  std::memcpy(file.data() + at(0), stream.data(), stream.size());
  for (size_t i = 0; i < fats * kPerFat; ++i) {
    uint32_t v = kFreeSector;
    if (i < data) v = i + 1 < data ? static_cast<uint32_t>(i + 1) : kEndOfChain;
    else if (i < data + fats) v = kFatSector;
    else if (i == dir) v = kEndOfChain;
    put32(file, at(data) + 4 * i, v);
  }
  auto entry = [&](size_t index, std::u16string_view name, uint8_t type, uint32_t child, uint32_t start,
                   uint32_t size) {
    const size_t e = at(dir) + 128 * index;
    for (size_t k = 0; k < name.size(); ++k) put16(file, e + 2 * k, static_cast<uint16_t>(name[k]));
    put16(file, e + 0x40, static_cast<uint16_t>(2 * (name.size() + 1)));
    file[e + 0x42] = static_cast<char>(type);
    file[e + 0x43] = 1;
    put32(file, e + 0x44, kFreeSector);
    put32(file, e + 0x48, kFreeSector);
    put32(file, e + 0x4C, child);
    put32(file, e + 0x74, start);
    put32(file, e + 0x78, size);
  };
  entry(0, u"Root Entry", 5, 1, kEndOfChain, 0);
  entry(1, u"Workbook", 2, kFreeSector, 0, static_cast<uint32_t>(stream.size()));
  for (size_t k = 2; k < kSector / 128; ++k) {
    const size_t e = at(dir) + 128 * k;
    put32(file, e + 0x44, kFreeSector);
    put32(file, e + 0x48, kFreeSector);
    put32(file, e + 0x4C, kFreeSector);
  }
  return file;
}

}  // namespace

std::string repackWorkbook(const std::string& path) {
  try {
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (!in || size < 0) notAWorkbook(path, "the file cannot be read");
    if (static_cast<size_t>(size) > kMaxFileBytes) notAWorkbook(path, "the file is larger than 512 MB");
    in.seekg(0);
    std::string bytes(std::istreambuf_iterator<char>(in), (std::istreambuf_iterator<char>()));
    const CompoundFile cf(std::move(bytes));
    const std::optional<std::string> stream = cf.stream({"Workbook", "Book"});
    if (!stream) notAWorkbook(path, "the file holds no workbook stream");
    return writeCompoundFile(rewriteStream(*stream));
  } catch (const Malformed&) {
    notAWorkbook(path, "damaged compound document or BIFF data");
  }
}

}  // namespace formats
