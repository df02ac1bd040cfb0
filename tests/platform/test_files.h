// The built layout libraries, read once for all tests of the stand-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace platform::test {

const std::vector<std::uint8_t>& stdkeysBytes();
const PeFile& stdkeysFile();
const LoadedImage& stdkeysImage();  // at its preferred base
const KeyboardLayout& stdkeys();

// UTF-16 text shown readably in failure messages.
std::string show(const std::u16string& text);

}  // namespace platform::test
