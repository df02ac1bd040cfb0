#include "platform/keyboard_layout.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

using namespace kbd;

// Left and right modifier keys count as the generic key.
std::uint8_t genericKey(std::uint8_t vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
      return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
      return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
      return VK_MENU;
    default:
      return vk;
  }
}

// Num Lock on, Shift not held: the cursor key a KBDNUMPAD entry holds becomes a keypad key.
std::uint8_t numpadKey(std::uint8_t vk) {
  static constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 11> kNumpad{{
      {VK_INSERT, VK_NUMPAD0},
      {VK_END, VK_NUMPAD1},
      {VK_DOWN, VK_NUMPAD2},
      {VK_NEXT, VK_NUMPAD3},
      {VK_LEFT, VK_NUMPAD4},
      {VK_CLEAR, VK_NUMPAD5},
      {VK_RIGHT, VK_NUMPAD6},
      {VK_HOME, VK_NUMPAD7},
      {VK_UP, VK_NUMPAD8},
      {VK_PRIOR, VK_NUMPAD9},
      {VK_DELETE, VK_DECIMAL},
  }};
  for (auto [cursor, keypad] : kNumpad) {
    if (cursor == vk) return keypad;
  }
  return vk;
}

bool isKey(std::uint8_t vk) {
  return vk != 0 && vk != kNoVirtualKey;
}

}  // namespace

std::uint8_t dropAltWithoutCtrl(std::uint8_t modifierBits) {
  if ((modifierBits & KBDALT) && !(modifierBits & KBDCTRL)) {
    return static_cast<std::uint8_t>(modifierBits & ~KBDALT);
  }
  return modifierBits;
}

KeyboardLayout::KeyboardLayout(KbdTables tables) : tables_(std::move(tables)) {
  // readKbdTables guarantees these; a model built by hand must keep them too.
  const Modifiers& m = tables_.charModifiers;
  bool sound = m.ModNumber.size() == m.wMaxModBits + 1u;
  for (const CharTable& table : tables_.vkToWcharTable) {
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
      const CharRow& row = table.rows[i];
      sound = sound && row.wch.size() == table.nModifications;
      const bool dead = std::find(row.wch.begin(), row.wch.end(), WCH_DEAD) != row.wch.end();
      if (dead && row.VirtualKey != kNoVirtualKey) {
        sound = sound && i + 1 < table.rows.size() &&
                table.rows[i + 1].VirtualKey == kNoVirtualKey &&
                table.rows[i + 1].wch.size() == table.nModifications;
      }
    }
  }
  if (!sound) {
    throw std::invalid_argument(
        "keyboard tables: ModNumber, a row's cells or a dead-character row do not fit");
  }
}

KeyboardLayout KeyboardLayout::load(const LoadedImage& image) {
  const std::uint32_t descriptor = image.exportByName(kDescriptorName);
  return KeyboardLayout(readKbdTables(image, image.callDescriptor(descriptor)));
}

std::optional<std::uint16_t> KeyboardLayout::scanCodeEntry(ScanCode scan) const {
  std::optional<std::uint16_t> entry;
  auto inList = [&](const std::vector<VscVk>& list) {
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const VscVk& e) { return e.Vsc == scan.code; });
    if (it != list.end()) entry = it->Vk;
  };
  switch (scan.prefix) {
    case Prefix::None:
      if (scan.code < tables_.vscToVk.size()) entry = tables_.vscToVk[scan.code];
      break;
    case Prefix::E0:
      inList(tables_.vscToVkE0);
      break;
    case Prefix::E1:
      inList(tables_.vscToVkE1);
      break;
  }
  if (!entry || !isKey(*entry & 0xFF)) return std::nullopt;
  return entry;
}

std::optional<std::uint8_t> KeyboardLayout::virtualKey(ScanCode scan, std::uint8_t modifierBits,
                                                       bool numLock) const {
  const auto entry = scanCodeEntry(scan);
  if (!entry) return std::nullopt;
  auto vk = static_cast<std::uint8_t>(*entry & 0xFF);
  if ((*entry & KBDNUMPAD) && scan.prefix == Prefix::None && numLock &&
      !(modifierBits & KBDSHIFT)) {
    vk = numpadKey(vk);
  }
  if (*entry & KBDMULTIVK) {
    // Chosen by the entry's virtual key (Num Lock key, keypad asterisk), not by its scan code.
    if (vk == VK_NUMLOCK && (modifierBits & KBDCTRL)) vk = VK_PAUSE;
    if (vk == VK_MULTIPLY && (modifierBits & KBDALT)) vk = VK_SNAPSHOT;
  }
  return vk;
}

