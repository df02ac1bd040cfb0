// A layout library's tables and the keyboard services the input subsystem
// offers over them: scan code to virtual key, modifier bits, the character
// lookup, ToUnicode with Caps Lock and dead keys, VkKeyScan, MapVirtualKey
// and GetKeyNameText. The tables are read and checked once, at load; the
// services then work on that model and cannot meet a malformed record.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "layouts/common/kbd.h"
#include "platform/kbd_tables.h"
#include "platform/loaded_image.h"

namespace platform {

// A scan code as the keyboard sends it: the code and the prefix before it.
enum class Prefix : std::uint8_t { None, E0, E1 };
struct ScanCode {
  std::uint8_t code;
  Prefix prefix = Prefix::None;
  auto operator<=>(const ScanCode&) const = default;
};

// What the character lookup finds for a key in a modifier state.
struct Cell {
  enum class Kind {
    NoRow,      // no character table has a row for the key
    NoColumn,   // the modifier bits select no modification number, or the row has no such cell
    None,       // the cell is WCH_NONE
    Character,  // `ch` is the character
    Dead,       // the cell is WCH_DEAD; `ch` is the dead character
  };
  Kind kind;
  char16_t ch = 0;
  bool operator==(const Cell&) const = default;
};

// What ToUnicode delivers for one key: count -1 for a dead key (chars holds
// its dead character), otherwise the number of characters in chars.
struct Delivery {
  int count = 0;
  std::u16string chars;
  bool operator==(const Delivery&) const = default;
};

// MapVirtualKey translation types.
inline constexpr std::uint32_t MAPVK_VK_TO_VSC = 0;
inline constexpr std::uint32_t MAPVK_VSC_TO_VK = 1;
inline constexpr std::uint32_t MAPVK_VK_TO_CHAR = 2;
inline constexpr std::uint32_t MAPVK_VSC_TO_VK_EX = 3;

class KeyboardLayout {
 public:
  static constexpr const char* kDescriptorName = "KbdLayerDescriptor";

  // Finds KbdLayerDescriptor by name, runs it and reads the tables it returns.
  static KeyboardLayout load(const LoadedImage& image);
  // A model built by hand; std::invalid_argument unless it keeps the shape the reader checks.
  explicit KeyboardLayout(KbdTables tables);

  const KbdTables& tables() const { return tables_; }
  bool altGr() const { return (tables_.fLocaleFlags & kbd::KLLF_ALTGR) != 0; }

  // The raw scan-code entry (virtual key and flags); nullopt when the scan
  // code has no entry or its virtual key is 0xFF.
  std::optional<std::uint16_t> scanCodeEntry(ScanCode scan) const;
  // The virtual key the key sends, after the Num Lock correspondence of
  // KBDNUMPAD entries and the KBDMULTIVK substitutions; nullopt for no key.
  std::optional<std::uint8_t> virtualKey(ScanCode scan, std::uint8_t modifierBits,
                                         bool numLock) const;

  // Modifier bits of the held keys (left and right keys count as the generic one).
  std::uint8_t modifierBits(std::span<const std::uint8_t> heldVirtualKeys) const;
  // The modification number the bits select; nullopt for none.
  std::optional<std::uint8_t> modificationNumber(std::uint8_t modifierBits) const;

  // The character tables read with the modifier bits as they are (Caps Lock applied).
  Cell lookup(std::uint8_t virtualKey, std::uint8_t modifierBits, bool capsLock) const;
  // ToUnicode: the lookup after the Alt rule, with the pending dead character
  // kept in `pendingDead` between calls.
  Delivery toUnicode(std::uint8_t virtualKey, std::uint8_t modifierBits, bool capsLock,
                     std::optional<char16_t>& pendingDead) const;

  // Low byte the virtual key, high byte Shift 1, Ctrl 2, Alt 4; -1 when no key types it.
  std::int16_t vkKeyScan(char16_t ch) const;
  std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) const;
  // The request is a key message's lParam: scan code in bits 16-23, extended
  // key in bit 24, "do not care about left or right" in bit 25. Empty: no name.
  std::u16string keyNameText(std::uint32_t lParam) const;

 private:
  struct RowRef {
    const CharTable* table;
    std::size_t index;
  };
  std::optional<RowRef> rowOf(std::uint8_t virtualKey) const;
  static Cell cellAt(RowRef row, std::uint8_t modification);
  std::optional<std::uint8_t> scanCodeOf(std::uint8_t virtualKey, bool* extended) const;

  KbdTables tables_;
};

// Alt held without Ctrl: the modifier sets give no column, and Windows drops
// the Alt bit so that Alt+letter reaches menus as the plain character.
std::uint8_t dropAltWithoutCtrl(std::uint8_t modifierBits);

}  // namespace platform
