// The layout libraries the build wrote, read once for all tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace platform::test {

// The build's dist/NAME.dll: the file, mapped at its preferred base, and its
// tables with the keyboard services.
const PeFile& builtFile(std::string_view name);
const LoadedImage& builtImage(std::string_view name);
const KeyboardLayout& builtLayout(std::string_view name);

inline const std::vector<std::uint8_t>& stdkeysBytes() {
  return builtFile("stdkeys").bytes();
}
inline const PeFile& stdkeysFile() {
  return builtFile("stdkeys");
}
inline const LoadedImage& stdkeysImage() {
  return builtImage("stdkeys");
}
inline const KeyboardLayout& stdkeys() {
  return builtLayout("stdkeys");
}

// UTF-16 text shown readably in failure messages.
std::string show(const std::u16string& text);

}  // namespace platform::test