std::uint8_t KeyboardLayout::modifierBits(std::span<const std::uint8_t> heldVirtualKeys) const {
  auto bitsOf = [&](std::uint8_t vk) {
    std::uint8_t bits = 0;
    for (const VkToBit& e : tables_.charModifiers.vkToBit) {
      if (e.Vk == vk) bits |= e.ModBits;
    }
    return bits;
  };
  std::uint8_t bits = 0;
  for (std::uint8_t vk : heldVirtualKeys) {
    bits |= bitsOf(genericKey(vk));
    if (vk == VK_RMENU && altGr()) bits |= bitsOf(VK_CONTROL);  // AltGr is Ctrl+Alt
  }
  return bits;
}

std::optional<std::uint8_t> KeyboardLayout::modificationNumber(std::uint8_t modifierBits) const {
  const Modifiers& m = tables_.charModifiers;
  if (modifierBits > m.wMaxModBits) return std::nullopt;
  const std::uint8_t number = m.ModNumber[modifierBits];
  if (number == SHFT_INVALID) return std::nullopt;
  return number;
}

std::optional<KeyboardLayout::RowRef> KeyboardLayout::rowOf(std::uint8_t virtualKey) const {
  if (!isKey(virtualKey)) return std::nullopt;
  for (const CharTable& table : tables_.vkToWcharTable) {
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
      if (table.rows[i].VirtualKey == virtualKey) return RowRef{&table, i};
    }
  }
  return std::nullopt;
}

Cell KeyboardLayout::cellAt(RowRef row, std::uint8_t modification) {
  if (modification >= row.table->nModifications) return {Cell::Kind::NoColumn};
  const char16_t c = row.table->rows[row.index].wch[modification];
  if (c == WCH_NONE) return {Cell::Kind::None};
  // The reader made sure a dead-character row follows every row holding WCH_DEAD.
  if (c == WCH_DEAD) return {Cell::Kind::Dead, row.table->rows[row.index + 1].wch[modification]};
  return {Cell::Kind::Character, c};
}

Cell KeyboardLayout::lookup(std::uint8_t virtualKey, std::uint8_t modifierBits,
                            bool capsLock) const {
  const auto row = rowOf(virtualKey);
  if (!row) return {Cell::Kind::NoRow};
  // Caps Lock reverses Shift on CAPLOK rows while neither Ctrl nor Alt is held.
  if (capsLock && (row->table->rows[row->index].Attributes & CAPLOK) &&
      !(modifierBits & (KBDCTRL | KBDALT))) {
    modifierBits ^= KBDSHIFT;
  }
  const auto modification = modificationNumber(modifierBits);
  if (!modification) return {Cell::Kind::NoColumn};
  return cellAt(*row, *modification);
}

Delivery KeyboardLayout::toUnicode(std::uint8_t virtualKey, std::uint8_t modifierBits,
                                   bool capsLock, std::optional<char16_t>& pendingDead) const {
  const Cell cell = lookup(virtualKey, dropAltWithoutCtrl(modifierBits), capsLock);
  if (cell.kind != Cell::Kind::Character && cell.kind != Cell::Kind::Dead) {
    return {};  // no character: a pending dead key stays pending
  }
  if (!pendingDead) {
    if (cell.kind == Cell::Kind::Dead) {
      pendingDead = cell.ch;
      return {-1, std::u16string(1, cell.ch)};
    }
    return {1, std::u16string(1, cell.ch)};
  }
  // A character, or a second dead key's dead character, joins the pending one.
  const char16_t dead = *std::exchange(pendingDead, std::nullopt);
  for (const DeadKey& d : tables_.deadKeys) {
    if (d.deadChar() == dead && d.baseChar() == cell.ch) {
      if (d.uFlags & DKF_DEAD) {
        pendingDead = d.wchComposed;
        return {-1, std::u16string(1, d.wchComposed)};
      }
      return {1, std::u16string(1, d.wchComposed)};
    }
  }
  return {2, std::u16string{dead, cell.ch}};
}

