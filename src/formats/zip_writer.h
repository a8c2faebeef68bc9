#pragma once
// A zip archive written part by part, as the .xlsx package needs it. A large part is
// deflated in pieces on several threads (each piece ends on a byte boundary with a sync
// flush, so the pieces join into one deflate stream), and the archive is written in one
// go when it is finished. No part may exceed 4 GB, the limit of a zip archive without
// extensions.
#include <cstdint>
#include <deque>
#include <future>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

class ZipWriter {
 public:
  // A part being written: its text comes in pieces, in order.
  class Part {
   public:
    // Deflates the piece: a large one on another thread when there is one to spare, a
    // small one on this thread.
    void write(std::string&& piece);
    std::string& buffer() { return buffer_; }  // a piece being assembled; flush() hands it on
    void flush();

    struct Deflated {
      std::string bytes;
      uint32_t crc = 0;
      uint64_t size = 0;  // of the text before deflation
    };

   private:
    friend class ZipWriter;
    explicit Part(std::string name, int level);
    void collect(Deflated&& d);
    void finish();

    std::string name_;
    int level_;
    std::string buffer_;
    std::deque<std::future<Deflated>> pending_;
    std::string data_;  // the deflated stream so far
    uint32_t crc_ = 0;
    uint64_t size_ = 0;
  };

  // level: the deflate level (1 fastest).
  explicit ZipWriter(int level = 1) : level_(level) {}

  // A new part; the reference stays valid until finish.
  Part& part(const std::string& name);
  // A whole part in one piece.
  void add(const std::string& name, std::string_view text);
  // The archive's bytes: every part, then the central directory. Throws std::length_error
  // when a part or the archive grows beyond 4 GB.
  std::string finish();

 private:
  int level_;
  std::deque<Part> parts_;
};

// The size of the pieces the writers hand to a part: large enough to deflate well, small
// enough to keep every thread busy.
inline constexpr size_t kZipPieceBytes = 1 << 20;

}  // namespace formats
