#include "icon_image.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

namespace setup {
namespace {

constexpr int kColours = 16;
constexpr char kTransparent = '.';
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kXorRowBytes = kIconSize / 2;  // 4 bits per pixel
constexpr std::uint32_t kAndRowBytes = kIconSize / 8;  // 1 bit per pixel, rows of whole dwords
constexpr std::uint32_t kImageBytes =
    kBitmapInfoHeaderSize + kColours * 4 + (kXorRowBytes + kAndRowBytes) * kIconSize;

struct Colour {
  char name;
  std::uint32_t rgb;
};

struct PixelMap {
  std::vector<Colour> palette;
  std::vector<std::string> rows;
};

[[noreturn]] void fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

std::optional<std::uint32_t> parseRgb(std::string_view hex) {
  if (hex.size() != 6) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : hex) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

int paletteIndex(const std::vector<Colour>& palette, char name) {
  for (std::size_t i = 0; i < palette.size(); ++i) {
    if (palette[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

PixelMap parse(std::string_view text) {
  PixelMap map;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;

    if (line.size() > 1 && line[1] == ' ') {
      if (!map.rows.empty()) fail(lineNumber, "colour line after the first pixel row");
      const auto rgb = parseRgb(line.substr(2));
      if (!rgb) fail(lineNumber, "colour must be a character, a space and RRGGBB");
      if (line[0] == kTransparent || line[0] == ' ') {
        fail(lineNumber, std::string("'") + line[0] + "' cannot name a colour");
      }
      if (paletteIndex(map.palette, line[0]) >= 0) {
        fail(lineNumber, std::string("colour '") + line[0] + "' is defined twice");
      }
      if (map.palette.size() == kColours) fail(lineNumber, "more than 16 colours");
      map.palette.push_back({line[0], *rgb});
      continue;
    }

    if (map.rows.size() == kIconSize) fail(lineNumber, "more than 32 pixel rows");
    if (line.size() != kIconSize) {
      fail(lineNumber, "pixel row has " + std::to_string(line.size()) + " pixels, expected 32");
    }
    for (const char c : line) {
      if (c != kTransparent && paletteIndex(map.palette, c) < 0) {
        fail(lineNumber, std::string("pixel '") + c + "' names no colour");
      }
    }
    map.rows.emplace_back(line);
  }
  if (map.rows.size() != kIconSize) {
    fail(lineNumber, "pixel map has " + std::to_string(map.rows.size()) + " rows, expected 32");
  }
  return map;
}

class ByteWriter {
 public:
  void u8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
  void u16(std::uint32_t value) {
    u8(value);
    u8(value >> 8);
  }
  void u32(std::uint32_t value) {
    u16(value);
    u16(value >> 16);
  }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> iconFromPixelMap(std::string_view pixelMap) {
  const PixelMap map = parse(pixelMap);
  ByteWriter out;

  // ICONDIR and its one ICONDIRENTRY.
  out.u16(0);  // idReserved
  out.u16(1);  // idType: icon
  out.u16(1);  // idCount
  out.u8(kIconSize);
  out.u8(kIconSize);
  out.u8(kColours);  // bColorCount
  out.u8(0);         // bReserved
  out.u16(1);        // wPlanes
  out.u16(4);        // wBitCount
  out.u32(kImageBytes);
  out.u32(6 + 16);  // dwImageOffset

  // BITMAPINFOHEADER: the height counts the colour bitmap and the mask.
  out.u32(kBitmapInfoHeaderSize);
  out.u32(kIconSize);
  out.u32(kIconSize * 2);
  out.u16(1);  // biPlanes
  out.u16(4);  // biBitCount
  out.u32(0);  // biCompression: BI_RGB
  out.u32((kXorRowBytes + kAndRowBytes) * kIconSize);
  for (int i = 0; i < 4; ++i) out.u32(0);  // resolution and colour counts

  // The palette as RGBQUAD (blue, green, red, 0), unused entries black.
  for (int i = 0; i < kColours; ++i) {
    const std::uint32_t rgb = i < static_cast<int>(map.palette.size()) ? map.palette[i].rgb : 0;
    out.u8(rgb);
    out.u8(rgb >> 8);
    out.u8(rgb >> 16);
    out.u8(0);
  }

  // Both bitmaps run bottom row first. A transparent pixel is colour 0 with
  // its mask bit set.
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kIconSize; x += 2) {
      const int high = std::max(paletteIndex(map.palette, map.rows[y][x]), 0);
      const int low = std::max(paletteIndex(map.palette, map.rows[y][x + 1]), 0);
      out.u8(static_cast<std::uint32_t>(high << 4 | low));
    }
  }
  for (int y = kIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kIconSize; x += 8) {
      std::uint32_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (map.rows[y][x + bit] == kTransparent) bits |= 0x80u >> bit;
      }
      out.u8(bits);
    }
  }
  return out.take();
}

}  // namespace setup
