#include "platform/kbd_tables.h"

#include <algorithm>
#include <functional>

#include "layouts/common/kbd.h"
#include "platform/format_error.h"

namespace platform {
namespace {

class TablesReader {
 public:
  explicit TablesReader(const LoadedImage& image) : image_(image) {}

  void requireRecord(const std::string& structure, std::uint32_t va, std::uint32_t length) const {
    if (!image_.contains(va, length)) {
      throw FormatError(structure, atAddress(va),
                        "its " + std::to_string(length) + " bytes lie outside the image " +
                            hex(image_.base()) + ".." + hex(image_.base() + image_.size() - 1));
    }
  }

  // The pointer stored at `fieldVa`; it must reach `length` bytes inside the image.
  std::uint32_t pointer(const std::string& field, std::uint32_t fieldVa, std::uint32_t length,
                        bool nullable = false) const {
    const std::uint32_t target = image_.u32(fieldVa);
    if (target == 0 && nullable) return 0;
    if (target == 0) throw FormatError(field, atAddress(fieldVa), "the pointer is null");
    if (!image_.contains(target, length)) {
      throw FormatError(field, atAddress(fieldVa),
                        "the pointer " + hex(target) + " leads outside the image " +
                            hex(image_.base()) + ".." + hex(image_.base() + image_.size() - 1));
    }
    return target;
  }

  // Calls `entry` for each entry of the list at `start` up to the first whose
  // key field is zero; a list that reaches the end of the image without one
  // is malformed.
  // A list may hold at most `maxEntries`, so that a crafted file cannot make
  // the reader walk, or hold, more than a layout ever needs.
  void walkList(const std::string& structure, std::uint32_t start, std::uint32_t entrySize,
                const std::function<bool(std::uint32_t)>& isEnd,
                const std::function<void(std::uint32_t)>& entry,
                std::uint32_t maxEntries = kMaxListEntries) const {
    for (std::uint32_t va = start, count = 0;; va += entrySize, ++count) {
      if (!image_.contains(va, entrySize)) {
        throw FormatError(structure + " list", atAddress(start),
                          "no terminating entry before the end of the image (" +
                              std::to_string(count) + " entries read)");
      }
      if (isEnd(va)) return;
      if (count == maxEntries) {
        throw FormatError(structure + " list", atAddress(start),
                          "more than " + std::to_string(maxEntries) + " entries");
      }
      entry(va);
    }
  }

  std::u16string string(const std::string& field, std::uint32_t fieldVa) const {
    return image_.wstring(pointer(field, fieldVa, 2));
  }

  const LoadedImage& image() const { return image_; }

