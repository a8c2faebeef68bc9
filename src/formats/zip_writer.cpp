#include "formats/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "vb/reuse_pool.h"

namespace formats {

namespace {

constexpr uint64_t kZipLimit = 0xFFFFFFFFull;
constexpr size_t kDeflateHereBytes = kZipPieceBytes / 4;

// Pieces of one part being deflated at a time; several parts may be written at once.
size_t piecesInFlight() {
  const unsigned n = std::thread::hardware_concurrency();
  return std::clamp<size_t>(n == 0 ? 2 : n / 2, 2, 8);
}

void put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint64_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// 1980-01-01 00:00 in the archive's DOS date and time: the parts carry no time of their own.
constexpr unsigned kDosDate = (1 << 5) | 1, kDosTime = 0;

// A deflate state, made for a first piece and reset for the next ones: making one
// allocates and clears a quarter of a megabyte. It keeps the room a piece is deflated
// into, so that a piece's output takes no fresh memory.
class Deflater {
 public:
  Deflater() = default;
  ~Deflater() {
    if (ready_) deflateEnd(&zs_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  z_stream& fresh(int level) {
    if (ready_ && level == level_ && deflateReset(&zs_) == Z_OK) return zs_;
    if (ready_) deflateEnd(&zs_);
    ready_ = false;
    zs_ = z_stream{};
    if (deflateInit2(&zs_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
    ready_ = true;
    level_ = level;
    return zs_;
  }
  // Room for at least n bytes of output.
  unsigned char* output(size_t n) {
    if (output_.size() < n) output_.resize(n);
    return output_.data();
  }

 private:
  std::vector<unsigned char> output_;
  z_stream zs_{};
  bool ready_ = false;
  int level_ = 0;
};

// The piece deflated on its own, ending with a sync flush: an empty stored block that
// brings the stream to a byte boundary without ending it, so the next piece can follow.
ZipWriter::Part::Deflated deflatePiece(const std::string& piece, int level) {
  ZipWriter::Part::Deflated out;
  out.size = piece.size();
  out.crc = static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(piece.data()), static_cast<uInt>(piece.size())));
  static vb::ReusePool<Deflater> deflaters;
  const auto deflater = deflaters.take([] { return std::make_unique<Deflater>(); });
  z_stream& zs = deflater->fresh(level);
  const size_t room = deflateBound(&zs, static_cast<uLong>(piece.size())) + 16;
  unsigned char* output = deflater->output(room);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
  zs.avail_in = static_cast<uInt>(piece.size());
  zs.next_out = output;
  zs.avail_out = static_cast<uInt>(room);
  const int rc = deflate(&zs, Z_SYNC_FLUSH);
  const bool whole = rc == Z_OK && zs.avail_in == 0 && zs.avail_out > 0;
  if (!whole) throw std::bad_alloc();  // the bound above holds the whole piece; this is no space
  out.bytes.assign(reinterpret_cast<const char*>(output), room - zs.avail_out);
  return out;
}

}  // namespace

ZipWriter::Part::Part(std::string name, int level) : name_(std::move(name)), level_(level) {}

void ZipWriter::Part::write(std::string&& piece) {
  while (!piece.empty()) {
    std::string now;
    if (piece.size() > kZipPieceBytes * 2) {  // zlib counts in 32 bits: a huge text goes in pieces
      now.assign(piece, 0, kZipPieceBytes);
      piece.erase(0, kZipPieceBytes);
    } else {
      now = std::move(piece);
      piece.clear();
    }
    while (pending_.size() >= piecesInFlight()) {
      collect(pending_.front().get());
      pending_.pop_front();
    }
    // A large piece goes to a thread of its own; a small one (a small part, or the tail of
    // a large one) costs less to deflate here than a thread costs to start.
    if (now.size() >= kDeflateHereBytes) {
      auto text = std::make_shared<const std::string>(std::move(now));
      try {
        pending_.push_back(std::async(std::launch::async, [text, level = level_] { return deflatePiece(*text, level); }));
        continue;
      } catch (const std::system_error&) {  // no thread to spare: deflate it here
        now = *text;
      }
    }
    std::promise<Deflated> done;
    done.set_value(deflatePiece(now, level_));
    pending_.push_back(done.get_future());
  }
}

void ZipWriter::Part::flush() {
  if (buffer_.empty()) return;
  // The next piece gets room for as much as this one and an eighth more (a full piece
  // and its last row, in a large part); a small part ends with this piece, and a megabyte
  // for it would be wasted.
  const size_t room = std::min(buffer_.size(), kZipPieceBytes);
  std::string piece;
  piece.reserve(room + room / 8);
  std::swap(piece, buffer_);
  write(std::move(piece));
}

void ZipWriter::Part::collect(Deflated&& d) {
  crc_ = static_cast<uint32_t>(crc32_combine(crc_, d.crc, static_cast<z_off_t>(d.size)));
  size_ += d.size;
  data_ += d.bytes;
  if (size_ > kZipLimit || data_.size() > kZipLimit) throw std::length_error(name_ + " is larger than 4 GB");
}

void ZipWriter::Part::finish() {
  flush();
  for (auto& f : pending_) collect(f.get());
  pending_.clear();
  data_ += std::string("\x03\x00", 2);  // the final block: fixed codes, no data
}

ZipWriter::Part& ZipWriter::part(const std::string& name) { return parts_.emplace_back(Part(name, level_)); }

void ZipWriter::add(const std::string& name, std::string_view text) { part(name).write(std::string(text)); }

std::string ZipWriter::finish() {
  std::string out, directory;
  for (Part& p : parts_) {
    p.finish();
    const uint64_t offset = out.size(), deflatedSize = p.data_.size();
    auto header = [&](std::string& h, bool central) {
      put32(h, central ? 0x02014b50 : 0x04034b50);
      if (central) put16(h, 20);  // made by: version 2.0
      put16(h, 20);               // needed: version 2.0 (deflate)
      put16(h, 0);                // no flags
      put16(h, 8);                // deflated
      put16(h, kDosTime);
      put16(h, kDosDate);
      put32(h, p.crc_);
      put32(h, deflatedSize);
      put32(h, p.size_);
      put16(h, static_cast<unsigned>(p.name_.size()));
      put16(h, 0);  // no extra field
      if (central) {
        put16(h, 0);  // no comment
        put16(h, 0);  // disk 0
        put16(h, 0);  // internal attributes
        put32(h, 0);  // external attributes
        put32(h, offset);
      }
      h += p.name_;
    };
    header(out, false);
    out += p.data_;
    p.data_ = std::string();
    header(directory, true);
    if (out.size() > kZipLimit) throw std::length_error("the workbook file is larger than 4 GB");
  }
  const uint64_t dirOffset = out.size();
  out += directory;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<unsigned>(parts_.size()));
  put16(out, static_cast<unsigned>(parts_.size()));
  put32(out, directory.size());
  put32(out, dirOffset);
  put16(out, 0);
  parts_.clear();
  return out;
}

}  // namespace formats
