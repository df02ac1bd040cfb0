#include "layouts/common/layout_records.h"

#include <vector>

#include "layouts/common/kbd.h"

namespace image {
namespace {

using layout::CharTable;
using layout::KeyName;
using layout::VscVk;

// A list of pointers to strings written earlier, in the list's order.
std::vector<std::uint32_t> writeStrings(ByteWriter& out, std::span<const KeyName> names) {
  std::vector<std::uint32_t> at;
  for (const KeyName& n : names) {
    at.push_back(out.rva());
    out.utf16z(n.name);
  }
  return at;
}

std::uint32_t writeKeyNames(ByteWriter& out, std::span<const KeyName> names,
                            const std::vector<std::uint32_t>& strings) {
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (std::size_t i = 0; i < names.size(); ++i) {
    out.u8(names[i].vsc);
    out.zeros(3);
    out.pointer(strings[i]);
  }
  out.zeros(kbd::VSC_LPWSTR::size);
  return at;
}

std::uint32_t writeScanCodeList(ByteWriter& out, std::span<const VscVk> list) {
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (const VscVk& e : list) {
    out.u8(e.Vsc);
    out.u8(0);
    out.u16(e.Vk);
  }
  out.zeros(kbd::VSC_VK::size);
  return at;
}

std::uint32_t writeModifiers(ByteWriter& out, const layout::ModifierSet& set) {
  out.alignTo(4);
  std::uint32_t vkToBit = out.rva();
  for (const layout::VkToBit& e : set.vkToBit) {
    out.u8(e.Vk);
    out.u8(e.ModBits);
  }
  out.zeros(kbd::VK_TO_BIT::size);

  out.alignTo(4);
  std::uint32_t at = out.rva();
  out.pointer(vkToBit);
  out.u16(set.wMaxModBits());
  for (kbd::BYTE n : set.modNumber) out.u8(n);
  return at;
}

std::uint32_t writeCharTable(ByteWriter& out, const CharTable& table) {
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (const CharTable::Row& row : table.rows()) {
    out.u8(row.VirtualKey);
    out.u8(row.Attributes);
    for (std::size_t i = 0; i < table.nModifications(); ++i) out.u16(row.wch[i]);
  }
  out.zeros(kbd::VK_TO_WCHARS::sizeFor(table.nModifications()));
  return at;
}

std::uint32_t writeCharTableList(ByteWriter& out, const std::vector<CharTable>& tables) {
  std::vector<std::uint32_t> rows;
  for (const CharTable& t : tables) rows.push_back(writeCharTable(out, t));
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (std::size_t i = 0; i < tables.size(); ++i) {
    out.pointer(rows[i]);
    out.u8(tables[i].nModifications());
    out.u8(static_cast<kbd::BYTE>(kbd::VK_TO_WCHARS::sizeFor(tables[i].nModifications())));
    out.u16(0);
  }
  out.zeros(kbd::VK_TO_WCHAR_TABLE::size);
  return at;
}

std::uint32_t writeDeadKeys(ByteWriter& out, std::span<const layout::DeadKey> deadKeys) {
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (const layout::DeadKey& d : deadKeys) {
    out.u16(d.base);  // dwBoth: base character low, dead character high
    out.u16(d.dead);
    out.u16(d.wchComposed);
    out.u16(d.uFlags);
  }
  out.zeros(kbd::DEADKEY::size);
  return at;
}

std::uint32_t writeDeadKeyNames(ByteWriter& out, std::span<const std::u16string_view> names) {
  std::vector<std::uint32_t> strings;
  for (std::u16string_view name : names) {
    strings.push_back(out.rva());
    out.utf16z(name);
  }
  out.alignTo(4);
  std::uint32_t at = out.rva();
  for (std::uint32_t s : strings) out.pointer(s);
  out.null();
  return at;
}

void pointerOrNull(ByteWriter& out, std::uint32_t rva) {
  if (rva != 0) {
    out.pointer(rva);
  } else {
    out.null();
  }
}

}  // namespace

std::uint32_t writeLayoutRecords(ByteWriter& out, const layout::LayoutTables& tables) {
  std::vector<std::uint32_t> nameStrings = writeStrings(out, tables.keyNames);
  std::vector<std::uint32_t> extNameStrings = writeStrings(out, tables.keyNamesExt);
  std::uint32_t keyNames = writeKeyNames(out, tables.keyNames, nameStrings);
  std::uint32_t keyNamesExt = writeKeyNames(out, tables.keyNamesExt, extNameStrings);
  std::uint32_t keyNamesDead =
      tables.keyNamesDead.empty() ? 0 : writeDeadKeyNames(out, tables.keyNamesDead);

  out.alignTo(4);
  std::uint32_t vscToVk = out.rva();
  for (kbd::WORD entry : tables.vscToVk) out.u16(entry);
  std::uint32_t e0 = writeScanCodeList(out, tables.vscToVkE0);
  std::uint32_t e1 = writeScanCodeList(out, tables.vscToVkE1);

  std::uint32_t modifiers = writeModifiers(out, *tables.charModifiers);
  std::uint32_t charTables = writeCharTableList(out, tables.charTables);
  std::uint32_t deadKeys = tables.deadKeys.empty() ? 0 : writeDeadKeys(out, tables.deadKeys);

  out.alignTo(4);
  std::uint32_t root = out.rva();
  out.pointer(modifiers);       // pCharModifiers
  out.pointer(charTables);      // pVkToWcharTable
  pointerOrNull(out, deadKeys);  // pDeadKey
  out.pointer(keyNames);        // pKeyNames
  out.pointer(keyNamesExt);     // pKeyNamesExt
  pointerOrNull(out, keyNamesDead);  // pKeyNamesDead
  out.pointer(vscToVk);         // pusVSCtoVK
  out.u8(static_cast<kbd::BYTE>(tables.vscToVk.size()));  // bMaxVSCtoVK
  out.zeros(3);
  out.pointer(e0);  // pVSCtoVK_E0
  out.pointer(e1);  // pVSCtoVK_E1
  out.u32(tables.localeFlags);  // table version 0 in the high word
  return root;
}

}  // namespace image
