// The VS_VERSIONINFO resource of a layout library.
#pragma once

#include <cstdint>
#include <vector>

#include "layouts/common/layout.h"

namespace image {

// The resource data as a version query reads it: the fixed file information,
// the "000004b0" string table and the translation (language 0, code page 1200).
std::vector<std::uint8_t> buildVersionResource(const layout::LayoutLibrary& library);

}  // namespace image
