// A neutral text dump of every record of a loaded layout library, read
// through the image's own pointers. A 32-bit C program walking the same
// records in memory prints the same text (tests/wine_loader/loader_probe.c),
// so a dump made here and one made under a real loader compare line by line.
//
// One line for each record, in this order: KBDTABLES, MODIFIERS, the
// VK_TO_BIT list, the VK_TO_WCHAR_TABLE list, the rows of each character
// table, the DEADKEY list, pKeyNames, pKeyNamesExt, pKeyNamesDead, the
// scan-code map (its bMaxVSCtoVK entries, named T00, T01, ...), the E0 and
// the E1 list. Each line reads
//
//   <pointer it was reached through> <RECORD> +0x<offset> field=value ...
//
// (the KBDTABLES line starts with the record's name alone).
// - An address prints as its offset from the image base, +0x%08x, or as
//   null, so dumps of one file loaded at two bases are equal.
// - A number prints as 0x and two lowercase hex digits for each byte of its
//   field; a list of cells or modification numbers is separated by commas.
// - A string follows its pointer in double quotes: printable ASCII other
//   than " and \ as itself, every other UTF-16 code unit as \uxxxx.
// - Every list prints up to and including its terminating entry, the first
//   entry whose key field (virtual key, scan code, pointer, dwBoth) is zero.
#pragma once

#include <cstdint>
#include <string>

#include "platform/loaded_image.h"

namespace platform {

// The dump of the KBDTABLES at the address kbdTables, as lines ending in '\n'.
// Throws FormatError when a record or string lies outside the image.
std::string dumpTables(const LoadedImage& image, std::uint32_t kbdTables);

}  // namespace platform
