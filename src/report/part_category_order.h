#pragma once
// The order in which the split BOM prints its categories. Names compare exactly; the
// last entry, the empty text, never yields a block (empty categories become "Unknow").
#include <array>
#include <string_view>

namespace report {

inline constexpr std::array<std::string_view, 18> kPartCategoryOrder = {
    "Chip",    "Resister", "Capacitor", "Inductance", "FB",       "Diode", "Triode",  "Crystal", "Connector",
    "Switch",  "Jack",     "Fuse",      "Antenna",    "Jumper",   "SMT-MARK", "Test", "Unknow",  "",
};

}  // namespace report
