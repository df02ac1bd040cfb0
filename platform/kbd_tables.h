// The tree of keyboard-layout records that a layout library's KBDTABLES
// roots, read once from a loaded image with every pointer and every list
// checked. Pointer fields keep the values the image holds, so the tree can be
// shown as the platform sees it; the lists hold their entries without the
// terminating entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/loaded_image.h"

namespace platform {

struct VkToBit {
  std::uint8_t Vk;
  std::uint8_t ModBits;
};

struct Modifiers {
  std::uint32_t pVkToBit;
  std::vector<VkToBit> vkToBit;
  std::uint16_t wMaxModBits;
  std::vector<std::uint8_t> ModNumber;  // wMaxModBits + 1 entries
};

// A row of VK_TO_WCHARS1 .. VK_TO_WCHARSn; a dead-character row has VirtualKey 0xFF.
struct CharRow {
  std::uint32_t address;
  std::uint8_t VirtualKey;
  std::uint8_t Attributes;
  std::vector<char16_t> wch;  // nModifications cells
};

// A VK_TO_WCHAR_TABLE entry and the rows it points to.
struct CharTable {
  std::uint32_t pVkToWchars;
  std::uint8_t nModifications;
  std::uint8_t cbSize;
  std::vector<CharRow> rows;
};

struct DeadKey {
  std::uint32_t dwBoth;
  char16_t wchComposed;
  std::uint16_t uFlags;

  char16_t deadChar() const { return static_cast<char16_t>(dwBoth >> 16); }
  char16_t baseChar() const { return static_cast<char16_t>(dwBoth & 0xFFFF); }
};

struct KeyName {  // VSC_LPWSTR
  std::uint8_t vsc;
  std::uint32_t pwsz;
  std::u16string name;
};

struct DeadKeyName {
  std::uint32_t pointer;
  std::u16string text;  // the dead character, then the name
};

struct VscVk {  // VSC_VK
  std::uint8_t Vsc;
  std::uint16_t Vk;
};

struct KbdTables {
  std::uint32_t address;  // where KbdLayerDescriptor said the record is

  // The KBDTABLES fields as stored.
  std::uint32_t pCharModifiers;
  std::uint32_t pVkToWcharTable;
  std::uint32_t pDeadKey;
  std::uint32_t pKeyNames;
  std::uint32_t pKeyNamesExt;
  std::uint32_t pKeyNamesDead;
  std::uint32_t pusVSCtoVK;
  std::uint8_t bMaxVSCtoVK;
  std::uint32_t pVSCtoVK_E0;
  std::uint32_t pVSCtoVK_E1;
  std::uint32_t fLocaleFlags;

  // What they point to. A null pDeadKey or pKeyNamesDead leaves its list empty.
  Modifiers charModifiers;
  std::vector<CharTable> vkToWcharTable;
  std::vector<DeadKey> deadKeys;
  std::vector<KeyName> keyNames;
  std::vector<KeyName> keyNamesExt;
  std::vector<DeadKeyName> keyNamesDead;
  std::vector<std::uint16_t> vscToVk;  // bMaxVSCtoVK scan-code entries
  std::vector<VscVk> vscToVkE0;
  std::vector<VscVk> vscToVkE1;
};

// The most entries the reader takes from one list, and the most character
// tables: far above any layout (a virtual key is one byte), and low enough that
// a crafted file that points many entries at one long table stays cheap.
inline constexpr std::uint32_t kMaxListEntries = 4096;
inline constexpr std::uint32_t kMaxCharTables = 64;

// Reads the tree rooted at `address`; throws FormatError naming the record,
// field and address of the first thing that is wrong.
KbdTables readKbdTables(const LoadedImage& image, std::uint32_t address);

}  // namespace platform
