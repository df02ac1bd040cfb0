// What a layout puts on each key of the main block, as a person reads a
// keyboard: the characters by level, dead keys, keys the layout moved. Made
// from a loaded layout library by the platform stand-in; drawn as text or SVG.
#pragma once

#include <string>
#include <vector>

#include "tools/kvar/keyboard_geometry.h"

namespace kvar {

struct Legend {
  std::u16string text;  // empty: the key gives nothing at this level
  bool dead = false;    // text is the dead character of a dead key
};

struct KeyCap {
  PhysicalKey key;
  std::u16string name;        // the key's name, shown on keys that type no characters
  Legend base, shift, third;  // third: AltGr where the layout has it, else Ctrl
  bool moved = false;         // the layout gives it another virtual key than a US keyboard
};

struct KeyboardView {
  std::string title;
  bool altGr = false;  // the third level is AltGr rather than Ctrl
  std::vector<KeyCap> keys;
};

// How a legend is written for people: control characters by their name
// ("ESC", "NUL"), the space by ␣, the no-break space by "NBSP", the
// noncharacters U+FFFE and U+FFFF by U+FFFD, anything else as itself.
std::u16string printable(const std::u16string& text);

std::string toUtf8(const std::u16string& text);

// Text for the content and the attribute values of HTML and SVG.
std::string markupEscaped(const std::string& text);

}  // namespace kvar
