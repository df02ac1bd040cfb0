// How a layout is written in our sources: the contents of its records, in
// their order, as host-side C++ values. The image writer turns a
// LayoutLibrary into the 32-bit records of kbd.h; nothing else reads these.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "layouts/common/kbd.h"

namespace layout {

using kbd::BYTE;
using kbd::DWORD;
using kbd::WCHAR;
using kbd::WORD;

struct VkToBit {
  BYTE Vk;
  BYTE ModBits;
};

// A modifier set: the VK_TO_BIT list and ModNumber, one byte for each
// modifier-bit combination 0 .. wMaxModBits.
struct ModifierSet {
  std::span<const VkToBit> vkToBit;
  std::span<const BYTE> modNumber;

  WORD wMaxModBits() const { return static_cast<WORD>(modNumber.size() - 1); }
};

inline constexpr std::size_t kMaxCells = 4;

// One row of a character table with N cells (VK_TO_WCHARS1 .. VK_TO_WCHARS4).
template <std::size_t N>
struct CharRow {
  static_assert(N >= 1 && N <= kMaxCells);
  BYTE VirtualKey;
  BYTE Attributes;
  std::array<WCHAR, N> wch;
};

// A character table: its rows in the layout's order. Rows are kept with the
// widest cell array; only the first nModifications cells are ever written.
class CharTable {
 public:
  struct Row {
    BYTE VirtualKey;
    BYTE Attributes;
    std::array<WCHAR, kMaxCells> wch;
  };

  // The table of N-cell rows made of the given runs of rows, one after the
  // other (a layout's own rows, then shared rows such as the keypad rows).
  template <std::size_t N, typename... Runs>
  static CharTable of(std::span<const CharRow<N>> first, const Runs&... rest) {
    CharTable table(static_cast<BYTE>(N));
    table.append(first);
    (table.append(std::span<const CharRow<N>>(rest)), ...);
    return table;
  }

  BYTE nModifications() const { return nModifications_; }
  const std::vector<Row>& rows() const { return rows_; }

 private:
  explicit CharTable(BYTE nModifications) : nModifications_(nModifications) {}

  template <std::size_t N>
  void append(std::span<const CharRow<N>> run) {
    for (const CharRow<N>& r : run) {
      Row row{r.VirtualKey, r.Attributes, {}};
      std::copy(r.wch.begin(), r.wch.end(), row.wch.begin());
      rows_.push_back(row);
    }
  }

  BYTE nModifications_;
  std::vector<Row> rows_;
};

// A DEADKEY entry: dead character and base character (dwBoth holds the dead
// character in its high word), the composed character and its flags.
struct DeadKey {
  WCHAR dead;
  WCHAR base;
  WCHAR wchComposed;
  WORD uFlags;
};

// A VSC_LPWSTR entry.
struct KeyName {
  BYTE vsc;
  std::u16string_view name;
};

// A VSC_VK entry: the scan code after a prefix and its scan-code entry.
struct VscVk {
  BYTE Vsc;
  WORD Vk;
};

using ScanCodeMap = std::array<WORD, kbd::kScanCodeMapSize>;

// Everything KBDTABLES points to. An empty deadKeys or keyNamesDead is
// written as a null pointer.
struct LayoutTables {
  const ModifierSet* charModifiers;
  std::vector<CharTable> charTables;
  std::span<const DeadKey> deadKeys;
  std::span<const KeyName> keyNames;
  std::span<const KeyName> keyNamesExt;
  std::span<const std::u16string_view> keyNamesDead;  // dead character, then the name
  ScanCodeMap vscToVk;
  std::span<const VscVk> vscToVkE0;
  std::span<const VscVk> vscToVkE1;
  DWORD localeFlags;
};

// What the version resource says of one library; the rest of it is the same
// for every library and is written by the image writer.
struct VersionInfo {
  std::array<WORD, 4> fileVersion;  // 5, 0, 2180, 1
  std::u16string_view fileDescription;
};

struct LayoutLibrary {
  std::string_view name;  // "stdkeys": the file is name + ".dll"
  LayoutTables tables;
  VersionInfo version;
};

// The given map with each pair of entries exchanged.
inline ScanCodeMap withExchangedKeys(ScanCodeMap map,
                                     std::initializer_list<std::pair<BYTE, BYTE>> pairs) {
  for (auto [a, b] : pairs) std::swap(map.at(a), map.at(b));
  return map;
}

}  // namespace layout
