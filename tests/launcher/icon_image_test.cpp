// The icon file written from a pixel map, and the errors for bad maps.
#include "icon_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

// A map of colour lines and rows; rows not given are transparent.
std::string pixelMap(const std::string& colours, const std::vector<std::string>& rows) {
  std::string text = "# comment\n" + colours;
  for (int y = 0; y < setup::kIconSize; ++y) {
    text += (y < static_cast<int>(rows.size()) ? rows[y] : std::string(32, '.')) + "\n";
  }
  return text;
}

TEST(IconImage, WritesOne32By32ImageIn16Colours) {
  // Top-left pixel colour b, its right neighbour colour a, the rest clear.
  const auto icon =
      setup::iconFromPixelMap(pixelMap("a 102030\nb A0B0C0\n", {"ba" + std::string(30, '.')}));
  ASSERT_EQ(icon.size(), 22u + 744u);
  // ICONDIR: one icon; its entry: 32 by 32, 16 colours, 1 plane, 4 bits.
  const std::vector<std::uint8_t> header(icon.begin(), icon.begin() + 14);
  EXPECT_EQ(header, (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0, 32, 32, 16, 0, 1, 0, 4, 0}));
  EXPECT_EQ(u32(icon, 14), 744u);
  EXPECT_EQ(u32(icon, 18), 22u);
  // BITMAPINFOHEADER: the height covers colours and mask.
  EXPECT_EQ(u32(icon, 22), 40u);
  EXPECT_EQ(u32(icon, 26), 32u);
  EXPECT_EQ(u32(icon, 30), 64u);
  EXPECT_EQ(icon[36], 4);
  // Palette entries are blue, green, red, 0 in the order of definition.
  const std::size_t palette = 22 + 40;
  EXPECT_EQ(u32(icon, palette), 0x00102030u);
  EXPECT_EQ(u32(icon, palette + 4), 0x00A0B0C0u);
  EXPECT_EQ(u32(icon, palette + 8), 0u);
  // The top row is stored last: b is colour 1, a colour 0.
  const std::size_t pixels = palette + 64;
  EXPECT_EQ(icon[pixels + 31 * 16], 0x10);
  EXPECT_EQ(icon[pixels], 0x00);
  // Mask: the two painted pixels are opaque, everything else transparent.
  const std::size_t mask = pixels + 512;
  EXPECT_EQ(icon[mask + 31 * 4], 0x3F);
  EXPECT_EQ(icon[mask], 0xFF);
}

struct BadMap {
  const char* name;
  std::string text;
  std::string error;
};

std::ostream& operator<<(std::ostream& out, const BadMap& c) {
  return out << c.name;
}

class IconImageErrors : public testing::TestWithParam<BadMap> {};

TEST_P(IconImageErrors, NameTheLine) {
  try {
    setup::iconFromPixelMap(GetParam().text);
    FAIL() << "accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), GetParam().error);
  }
}

std::string rows(int count, const std::string& row = std::string(32, '.')) {
  std::string text;
  for (int i = 0; i < count; ++i) text += row + "\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IconImageErrors,
    testing::Values(
        BadMap{"ShortRow", "a 000000\n" + rows(1, std::string(31, 'a')) + rows(31),
               "line 2: pixel row has 31 pixels, expected 32"},
        BadMap{"TooFewRows", "a 000000\n" + rows(31),
               "line 32: pixel map has 31 rows, expected 32"},
        BadMap{"TooManyRows", rows(33), "line 33: more than 32 pixel rows"},
        BadMap{"UnknownColour", "a 000000\n" + rows(1, std::string(31, 'a') + "b") + rows(31),
               "line 2: pixel 'b' names no colour"},
        BadMap{"BadHex", "a 00000g\n" + rows(32),
               "line 1: colour must be a character, a space and RRGGBB"},
        BadMap{"DuplicateColour", "a 000000\na 111111\n" + rows(32),
               "line 2: colour 'a' is defined twice"},
        BadMap{"TransparentAsColour", ". 000000\n" + rows(32), "line 1: '.' cannot name a colour"},
        BadMap{"SeventeenColours",
               [] {
                 std::string text;
                 for (char c = 'a'; c <= 'q'; ++c) text += std::string(1, c) + " 000000\n";
                 return text + rows(32);
               }(),
               "line 17: more than 16 colours"},
        BadMap{"ColourAfterRows", rows(1) + "a 000000\n" + rows(31),
               "line 2: colour line after the first pixel row"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
