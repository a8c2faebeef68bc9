// Times a 100,000 x 13 block written and read through automation against an object of
// our own in this process, the path a whole part list takes to and from the spreadsheet
// program, with the conversions on each side timed apart. Prints the figures.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/win/automation.h"
#include "platform/win/dispatch_object.h"

using platform::win::Automation;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using vb::Table;
using vb::Variant;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A part list: running numbers, values, packages, quantities, designators, texts with
// Chinese and empty cells, as the list readers write them.
Table partList(long rows, long cols) {
  Table t(rows, cols);
  for (long r = 1; r <= rows; ++r)
    for (long c = 1; c <= cols; ++c) {
      switch (c % 5) {
        case 0: t(r, c) = static_cast<double>(r); break;
        case 1: t(r, c) = "R" + std::to_string(r); break;
        case 2: t(r, c) = "10k 电阻 0402"; break;
        case 3: t(r, c) = r % 7 == 0 ? Variant() : Variant(1.5 * c); break;
        default: t(r, c) = (r % 2) == 0; break;
      }
    }
  return t;
}

}  // namespace

int main() {
  platform::win::ComApartment apartment;
  constexpr long kRows = 100000, kCols = 13;
  Table cells;
  auto range = DispatchObject::create();
  range->property("Value",
                  [&](DispatchCall& c) {
                    c.returnTable(cells);
                    return Variant();
                  },
                  [&](DispatchCall& c) {
                    cells = c.valueTable();
                    return Variant();
                  });
  range->property("Count", [&](DispatchCall&) { return Variant(cells.rows() * cells.cols()); });
  Automation a = range->automation();

  const Table block = partList(kRows, kCols);
  std::printf("block %ld x %ld (%ld cells), in-process DispatchObject\n", kRows, kCols, kRows * kCols);

  auto start = Clock::now();
  platform::win::ComVariant array = platform::win::toComVariant(block);
  std::printf("  Table -> SAFEARRAY          %8.1f ms\n", msSince(start));
  start = Clock::now();
  Table back = platform::win::tableFromComVariant(array.get());
  std::printf("  SAFEARRAY -> Table          %8.1f ms\n", msSince(start));

  start = Clock::now();
  a.put("Value", block);
  std::printf("  write  put(\"Value\", block)  %8.1f ms\n", msSince(start));
  start = Clock::now();
  Table read = a.getTable("Value");
  std::printf("  read   getTable(\"Value\")    %8.1f ms\n", msSince(start));

  bool same = read.rows() == kRows && read.cols() == kCols;
  for (long r = 1; same && r <= kRows; ++r)
    for (long c = 1; c <= kCols; ++c) same = same && read(r, c) == block(r, c);
  std::printf("  read back equals written: %s\n", same ? "yes" : "NO");

  constexpr int kCalls = 100000;
  start = Clock::now();
  double sum = 0;
  for (int i = 0; i < kCalls; ++i) sum += a.get("Count").number();
  double ms = msSince(start);
  std::printf("  %d single property reads   %8.1f ms (%.2f us a call)\n", kCalls, ms, ms * 1000 / kCalls);
  return same && sum > 0 ? 0 : 1;
}
