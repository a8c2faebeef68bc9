#include "normalise/value_normaliser.h"

#include <array>
#include <cstdlib>
#include <optional>

#include "vb/convert.h"
#include "vb/text.h"

namespace normalise {

namespace {

using std::string_view;
constexpr size_t npos = string_view::npos;

// ---------------------------------------------------------------------------------
// Rule tables

// Package sizes, in the order tested.
constexpr std::array<string_view, 4> kPackageSizes = {"0402", "0603", "0805", "1206"};

// Package families, in the order tested: when the designator contains one of the
// letters, a name containing a size becomes prefix + size. A later family rewrites the
// name an earlier one wrote, so C/E wins over L, and L over R.
struct PackageFamily {
  std::array<string_view, 2> designatorLetters;
  string_view prefix;
};
constexpr std::array<PackageFamily, 3> kPackageFamilies = {{
    {{"R", ""}, "R-"},
    {{"L", ""}, "L-"},
    {{"C", "E"}, "C-"},
}};

enum class UnitAction {
  Unit,           // the display unit of the row
  Cleared,        // no number is left (the value is never rewritten), Sort1 still set
  Emptied,        // no unit and no number is left, Sort1 still set
  CapacitorCode,  // the capacitor code decides
  SubUnitBand,    // small numbers move to the next smaller unit
  LetterKept,     // the unit letter itself is the display unit
};

// The unit table, by unit letter and then by designator; the first row that holds applies.
struct UnitRule {
  string_view letters;                            // one character each; "" the empty letter; "*" any letter
  std::array<string_view, 4> designatorContains;  // any of them; none listed: any designator
  UnitAction action;
  string_view unit;      // display unit (for SubUnitBand, the unit outside the bands)
  string_view bandUnit;  // SubUnitBand: the unit inside the bands
  double scale;          // Sort1 = the number x scale
};
constexpr std::array<UnitRule, 18> kUnitTable = {{
    {"R", {}, UnitAction::Unit, "R", "", 1},
    {"K", {"X", "Y"}, UnitAction::Cleared, "", "", 1e3},
    {"K", {}, UnitAction::Unit, "K", "", 1e3},
    {"M", {"L"}, UnitAction::Unit, "mH", "", 1e6},
    {"M", {"C"}, UnitAction::CapacitorCode, "", "", 1},
    {"M", {"X", "Y"}, UnitAction::Cleared, "", "", 1e6},
    {"M", {}, UnitAction::Unit, "M", "", 1e6},
    {"PJ", {"CN", "CON", "J", "JP"}, UnitAction::Cleared, "", "", 1},
    {"PJ", {}, UnitAction::CapacitorCode, "", "", 1},
    {"N", {"L"}, UnitAction::Unit, "nH", "", 1},
    {"N", {}, UnitAction::SubUnitBand, "nF", "pF", 1e3},
    {"U", {"L"}, UnitAction::Unit, "uH", "", 1e3},
    {"U", {}, UnitAction::SubUnitBand, "uF", "nF", 1e6},
    {"H", {}, UnitAction::Unit, "H", "", 1e9},
    {"", {"R"}, UnitAction::Unit, "R", "", 1},
    {"", {"U", "IC"}, UnitAction::Emptied, "", "", 1},
    {"", {"C", "E"}, UnitAction::CapacitorCode, "", "", 1},
    {"*", {}, UnitAction::LetterKept, "", "", 1},
}};

// Capacitor code: by the last digit d, the display unit, Sort1 = v x sortScale (pF) and
// the new number v x numberFactor, v being the first two digits. Digits 0, 8, 9 and a
// point are no code digit.
struct CodeDigit {
  string_view unit;
  double sortScale;
  double numberFactor;
};
constexpr std::array<CodeDigit, 8> kCapacitorCode = {{
    {"", 0, 0},
    {"pF", 1e1, 10},
    {"nF", 1e2, 0.1},
    {"nF", 1e3, 1},
    {"nF", 1e4, 10},
    {"uF", 1e5, 0.1},
    {"uF", 1e6, 1},
    {"uF", 1e7, 10},
}};
// Below this number a capacitor value is picofarads as written, not a code.
constexpr double kFirstCode = 101;

// Numbers in these bands move to the next smaller unit (0.1U is 100nF).
constexpr std::array<std::pair<double, double>, 3> kSubUnitBands = {{{0.1, 1}, {0.01, 0.1}, {0.001, 0.01}}};
constexpr double kSubUnitFactor = 1e3;

// A leading letter of these before a digit is the decimal point at the start ("R47").
constexpr string_view kLeadingPointLetters = "RKMPNUH";

// Unit letter and the rest of its unit as typed ("UF" in 10UF): the rest is part of the
// number's unit when the display unit ends in the same letter.
constexpr std::array<string_view, 6> kTypedUnits = {"UF", "NF", "PF", "UH", "NH", "MH"};

enum class Family { None, Resistor, Capacitor, Inductor };

// The families whose values are rewritten, by how the designator starts.
struct FamilyPrefix {
  string_view start;
  Family family;
};
constexpr std::array<FamilyPrefix, 5> kFamilyPrefixes = {{
    {"BC", Family::Capacitor},
    {"C", Family::Capacitor},
    {"E", Family::Capacitor},
    {"R", Family::Resistor},
    {"L", Family::Inductor},
}};

// The display units a family's value may be rewritten with.
struct FamilyUnits {
  Family family;
  std::array<string_view, 4> units;
};
constexpr std::array<FamilyUnits, 3> kFamilyUnits = {{
    {Family::Resistor, {"R", "K", "M"}},
    {Family::Capacitor, {"pF", "nF", "uF"}},
    {Family::Inductor, {"nH", "uH", "mH", "H"}},
}};

// ---------------------------------------------------------------------------------
// Helpers

bool isDigit(char c) { return c >= '0' && c <= '9'; }

template <typename Range>
bool containsAny(string_view s, const Range& parts) {
  for (string_view p : parts)
    if (!p.empty() && vb::contains(s, p)) return true;
  return false;
}

template <typename Range>
bool listsNone(const Range& parts) {
  for (string_view p : parts)
    if (!p.empty()) return false;
  return true;
}

string_view trimBlanks(string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Whether the text starts with a number, as the numeric value of a text reads one.
bool hasLeadingNumber(string_view s) {
  size_t i = s.find_first_not_of(" \t");
  if (i == npos) return false;
  if (s[i] == '+' || s[i] == '-') ++i;
  if (i < s.size() && isDigit(s[i])) return true;
  return i + 1 < s.size() && s[i] == '.' && isDigit(s[i + 1]);
}

// A number that a rule computed, kept to 15 significant digits so that equal values
// reached by different roads compare equal (0.047U and 47N).
double significant15(double d) { return std::strtod(vb::numberText(d).c_str(), nullptr); }

// ---------------------------------------------------------------------------------
// Steps

// The value split at blanks: the first three pieces, and whether anything follows.
struct Tokens {
  std::array<string_view, 3> token;
  bool moreText = false;
};

Tokens splitTokens(string_view trimmed) {
  Tokens r;
  size_t i = 0;
  for (int k = 0;; ++k) {
    size_t f = trimmed.find(' ', i);
    string_view piece = trimmed.substr(i, f == npos ? npos : f - i);
    if (k < 3) r.token[k] = piece;
    else if (!piece.empty()) r.moreText = true;
    if (f == npos) break;
    i = f + 1;
  }
  return r;
}

// The number and the unit letter of the first token.
struct Scan {
  std::string number;  // digits and points, with a letter point as "."
  string_view letter;  // one character, or empty
  string_view rest;    // what follows the letter at which the scan stopped
};

Scan scanFirstToken(string_view tok) {
  Scan s;
  bool letterPointUsed = false;
  const long count = vb::len(tok);
  size_t i = 0;
  for (long k = 0; i < tok.size(); ++k) {
    size_t len = vb::utf8CharBytes(tok, i);
    string_view c = tok.substr(i, len);
    size_t next = i + len;
    bool hasNext = next < tok.size();
    bool nextIsDigit = hasNext && isDigit(tok[next]);
    if (len == 1 && (isDigit(c[0]) || c[0] == '.')) {
      s.number += c[0];
    } else if (nextIsDigit && !letterPointUsed && k == 0 && len == 1 &&
               kLeadingPointLetters.find(c[0]) != npos) {
      // "R47" is 0.47R: the letter is the unit and a point at the start.
      s.number = "0.";
      s.letter = c;
      letterPointUsed = true;
    } else if (nextIsDigit && !letterPointUsed && k == count - 2) {
      s.number += '.';
      s.letter = c;
      letterPointUsed = true;
    } else if (nextIsDigit && !letterPointUsed && k == 0) {
      letterPointUsed = true;  // a leading character other than a unit letter is skipped
    } else if (hasNext && !nextIsDigit) {
      s.letter = c;
      s.rest = tok.substr(next);
      break;
    } else if (!hasNext) {
      s.letter = c;
    } else {
      s.number.clear();  // a letter in the middle of digits: no number
      break;
    }
    i = next;
  }
  if (s.number.empty() || s.number[0] == '.') {
    s.number.clear();
    s.letter = {};
    s.rest = {};
  }
  return s;
}

// What the unit table, the capacitor code and the bands make of the scanned number.
struct UnitResult {
  std::string number;  // the number the value shows: as scanned, computed, or empty
  string_view unit;    // the display unit
  std::optional<double> sort1;
};

const UnitRule& unitRule(string_view letter, string_view designator) {
  for (const UnitRule& row : kUnitTable) {
    bool letterHolds = row.letters == "*" || (row.letters.empty() ? letter.empty()
                                                                  : letter.size() == 1 &&
                                                                        row.letters.find(letter[0]) != npos);
    if (!letterHolds) continue;
    if (listsNone(row.designatorContains) || containsAny(designator, row.designatorContains)) return row;
  }
  return kUnitTable.back();
}

void capacitorCode(double x, const Scan& scan, UnitResult& r) {
  if (x < kFirstCode) {
    r.unit = "pF";
    r.sort1 = x;
    r.number = scan.number;
    return;
  }
  char last = scan.number.back();
  int d = isDigit(last) ? last - '0' : 0;
  if (d < 1 || d >= static_cast<int>(kCapacitorCode.size())) {
    r.unit = scan.letter;
    r.number = scan.number;
    return;
  }
  const CodeDigit& code = kCapacitorCode[d];
  double v = vb::val(string_view(scan.number).substr(0, 2));
  r.unit = code.unit;
  r.sort1 = significant15(v * code.sortScale);
  r.number = vb::numberText(v * code.numberFactor);
}

bool inSubUnitBand(double x) {
  for (auto [low, high] : kSubUnitBands)
    if (x >= low && x < high) return true;
  return false;
}

// number: the scanned number, absent when it is no valid decimal ("1.2.3"); then no
// key is computed and only the clearing rows take effect.
UnitResult resolveUnit(const Scan& scan, std::optional<double> number, string_view designator) {
  UnitResult r;
  const UnitRule& row = unitRule(scan.letter, designator);
  switch (row.action) {
    case UnitAction::Unit:
      r.unit = row.unit;
      r.number = scan.number;
      if (number) r.sort1 = significant15(*number * row.scale);
      break;
    case UnitAction::Cleared:
    case UnitAction::Emptied:
      if (number) r.sort1 = significant15(*number * row.scale);
      break;
    case UnitAction::CapacitorCode:
      if (number) {
        capacitorCode(*number, scan, r);
      } else {
        r.unit = scan.letter;
        r.number = scan.number;
      }
      break;
    case UnitAction::SubUnitBand:
      r.unit = row.unit;
      r.number = scan.number;
      if (!number) break;
      r.sort1 = significant15(*number * row.scale);
      if (inSubUnitBand(*number)) {
        r.unit = row.bandUnit;
        r.number = vb::numberText(*number * kSubUnitFactor);
      }
      break;
    case UnitAction::LetterKept:
      r.unit = scan.letter;
      r.number = scan.number;
      if (number) r.sort1 = *number;
      break;
  }
  return r;
}

// Voltage or power rating and tolerance, with the token each came from (0: the "/"
// piece of the first token; 1, 2: the second and third token).
struct Ratings {
  std::string ratingText;    // "16V", "1/4W"
  vb::Variant ratingNumber;  // 16, or the power text "1/4"
  int ratingFrom = -1;
  string_view voltagePiece;   // the "/" piece of the first token that gave the voltage
  bool voltageExact = false;  // that piece, its V removed, reads wholly as a number
  std::string toleranceText;  // "5%"
  double toleranceNumber = 0;
  int toleranceFrom = -1;
};

void readVoltage(string_view first, Ratings& r) {
  if (!vb::contains(first, "V")) return;
  size_t slash = first.find('/');
  if (slash == npos) return;
  string_view piece = first.substr(slash + 1);
  piece = piece.substr(0, piece.find('/'));
  if (piece.empty()) return;
  std::string digits = vb::replace(piece, "V", "");
  if (!hasLeadingNumber(digits)) return;  // "X7R" in 100NF/X7R/50V is no rating
  double n = vb::val(digits);
  r.ratingNumber = n;
  r.ratingText = vb::numberText(n) + "V";
  r.ratingFrom = 0;
  r.voltagePiece = piece;
  r.voltageExact = vb::parseNumber(digits).has_value();
}

void readPowerAndTolerance(string_view tok, int from, Ratings& r) {
  if (size_t w = tok.find('W'); w != npos) {
    std::string text(tok.substr(0, w));
    if (auto n = vb::parseNumber(text); n && !text.empty()) r.ratingNumber = *n;
    else r.ratingNumber = text;
    r.ratingText.assign(tok.substr(0, w + 1));
    r.ratingFrom = from;
  }
  if (size_t p = tok.find('%'); p != npos) {
    std::string digits;
    for (char c : tok.substr(0, p))
      if (isDigit(c) || c == '.') digits += c;
    r.toleranceText.assign(tok.substr(0, p + 1));
    r.toleranceNumber = vb::val(digits);
    r.toleranceFrom = from;
  }
}

// Whether the first token goes whole into the new value: the scan used it to its end,
// or stopped at a letter followed only by the rest of its unit ("F" of 10UF) and/or the
// "/" piece that gave the voltage rating.
bool firstTokenUsed(const Scan& scan, string_view unit, const Ratings& r) {
  string_view rest = scan.rest;
  if (!rest.empty() && scan.letter.size() == 1 && !unit.empty() && rest[0] == unit.back()) {
    const char typed[2] = {scan.letter[0], rest[0]};
    for (string_view u : kTypedUnits)
      if (u == string_view(typed, 2)) {
        rest.remove_prefix(1);
        break;
      }
  }
  if (rest.empty()) return true;
  return rest[0] == '/' && r.ratingFrom == 0 && r.voltageExact && rest.substr(1) == r.voltagePiece;
}

// A second or third token goes into the new value when it is empty or is exactly the
// rating or tolerance text that the new value carries.
bool tokenUsed(string_view tok, int from, const Ratings& r) {
  return tok.empty() || (r.ratingFrom == from && tok == r.ratingText) ||
         (r.toleranceFrom == from && tok == r.toleranceText);
}

Family familyOf(string_view designator) {
  for (const FamilyPrefix& p : kFamilyPrefixes)
    if (vb::startsWith(designator, p.start)) return p.family;
  return Family::None;
}

bool unitFits(Family family, string_view unit) {
  for (const FamilyUnits& f : kFamilyUnits) {
    if (f.family != family) continue;
    for (string_view u : f.units)
      if (!u.empty() && u == unit) return true;
  }
  return false;
}

// The number, the unit, then "/" before a voltage or a blank, then the ratings.
std::string composeValue(const UnitResult& u, const Ratings& r) {
  std::string ratings = r.ratingText.empty() ? r.toleranceText : r.ratingText + " " + r.toleranceText;
  std::string out = u.number;
  out.append(u.unit);
  out += vb::contains(ratings, "V") ? '/' : ' ';
  out += ratings;
  out.erase(out.find_last_not_of(' ') + 1);
  return out;
}

}  // namespace

NormalisedRow normaliseRow(const NormaliserRow& in, bool convert) {
  NormalisedRow out;
  const std::string designator = vb::ucase(in.designator);

  // Package prefix rule: each test that holds writes the name at once.
  out.package.assign(in.package);
  for (const PackageFamily& family : kPackageFamilies) {
    if (!containsAny(designator, family.designatorLetters)) continue;
    for (string_view size : kPackageSizes) {
      if (!vb::contains(out.package, size)) continue;
      out.package.assign(family.prefix).append(size);
      if (out.package != in.package) out.packageChanged = true;
    }
  }

  const std::string upperValue = vb::ucase(in.value);
  const Tokens tokens = splitTokens(trimBlanks(upperValue));
  const Scan scan = scanFirstToken(tokens.token[0]);

  std::optional<double> number;
  bool validNumber = !scan.number.empty() && scan.number.find('.') == scan.number.rfind('.');
  if (validNumber) number = vb::val(scan.number);

  UnitResult unit;
  Ratings ratings;
  if (!scan.number.empty()) {
    unit = resolveUnit(scan, number, designator);
    if (unit.sort1) out.sort1 = *unit.sort1;
    if (!unit.number.empty()) {
      readVoltage(tokens.token[0], ratings);
      readPowerAndTolerance(tokens.token[1], 1, ratings);
      readPowerAndTolerance(tokens.token[2], 2, ratings);
    }
  }
  if (!ratings.ratingNumber.isEmpty() && !(ratings.ratingNumber.isText() && ratings.ratingNumber.text().empty()))
    out.sort2 = ratings.ratingNumber;
  else if (ratings.toleranceFrom >= 0)
    out.sort2 = ratings.toleranceNumber;

  const Family family = familyOf(designator);
  bool rewrite = convert && family != Family::None && validNumber && !unit.number.empty() &&
                 unitFits(family, unit.unit) && firstTokenUsed(scan, unit.unit, ratings) &&
                 tokenUsed(tokens.token[1], 1, ratings) && tokenUsed(tokens.token[2], 2, ratings) &&
                 !tokens.moreText;
  if (rewrite) out.value = composeValue(unit, ratings);
  else out.value.assign(in.value);
  if (convert && family != Family::None) out.valueChanged = trimBlanks(out.value) != in.value;
  return out;
}

}  // namespace normalise
