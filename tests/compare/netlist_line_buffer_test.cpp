// A netlist held as its lines and written back: unchanged lines keep their bytes, every
// line ends in CR LF, the file's encoding and mark stay, and no line limit applies.
#include "compare/netlist_line_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "support/scratch_dir.h"

namespace {

using compare::NetlistLineBuffer;
using testing_support::readBytes;
using testing_support::ScratchDir;

TEST(NetlistLineBuffer, RewritesEveryLineEndingInCrLf) {
  const ScratchDir dir("line-buffer");
  platform::Files files;
  struct Case {
    const char* what;
    std::string bytes, rewritten;
    size_t lines;
  };
  const Case cases[] = {
      {"an empty file is one empty line", "", "\r\n", 1},
      {"CR LF lines come back as they were", "[\r\nR1\r\n]\r\n", "[\r\nR1\r\n]\r\n", 3},
      {"the last line gets its line end", "[\r\nR1", "[\r\nR1\r\n", 2},
      {"GBK bytes stay", "\xB5\xE7\xD7\xE8\r\n\xFF\xFE\xFD\r\n", "\xB5\xE7\xD7\xE8\r\n\xFF\xFE\xFD\r\n", 2},
      {"a UTF-8 mark stays", "\xEF\xBB\xBF[\r\n\xE7\x94\xB5\r\n", "\xEF\xBB\xBF[\r\n\xE7\x94\xB5\r\n", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.write("board.net", c.bytes);
    const NetlistLineBuffer b = NetlistLineBuffer::read(files, path);
    EXPECT_EQ(b.size(), c.lines);
    b.rewrite(files, path);
    EXPECT_EQ(readBytes(path), c.rewritten);
  }
}

TEST(NetlistLineBuffer, AReplacedLineIsWrittenInTheFilesEncodingAndTheOthersKeepTheirBytes) {
  const ScratchDir dir("line-buffer");
  platform::Files files;
  // GBK: 电阻 and a byte that decodes to nothing.
  const std::string path = dir.write("board.net", "[\r\nR1\r\n\xB5\xE7\xD7\xE8\r\n\x80x\r\n");
  NetlistLineBuffer b = NetlistLineBuffer::read(files, path);
  EXPECT_EQ(b.text(2), "\xE7\x94\xB5\xE9\x98\xBB");
  EXPECT_EQ(b.text(9), "") << "beyond the last line";
  b.replace(1, "\xE7\x94\xB5\xE5\xAE\xB9");  // 电容
  b.rewrite(files, path);
  EXPECT_EQ(readBytes(path), "[\r\n\xB5\xE7\xC8\xDD\r\n\xB5\xE7\xD7\xE8\r\n\x80x\r\n");
}

TEST(NetlistLineBuffer, AFileOfMoreThan65536LinesRoundTripsByteForByte) {
  const ScratchDir dir("line-buffer");
  platform::Files files;
  std::string bytes;
  for (int k = 0; k < 70000; ++k) bytes += (k % 8 == 0 ? "[" : "line " + std::to_string(k)) + "\r\n";
  const std::string path = dir.write("big.net", bytes);
  const NetlistLineBuffer b = NetlistLineBuffer::read(files, path);
  EXPECT_EQ(b.size(), 70000u);
  EXPECT_EQ(b.text(69999), "line 69999");
  b.rewrite(files, path);
  EXPECT_EQ(readBytes(path), bytes);
}

TEST(NetlistLineBuffer, DesignatorLinesFollowABracketAtOddIndexesInsideTheComponentSection) {
  const ScratchDir dir("line-buffer");
  platform::Files files;
  // 0 "[", 1 R1, 2 R0603, 3 TP1 (a comment equal to a designator), 4 "[", 5 TP1, 6 TP,
  // 7 TP1, 8 "(", 9 "[" in the nets, 10 R9, 11 x, 12 y.
  const std::string path = dir.write("board.net", "[\r\nR1\r\nR0603\r\nTP1\r\n[\r\nTP1\r\nTP\r\nTP1\r\n(\r\n[\r\nR9\r\nx\r\ny\r\n");
  const NetlistLineBuffer b = NetlistLineBuffer::read(files, path);
  const size_t end = b.componentSectionEnd();
  EXPECT_EQ(end, 8u);
  std::vector<size_t> found;
  for (size_t k = 0; k < b.size(); ++k)
    if (b.isDesignatorLine(k, end)) found.push_back(k);
  EXPECT_EQ(found, (std::vector<size_t>{1, 5}));
}

}  // namespace
