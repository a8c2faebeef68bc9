#include "platform/sheet_types.h"

#include <iterator>
#include <utility>

namespace platform::xl {

std::string columnLetters(long column) {
  std::string s;
  while (column > 0) {
    long m = (column - 1) % 26;
    s.insert(s.begin(), static_cast<char>('A' + m));
    column = (column - 1) / 26;
  }
  return s;
}

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One side of an address: letters, digits, or both ("A", "12", "B7"); "$" signs ignored.
// 0 stands for a row or column the side does not name.
struct Corner {
  long row = 0, col = 0;
};

bool parseCorner(std::string_view text, Corner& p) {
  size_t i = 0;
  while (i < text.size() && text[i] == '$') ++i;
  const size_t lettersFrom = i;
  while (i < text.size() && isLetter(text[i])) ++i;
  std::string_view letters = text.substr(lettersFrom, i - lettersFrom);
  while (i < text.size() && text[i] == '$') ++i;
  const size_t digitsFrom = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  std::string_view digits = text.substr(digitsFrom, i - digitsFrom);
  if (i != text.size() || (letters.empty() && digits.empty())) return false;
  if (!letters.empty()) {
    p.col = columnNumber(letters);
    if (p.col == 0) return false;
  }
  if (!digits.empty()) {
    if (digits.size() > 8) return false;
    long r = 0;
    for (char c : digits) r = r * 10 + (c - '0');
    if (r < 1 || r > kMaxRows) return false;
    p.row = r;
  }
  return true;
}

}  // namespace

long columnNumber(std::string_view letters) {
  if (letters.empty()) return 0;
  long n = 0;
  for (char c : letters) {
    if (!isLetter(c)) return 0;
    n = n * 26 + ((c >= 'a' ? c - 'a' : c - 'A') + 1);
    if (n > kMaxCols) return 0;
  }
  return n;
}

std::optional<Area> parseA1(std::string_view address, A1Forms forms) {
  const size_t colon = address.find(':');
  Corner a, b;
  if (!parseCorner(address.substr(0, colon), a)) return std::nullopt;
  if (colon == std::string_view::npos) b = a;
  else if (!parseCorner(address.substr(colon + 1), b)) return std::nullopt;
  Area r;
  if (a.row > 0 && a.col > 0 && b.row > 0 && b.col > 0) r = Area{a.row, a.col, b.row, b.col};
  else if (forms != A1Forms::WholeLines) return std::nullopt;
  else if (a.row == 0 && b.row == 0 && a.col > 0 && b.col > 0) r = Area{1, a.col, kMaxRows, b.col};
  else if (a.col == 0 && b.col == 0 && a.row > 0 && b.row > 0) r = Area{a.row, 1, b.row, kMaxCols};
  else return std::nullopt;
  if (r.r1 > r.r2) std::swap(r.r1, r.r2);
  if (r.c1 > r.c2) std::swap(r.c1, r.c2);
  return r;
}

void ColumnWidthRuns::set(long first, long last, double width) {
  if (first > last) return;
  // The run that starts before `first` and reaches into it is cut short (and its tail
  // kept when it reaches past `last`); the runs that start inside are removed.
  auto it = byFirst_.lower_bound(first);
  if (it != byFirst_.begin()) {
    auto before = std::prev(it);
    if (before->second.last >= first) {
      Run tail = before->second;
      before->second.last = first - 1;
      if (tail.last > last) byFirst_.emplace(last + 1, Run{last + 1, tail.last, tail.width});
    }
  }
  while (it != byFirst_.end() && it->first <= last) {
    if (it->second.last > last) {
      Run tail{last + 1, it->second.last, it->second.width};
      byFirst_.erase(it);
      byFirst_.emplace(tail.first, tail);
      break;
    }
    it = byFirst_.erase(it);
  }
  byFirst_.emplace(first, Run{first, last, width});
}

std::optional<double> ColumnWidthRuns::at(long column) const {
  auto it = byFirst_.upper_bound(column);
  if (it == byFirst_.begin()) return std::nullopt;
  --it;
  if (it->second.last < column) return std::nullopt;
  return it->second.width;
}

void ColumnWidthRuns::removeColumns(long first, long last) {
  const long n = last - first + 1;
  std::map<long, Run> kept;
  for (const auto& [start, r] : byFirst_) {
    if (r.first < first) kept.emplace(r.first, Run{r.first, std::min(r.last, first - 1), r.width});
    if (r.last > last) {
      const long from = std::max(r.first, last + 1) - n;
      kept.emplace(from, Run{from, r.last - n, r.width});
    }
  }
  byFirst_ = std::move(kept);
}

std::vector<ColumnWidthRuns::Run> ColumnWidthRuns::runs() const {
  std::vector<Run> out;
  for (const auto& [first, run] : byFirst_) {
    if (!out.empty() && out.back().last + 1 == run.first && out.back().width == run.width) out.back().last = run.last;
    else out.push_back(run);
  }
  return out;
}

std::string addressText(const Area& a) {
  std::string first = "$" + columnLetters(a.c1) + "$" + std::to_string(a.r1);
  if (a.r1 == a.r2 && a.c1 == a.c2) return first;
  return first + ":$" + columnLetters(a.c2) + "$" + std::to_string(a.r2);
}

}  // namespace platform::xl
