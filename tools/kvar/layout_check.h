// What the platform requires of a 32-bit keyboard-layout library, checked
// on a file: the image (PE32, a DLL for i386, no imports, no entry routine,
// KbdLayerDescriptor exported by name and as ordinal 1, a descriptor that
// returns a constant, relocated address) and every record it leads to (lists
// terminated by an all-zero entry and not running into other records, the
// counts, every pointer inside the image and covered by a base relocation,
// dead keys followed by their dead-character rows, one row per virtual key,
// modification numbers up to 15, zero-terminated key names).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvar {

struct Finding {
  std::string record;    // "VSC_VK list pVSCtoVK_E1", "IMAGE_FILE_HEADER"
  std::uint32_t offset;  // where the record lies, from the start of the image
  std::string problem;
};

// "<record> at +0x<offset>: <problem>"
std::string toLine(const Finding& finding);

// The findings, in the order the platform would meet them; none for a sound
// library. Throws platform::FormatError when the bytes are no PE file that a
// loader could map at all.
std::vector<Finding> checkLayoutLibrary(std::vector<std::uint8_t> bytes);

}  // namespace kvar
