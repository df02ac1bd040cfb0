// Writes a layout library: the 32-bit image that the platform loads, with
// the layout's records, the KbdLayerDescriptor export, the version resource
// and the base relocations.
#pragma once

#include <cstdint>
#include <vector>

#include "layouts/common/layout.h"

namespace image {

inline constexpr std::uint32_t kImageBase = 0x5FF40000;

// The whole file, checksum included. Throws std::logic_error when the tables
// do not fit the image's fixed form (a section larger than one page).
std::vector<std::uint8_t> buildImage(const layout::LayoutLibrary& library);

}  // namespace image
