// The main block of a 102-key keyboard: where each key sits, how wide it is,
// and which scan code it sends. Positions are in key units (1 = one letter key).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kvar {

struct PhysicalKey {
  std::uint8_t scanCode;
  bool extended;              // sent after the prefix E0
  double x, y, width;         // in key units; every key is one unit high
  std::uint8_t usVirtualKey;  // what a US keyboard's layout gives this key
  bool typesCharacters;       // a key of the typing area rather than a modifier or control key
};

// Row by row, left to right. The Enter key of this keyboard is two rows
// high; it is listed once, on its upper row, and isoEnterLowerPart() gives
// the part on the row below.
std::span<const PhysicalKey> mainBlock();

struct Rect {
  double x, y, width, height;
};
Rect isoEnterLowerPart();

inline constexpr double kKeyboardWidth = 15.0;
inline constexpr double kKeyboardRows = 5.0;

}  // namespace kvar
