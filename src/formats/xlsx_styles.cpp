#include "formats/xlsx_styles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "formats/xlsx_package.h"

namespace formats {

using platform::xl::Edge;
using platform::xl::Style;

namespace {

constexpr std::array<uint32_t, 64> kPalette{
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 0-7
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 8-15
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,  // 16-23
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,  // 24-31
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,  // 32-39
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,  // 40-47
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,  // 48-55
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,  // 56-63
};

// Theme colours by theme index, of the default Office theme.
const std::vector<uint32_t> kDefaultTheme{0xFFFFFF, 0x000000, 0xEEECE1, 0x1F497D, 0x4F81BD, 0xC0504D,
                                          0x9BBB59, 0x8064A2, 0x4BACC6, 0xF79646, 0x0000FF, 0x800080};

struct BuiltInFormat {
  int id;
  const char* text;
};
constexpr std::array<BuiltInFormat, 30> kBuiltInFormats{{
    {0, "General"},       {1, "0"},
    {2, "0.00"},          {3, "#,##0"},
    {4, "#,##0.00"},      {9, "0%"},
    {10, "0.00%"},        {11, "0.00E+00"},
    {12, "# ?/?"},        {13, "# ?\?/?\?"},
    {14, "mm-dd-yy"},     {15, "d-mmm-yy"},
    {16, "d-mmm"},        {17, "mmm-yy"},
    {18, "h:mm AM/PM"},   {19, "h:mm:ss AM/PM"},
    {20, "h:mm"},         {21, "h:mm:ss"},
    {22, "m/d/yy h:mm"},  {37, "#,##0 ;(#,##0)"},
    {38, "#,##0 ;[Red](#,##0)"}, {39, "#,##0.00;(#,##0.00)"},
    {40, "#,##0.00;[Red](#,##0.00)"}, {45, "mm:ss"},
    {46, "[h]:mm:ss"},    {47, "mmss.0"},
    {48, "##0.0E+0"},     {49, "@"},
    {56, "yyyy\"\xE5\xB9\xB4\"m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\""}, {58, "m\"\xE6\x9C\x88\"d\"\xE6\x97\xA5\""},
}};

int intAttr(const char** attrs, std::string_view name, int fallback) {
  const char* v = attribute(attrs, name);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  long n = std::strtol(v, &end, 10);
  if (*end != '\0' || n < 0 || n > 1000000) return fallback;
  return static_cast<int>(n);
}

bool flagAttr(const char** attrs, std::string_view name, bool absent) {
  const char* v = attribute(attrs, name);
  if (!v) return absent;
  return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0;
}

std::optional<uint32_t> hexColour(const char* v) {
  size_t len = std::strlen(v);
  if (len != 6 && len != 8) return std::nullopt;
  char* end = nullptr;
  unsigned long n = std::strtoul(v, &end, 16);
  if (*end != '\0') return std::nullopt;
  return static_cast<uint32_t>(n & 0xFFFFFF);  // the alpha byte of ARGB is dropped
}

// The colour lightened or darkened by a tint, in hue-luminance-saturation space.
uint32_t applyTint(uint32_t rgb, double tint) {
  double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, h = 0, s = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == r) h = (g - b) / d + (g < b ? 6 : 0);
    else if (mx == g) h = (b - r) / d + 2;
    else h = (r - g) / d + 4;
    h /= 6;
  }
  l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
  auto hue = [](double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
  };
  if (s == 0) {
    r = g = b = l;
  } else {
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    r = hue(p, q, h + 1.0 / 3);
    g = hue(p, q, h);
    b = hue(p, q, h - 1.0 / 3);
  }
  auto byte = [](double x) { return static_cast<uint32_t>(std::lround(std::clamp(x, 0.0, 1.0) * 255)); };
  return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// A colour element's RGB; nothing for an automatic colour.
std::optional<uint32_t> colourOf(const char** attrs, const std::vector<uint32_t>& theme) {
  if (flagAttr(attrs, "auto", false)) return std::nullopt;
  std::optional<uint32_t> rgb;
  if (const char* v = attribute(attrs, "rgb")) {
    rgb = hexColour(v);
  } else if (const char* t = attribute(attrs, "theme")) {
    int i = std::atoi(t);
    if (i >= 0 && static_cast<size_t>(i) < theme.size()) rgb = theme[static_cast<size_t>(i)];
  } else if (attribute(attrs, "indexed")) {
    int i = intAttr(attrs, "indexed", -1);
    if (i >= 0 && i < 64) rgb = kPalette[static_cast<size_t>(i)];
  }
  if (rgb) {
    if (const char* t = attribute(attrs, "tint")) {
      double tint = std::strtod(t, nullptr);
      if (tint != 0 && tint >= -1 && tint <= 1) rgb = applyTint(*rgb, tint);
    }
  }
  return rgb;
}

// A border edge of the file as the spreadsheet's line style and weight.
Edge edgeOf(const char* style) {
  struct Row {
    const char* name;
    int lineStyle, weight;
  };
  static constexpr std::array<Row, 13> kEdges{{{"thin", 1, 2},
                                               {"hair", 1, 1},
                                               {"medium", 1, -4138},
                                               {"thick", 1, 4},
                                               {"double", -4119, 4},
                                               {"dashed", -4115, 2},
                                               {"dotted", -4118, 2},
                                               {"mediumDashed", -4115, -4138},
                                               {"dashDot", 4, 2},
                                               {"mediumDashDot", 4, -4138},
                                               {"dashDotDot", 5, 2},
                                               {"mediumDashDotDot", 5, -4138},
                                               {"slantDashDot", 13, -4138}}};
  if (style)
    for (const auto& r : kEdges)
      if (std::strcmp(style, r.name) == 0) return Edge{r.lineStyle, r.weight, 0};
  return Edge{};
}

struct Font {
  bool bold = false;
  double size = 11;
  long colour = 0;
};
struct Border {
  Edge left, top, right, bottom;
};
struct Xf {
  int numFmt = 0, font = 0, fill = 0, border = 0;
  bool wrap = false;
};

class ThemeHandler : public XmlHandler {
 public:
  std::map<std::string, uint32_t> scheme;
  void start(std::string_view name, const char** attrs, int) override {
    if (name == "clrScheme") inScheme_ = true;
    if (!inScheme_) return;
    if (name == "srgbClr" || name == "sysClr") {
      const char* v = attribute(attrs, name == "srgbClr" ? "val" : "lastClr");
      if (v && !slot_.empty())
        if (auto c = hexColour(v)) scheme.emplace(slot_, *c);
    } else {
      slot_ = std::string(name);
    }
  }
  void end(std::string_view name, int) override {
    if (name == "clrScheme") inScheme_ = false;
  }