std::int16_t KeyboardLayout::vkKeyScan(char16_t ch) const {
  if (ch == WCH_NONE || ch == WCH_DEAD) return -1;
  const Modifiers& m = tables_.charModifiers;
  for (const CharTable& table : tables_.vkToWcharTable) {
    for (const CharRow& row : table.rows) {
      if (row.VirtualKey == kNoVirtualKey) continue;  // dead characters are not typed by a key
      for (std::size_t cell = 0; cell < row.wch.size(); ++cell) {
        if (row.wch[cell] != ch) continue;
        // The lowest modifier bits that select this cell; the bits KBDSHIFT,
        // KBDCTRL and KBDALT are VkKeyScan's Shift 1, Ctrl 2 and Alt 4. A cell
        // that no combination selects cannot be typed, so the search goes on.
        for (std::uint32_t bits = 0; bits <= m.wMaxModBits; ++bits) {
          if (m.ModNumber[bits] == cell) {
            return static_cast<std::int16_t>(bits << 8 | row.VirtualKey);
          }
        }
      }
    }
  }
  return -1;
}

std::optional<std::uint8_t> KeyboardLayout::scanCodeOf(std::uint8_t virtualKey,
                                                       bool* extended) const {
  if (!isKey(virtualKey)) return std::nullopt;
  const auto& map = tables_.vscToVk;
  for (std::size_t s = 0; s < map.size(); ++s) {
    if ((map[s] & 0xFF) == virtualKey) {
      if (extended) *extended = false;
      return static_cast<std::uint8_t>(s);
    }
  }
  for (const auto* list : {&tables_.vscToVkE0, &tables_.vscToVkE1}) {
    for (const VscVk& e : *list) {
      if ((e.Vk & 0xFF) == virtualKey) {
        if (extended) *extended = list == &tables_.vscToVkE0;
        return e.Vsc;
      }
    }
  }
  return std::nullopt;
}

std::uint32_t KeyboardLayout::mapVirtualKey(std::uint32_t code, std::uint32_t mapType) const {
  if (code > 0xFF) return 0;
  const auto byte = static_cast<std::uint8_t>(code);
  switch (mapType) {
    case MAPVK_VK_TO_VSC: {
      std::uint8_t vk = byte;
      if (vk == VK_SHIFT) vk = VK_LSHIFT;
      if (vk == VK_CONTROL) vk = VK_LCONTROL;
      if (vk == VK_MENU) vk = VK_LMENU;
      return scanCodeOf(vk, nullptr).value_or(0);
    }
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX: {
      const auto entry = scanCodeEntry({byte});
      if (!entry) return 0;
      const auto vk = static_cast<std::uint8_t>(*entry & 0xFF);
      return mapType == MAPVK_VSC_TO_VK ? genericKey(vk) : vk;
    }
    case MAPVK_VK_TO_CHAR: {
      const auto row = rowOf(byte);
      if (!row) return 0;
      const Cell cell = cellAt(*row, 0);
      if (cell.kind == Cell::Kind::Dead) return 0x80000000u | cell.ch;
      if (cell.kind != Cell::Kind::Character) return 0;
      return cell.ch >= u'a' && cell.ch <= u'z' ? cell.ch - 0x20 : cell.ch;
    }
    default:
      return 0;
  }
}

std::u16string KeyboardLayout::keyNameText(std::uint32_t lParam) const {
  auto scan = static_cast<std::uint8_t>(lParam >> 16);
  bool extended = (lParam & (1u << 24)) != 0;
  const bool eitherSide = (lParam & (1u << 25)) != 0;
  auto keyOf = [&] {
    const auto entry = scanCodeEntry({scan, extended ? Prefix::E0 : Prefix::None});
    return entry ? static_cast<std::uint8_t>(*entry & 0xFF) : std::uint8_t{0};
  };

  if (eitherSide) {
    const std::uint8_t vk = keyOf();
    if (vk == VK_RSHIFT || vk == VK_RCONTROL || vk == VK_RMENU) {
      // Each right key follows its left key in the virtual-key codes.
      if (const auto left = scanCodeOf(static_cast<std::uint8_t>(vk - 1), &extended)) {
        scan = *left;
      }
    }
  }

  for (const KeyName& n : extended ? tables_.keyNamesExt : tables_.keyNames) {
    if (n.vsc == scan) return n.name;
  }
  // No name entry: the key is named after its Base character, as the table holds it.
  const auto row = rowOf(keyOf());
  if (!row) return {};
  const Cell cell = cellAt(*row, 0);
  if (cell.kind == Cell::Kind::Dead) {
    for (const DeadKeyName& d : tables_.keyNamesDead) {
      if (!d.text.empty() && d.text.front() == cell.ch) return d.text.substr(1);
    }
  }
  if (cell.kind == Cell::Kind::Character || cell.kind == Cell::Kind::Dead) {
    return std::u16string(1, cell.ch);
  }
  return {};
}

}  // namespace platform
