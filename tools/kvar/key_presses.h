// Key presses as kvar takes them from people, and typing them through the
// platform stand-in's keyboard.
//
// A press is written as modifiers joined to a scan code with '+':
//
//   0x1f          the key with scan code 0x1F
//   S+0x10        with left Shift held      C+  left Ctrl   A+  left Alt
//   AltGr+0x12    with right Alt held (AltGr where the layout has it)
//   C+A+0x12      several modifiers, held in the order written
//   E0:0x38       a scan code sent after the prefix E0 (E1: likewise)
//
// Scan codes are hexadecimal with 0x, from 0x01 to 0xFF; modifier names are
// matched without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/keyboard_layout.h"

namespace kvar {

struct KeyPress {
  std::vector<platform::ScanCode> modifiers;  // held down in order around the key
  platform::ScanCode key;
  bool operator==(const KeyPress&) const = default;
};

// One press in the syntax above; throws UsageError naming the press.
KeyPress parsePress(std::string_view text);

// Presses separated by spaces; throws UsageError.
std::vector<KeyPress> parsePresses(std::string_view text);

// The presses that type UTF-8 text on a US keyboard: each character names
// the US key that carries it and whether Shift is held. Throws UsageError
// for a character that no US key carries.
std::vector<KeyPress> usPressesFor(std::string_view utf8);

// Presses the keys one after another on a fresh keyboard (Caps Lock as
// given, Num Lock off) and returns the characters the layout delivered. A
// dead key still pending at the end delivers nothing.
std::u16string typeThrough(const platform::KeyboardLayout& layout,
                           const std::vector<KeyPress>& presses, bool capsLock);

}  // namespace kvar