 private:
  bool inScheme_ = false;
  std::string slot_;
};

class StylesHandler : public XmlHandler {
 public:
  explicit StylesHandler(const std::vector<uint32_t>& theme) : theme_(theme) {}
  std::map<int, std::string> numFmts;
  std::vector<Font> fonts;
  std::vector<long> fills;
  std::vector<Border> borders;
  std::vector<Xf> xfs;

  void start(std::string_view name, const char** attrs, int depth) override {
    if (depth == 2) {
      section_ = std::string(name);
      return;
    }
    if (depth == 3) {
      item_ = name;
      if (section_ == "numFmts" && name == "numFmt") {
        const char* code = attribute(attrs, "formatCode");
        int id = intAttr(attrs, "numFmtId", -1);
        if (code && id >= 0) numFmts[id] = code;
      } else if (section_ == "fonts" && name == "font") {
        fonts.emplace_back();
      } else if (section_ == "fills" && name == "fill") {
        fills.push_back(platform::xl::kNoFill);
      } else if (section_ == "borders" && name == "border") {
        borders.emplace_back();
      } else if (section_ == "cellXfs" && name == "xf") {
        Xf x;
        x.numFmt = intAttr(attrs, "numFmtId", 0);
        x.font = intAttr(attrs, "fontId", 0);
        x.fill = intAttr(attrs, "fillId", 0);
        x.border = intAttr(attrs, "borderId", 0);
        xfs.push_back(x);
      }
      return;
    }
    if (section_ == "fonts" && item_ == "font" && depth == 4 && !fonts.empty()) {
      Font& f = fonts.back();
      if (name == "b") f.bold = flagAttr(attrs, "val", true);
      else if (name == "sz") {
        if (const char* v = attribute(attrs, "val")) {
          double s = std::strtod(v, nullptr);
          if (s > 0 && s < 1000) f.size = s;
        }
      } else if (name == "color") {
        f.colour = styleColour(colourOf(attrs, theme_).value_or(0));
      }
    } else if (section_ == "fills" && item_ == "fill" && !fills.empty()) {
      if (depth == 4 && name == "patternFill") {
        const char* type = attribute(attrs, "patternType");
        patterned_ = type && std::strcmp(type, "none") != 0 && std::strcmp(type, "gray125") != 0;
      } else if (depth == 5 && name == "fgColor" && patterned_) {
        if (auto c = colourOf(attrs, theme_)) fills.back() = styleColour(*c);
      }
    } else if (section_ == "borders" && item_ == "border" && !borders.empty()) {
      if (depth == 4) {
        edge_ = edgeFor(borders.back(), name);
        if (edge_) *edge_ = edgeOf(attribute(attrs, "style"));
      } else if (depth == 5 && name == "color" && edge_ && edge_->lineStyle != 0) {
        auto c = colourOf(attrs, theme_);
        edge_->colorIndex = c ? colorIndexOf(*c).value_or(0) : 0;
      }
    } else if (section_ == "cellXfs" && item_ == "xf" && depth == 4 && name == "alignment" && !xfs.empty()) {
      xfs.back().wrap = flagAttr(attrs, "wrapText", false);
    }
  }

