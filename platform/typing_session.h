// A keyboard in use under one layout: keys go down and up as scan codes, the
// session keeps what is held, the Caps Lock and Num Lock toggles and the
// pending dead character, and collects what ToUnicode delivers.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/keyboard_layout.h"

namespace platform {

// Scan codes of the modifier and toggle keys of a PC keyboard.
namespace keys {
inline constexpr ScanCode kLeftShift{0x2A};
inline constexpr ScanCode kRightShift{0x36};
inline constexpr ScanCode kLeftCtrl{0x1D};
inline constexpr ScanCode kRightCtrl{0x1D, Prefix::E0};
inline constexpr ScanCode kLeftAlt{0x38};
inline constexpr ScanCode kRightAlt{0x38, Prefix::E0};
inline constexpr ScanCode kCapsLock{0x3A};
inline constexpr ScanCode kNumLock{0x45};
}  // namespace keys

class TypingSession {
 public:
  explicit TypingSession(const KeyboardLayout& layout) : layout_(&layout) {}

  // The key goes down (a key already down repeats); returns what it delivers.
  Delivery press(ScanCode key);
  void release(ScanCode key);
  // Down and up.
  Delivery tap(ScanCode key);
  // The modifiers go down in order, the key is tapped, the modifiers go up.
  Delivery chord(const std::vector<ScanCode>& modifiers, ScanCode key);

  bool capsLock() const { return capsLock_; }
  bool numLock() const { return numLock_; }
  void setCapsLock(bool on) { capsLock_ = on; }
  void setNumLock(bool on) { numLock_ = on; }

  std::uint8_t modifierBits() const;
  // The virtual key the key would send now; nullopt for no key.
  std::optional<std::uint8_t> virtualKey(ScanCode key) const;
  std::optional<char16_t> pendingDeadChar() const { return pendingDead_; }
  // Every character delivered so far; a dead key's own delivery is not text.
  const std::u16string& text() const { return text_; }

 private:
  const KeyboardLayout* layout_;
  std::map<ScanCode, std::uint8_t> held_;  // each key down with the virtual key it sent
  bool capsLock_ = false;
  bool numLock_ = false;
  std::optional<char16_t> pendingDead_;
  std::u16string text_;
};

}  // namespace platform