 private:
  const LoadedImage& image_;
};

Modifiers readModifiers(const TablesReader& r, std::uint32_t va) {
  using kbd::MODIFIERS;
  const LoadedImage& image = r.image();
  Modifiers m;
  m.pVkToBit = r.pointer("MODIFIERS.pVkToBit", va + MODIFIERS::pVkToBit, kbd::VK_TO_BIT::size);
  m.wMaxModBits = image.u16(va + MODIFIERS::wMaxModBits);
  r.requireRecord("MODIFIERS", va, MODIFIERS::ModNumber + m.wMaxModBits + 1u);
  for (std::uint32_t i = 0; i <= m.wMaxModBits; ++i) {
    m.ModNumber.push_back(image.u8(va + MODIFIERS::ModNumber + i));
  }
  r.walkList(
      "VK_TO_BIT", m.pVkToBit, kbd::VK_TO_BIT::size,
      [&](std::uint32_t e) { return image.u8(e + kbd::VK_TO_BIT::Vk) == 0; },
      [&](std::uint32_t e) {
        m.vkToBit.push_back(
            {image.u8(e + kbd::VK_TO_BIT::Vk), image.u8(e + kbd::VK_TO_BIT::ModBits)});
      });
  return m;
}

bool holdsDead(const CharRow& row) {
  return std::find(row.wch.begin(), row.wch.end(), kbd::WCH_DEAD) != row.wch.end();
}

CharTable readCharTable(const TablesReader& r, std::uint32_t entry) {
  using kbd::VK_TO_WCHAR_TABLE;
  using kbd::VK_TO_WCHARS;
  const LoadedImage& image = r.image();
  CharTable t;
  t.nModifications = image.u8(entry + VK_TO_WCHAR_TABLE::nModifications);
  t.cbSize = image.u8(entry + VK_TO_WCHAR_TABLE::cbSize);
  if (t.nModifications == 0 || t.cbSize != VK_TO_WCHARS::sizeFor(t.nModifications)) {
    throw FormatError("VK_TO_WCHAR_TABLE", atAddress(entry),
                      "cbSize " + std::to_string(t.cbSize) + " does not fit nModifications " +
                          std::to_string(t.nModifications) + " (2 + 2 x nModifications)");
  }
  t.pVkToWchars = r.pointer("VK_TO_WCHAR_TABLE.pVkToWchars", entry, t.cbSize);
  const std::string rowName = "VK_TO_WCHARS" + std::to_string(t.nModifications);
  r.walkList(
      rowName, t.pVkToWchars, t.cbSize,
      [&](std::uint32_t row) { return image.u8(row + VK_TO_WCHARS::VirtualKey) == 0; },
      [&](std::uint32_t row) {
        CharRow cr{row,
                   image.u8(row + VK_TO_WCHARS::VirtualKey),
                   image.u8(row + VK_TO_WCHARS::Attributes),
                   {}};
        for (std::uint32_t i = 0; i < t.nModifications; ++i) {
          cr.wch.push_back(image.u16(row + VK_TO_WCHARS::wch + 2 * i));
        }
        t.rows.push_back(std::move(cr));
      });
  for (std::size_t i = 0; i < t.rows.size(); ++i) {
    const bool deadCharRowFollows =
        i + 1 < t.rows.size() && t.rows[i + 1].VirtualKey == kbd::kNoVirtualKey;
    if (t.rows[i].VirtualKey != kbd::kNoVirtualKey && holdsDead(t.rows[i]) && !deadCharRowFollows) {
      throw FormatError(rowName, atAddress(t.rows[i].address),
                        "the row holds WCH_DEAD but no dead-character row follows it");
    }
  }
  return t;
}

std::vector<KeyName> readKeyNames(const TablesReader& r, std::uint32_t start) {
  using kbd::VSC_LPWSTR;
  std::vector<KeyName> names;
  r.walkList(
      "VSC_LPWSTR", start, VSC_LPWSTR::size,
      [&](std::uint32_t e) { return r.image().u8(e + VSC_LPWSTR::vsc) == 0; },
      [&](std::uint32_t e) {
        const std::uint32_t field = e + VSC_LPWSTR::pwsz;
        names.push_back({r.image().u8(e + VSC_LPWSTR::vsc), r.image().u32(field),
                         r.string("VSC_LPWSTR.pwsz", field)});
      });
  return names;
}

std::vector<VscVk> readVscVk(const TablesReader& r, std::uint32_t start) {
  using kbd::VSC_VK;
  std::vector<VscVk> entries;
  r.walkList(
      "VSC_VK", start, VSC_VK::size,
      [&](std::uint32_t e) { return r.image().u8(e + VSC_VK::Vsc) == 0; },
      [&](std::uint32_t e) {
        entries.push_back({r.image().u8(e + VSC_VK::Vsc), r.image().u16(e + VSC_VK::Vk)});
      });
  return entries;
}

}  // namespace

KbdTables readKbdTables(const LoadedImage& image, std::uint32_t address) {
  using kbd::KBDTABLES;
  const TablesReader r(image);
  r.requireRecord("KBDTABLES", address, KBDTABLES::size);
  auto field = [&](std::uint32_t offset) { return address + offset; };
  KbdTables t{};
  t.address = address;
  t.bMaxVSCtoVK = image.u8(field(KBDTABLES::bMaxVSCtoVK));
  t.fLocaleFlags = image.u32(field(KBDTABLES::fLocaleFlags));
  // Only the version-0 fields are read; anything after the 44 bytes belongs to no record.
  t.pCharModifiers = r.pointer("KBDTABLES.pCharModifiers", field(KBDTABLES::pCharModifiers),
                               kbd::MODIFIERS::ModNumber + 1);
  t.pVkToWcharTable = r.pointer("KBDTABLES.pVkToWcharTable", field(KBDTABLES::pVkToWcharTable),
                                kbd::VK_TO_WCHAR_TABLE::size);
  t.pDeadKey =
      r.pointer("KBDTABLES.pDeadKey", field(KBDTABLES::pDeadKey), kbd::DEADKEY::size, true);
  t.pKeyNames =
      r.pointer("KBDTABLES.pKeyNames", field(KBDTABLES::pKeyNames), kbd::VSC_LPWSTR::size);
  t.pKeyNamesExt =
      r.pointer("KBDTABLES.pKeyNamesExt", field(KBDTABLES::pKeyNamesExt), kbd::VSC_LPWSTR::size);
  t.pKeyNamesDead = r.pointer("KBDTABLES.pKeyNamesDead", field(KBDTABLES::pKeyNamesDead),
                              kbd::kDeadKeyNameSize, true);
  t.pusVSCtoVK = r.pointer("KBDTABLES.pusVSCtoVK", field(KBDTABLES::pusVSCtoVK),
                           std::max<std::uint32_t>(2u * t.bMaxVSCtoVK, 1));
  t.pVSCtoVK_E0 =
      r.pointer("KBDTABLES.pVSCtoVK_E0", field(KBDTABLES::pVSCtoVK_E0), kbd::VSC_VK::size);
  t.pVSCtoVK_E1 =
      r.pointer("KBDTABLES.pVSCtoVK_E1", field(KBDTABLES::pVSCtoVK_E1), kbd::VSC_VK::size);

  t.charModifiers = readModifiers(r, t.pCharModifiers);

  using kbd::VK_TO_WCHAR_TABLE;
  r.walkList(
      "VK_TO_WCHAR_TABLE", t.pVkToWcharTable, VK_TO_WCHAR_TABLE::size,
      [&](std::uint32_t e) { return image.u32(e + VK_TO_WCHAR_TABLE::pVkToWchars) == 0; },
      [&](std::uint32_t e) { t.vkToWcharTable.push_back(readCharTable(r, e)); }, kMaxCharTables);

  if (t.pDeadKey != 0) {
    using kbd::DEADKEY;
    r.walkList(
        "DEADKEY", t.pDeadKey, DEADKEY::size,
        [&](std::uint32_t e) { return image.u32(e + DEADKEY::dwBoth) == 0; },
        [&](std::uint32_t e) {
          t.deadKeys.push_back({image.u32(e + DEADKEY::dwBoth), image.u16(e + DEADKEY::wchComposed),
                                image.u16(e + DEADKEY::uFlags)});
        });
  }

  t.keyNames = readKeyNames(r, t.pKeyNames);
  t.keyNamesExt = readKeyNames(r, t.pKeyNamesExt);
  if (t.pKeyNamesDead != 0) {
    r.walkList(
        "dead-key name", t.pKeyNamesDead, kbd::kDeadKeyNameSize,
        [&](std::uint32_t e) { return image.u32(e) == 0; },
        [&](std::uint32_t e) {
          t.keyNamesDead.push_back({image.u32(e), r.string("dead-key name", e)});
        });
  }

  for (std::uint32_t i = 0; i < t.bMaxVSCtoVK; ++i)
    t.vscToVk.push_back(image.u16(t.pusVSCtoVK + 2 * i));
  t.vscToVkE0 = readVscVk(r, t.pVSCtoVK_E0);
  t.vscToVkE1 = readVscVk(r, t.pVSCtoVK_E1);
  return t;
}

}  // namespace platform