  void end(std::string_view, int depth) override {
    if (depth == 4) edge_ = nullptr;
  }

 private:
  static Edge* edgeFor(Border& b, std::string_view name) {
    if (name == "left" || name == "start") return &b.left;
    if (name == "right" || name == "end") return &b.right;
    if (name == "top") return &b.top;
    if (name == "bottom") return &b.bottom;
    return nullptr;
  }

  const std::vector<uint32_t>& theme_;
  std::string section_;
  std::string item_;
  bool patterned_ = false;
  Edge* edge_ = nullptr;
};

}  // namespace

uint32_t paletteColour(int index) {
  return index >= 0 && index < 64 ? kPalette[static_cast<size_t>(index)] : 0;
}

std::optional<int> colorIndexOf(uint32_t rgb) {
  for (size_t i = 8; i < kPalette.size(); ++i)
    if (kPalette[i] == rgb) return static_cast<int>(i) - 7;
  return std::nullopt;
}

std::string builtInNumberFormat(int id) {
  for (const auto& f : kBuiltInFormats)
    if (f.id == id) return f.text;
  return "General";
}

std::optional<int> builtInNumberFormatId(const std::string& format) {
  for (const auto& f : kBuiltInFormats)
    if (f.id >= 1 && f.id <= 49 && format == f.text) return f.id;
  return std::nullopt;
}

std::vector<uint32_t> readThemeColours(XlsxPackage& pkg, const std::string& part) {
  if (part.empty() || !pkg.has(part)) return kDefaultTheme;
  ThemeHandler h;
  pkg.parse(part, h);
  static constexpr std::array<const char*, 12> kSlots{"lt1",     "dk1",     "lt2",     "dk2",
                                                      "accent1", "accent2", "accent3", "accent4",
                                                      "accent5", "accent6", "hlink",   "folHlink"};
  std::vector<uint32_t> out = kDefaultTheme;
  for (size_t i = 0; i < kSlots.size(); ++i) {
    auto it = h.scheme.find(kSlots[i]);
    if (it != h.scheme.end()) out[i] = it->second;
  }
  return out;
}

std::vector<Style> readCellStyles(XlsxPackage& pkg, const std::string& part, const std::vector<uint32_t>& theme) {
  std::vector<Style> out;
  if (!part.empty() && pkg.has(part)) {
    StylesHandler h(theme);
    pkg.parse(part, h);
    out.reserve(h.xfs.size());
    for (const Xf& x : h.xfs) {
      Style s;
      auto nf = h.numFmts.find(x.numFmt);
      s.numberFormat = nf != h.numFmts.end() ? nf->second : builtInNumberFormat(x.numFmt);
      if (static_cast<size_t>(x.font) < h.fonts.size()) {
        const Font& f = h.fonts[static_cast<size_t>(x.font)];
        s.bold = f.bold;
        s.fontSize = f.size;
        s.fontColor = f.colour;
      }
      if (static_cast<size_t>(x.fill) < h.fills.size()) s.fill = h.fills[static_cast<size_t>(x.fill)];
      if (static_cast<size_t>(x.border) < h.borders.size()) {
        const Border& b = h.borders[static_cast<size_t>(x.border)];
        s.left = b.left;
        s.top = b.top;
        s.right = b.right;
        s.bottom = b.bottom;
      }
      s.wrap = x.wrap;
      out.push_back(std::move(s));
    }
  }
  if (out.empty()) out.emplace_back();
  return out;
}

}  // namespace formats
