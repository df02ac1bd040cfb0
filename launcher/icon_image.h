// Turns the icon's pixel map (icon.txt) into an icon file: one 32 by 32
// image with 4 bits per pixel, as the resource compiler takes it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace setup {

inline constexpr int kIconSize = 32;

// Throws std::runtime_error naming the line and what is wrong with it.
std::vector<std::uint8_t> iconFromPixelMap(std::string_view pixelMap);

}  // namespace setup
