#include "tests/platform/test_files.h"

#include <cstdio>

namespace platform::test {

const std::vector<std::uint8_t>& stdkeysBytes() {
  return stdkeysFile().bytes();
}

const PeFile& stdkeysFile() {
  static const PeFile file = PeFile::read(KVAR_STDKEYS_DLL);
  return file;
}

const LoadedImage& stdkeysImage() {
  static const LoadedImage image = LoadedImage::load(stdkeysFile());
  return image;
}

const KeyboardLayout& stdkeys() {
  static const KeyboardLayout layout = KeyboardLayout::load(stdkeysImage());
  return layout;
}

std::string show(const std::u16string& text) {
  std::string out = "\"";
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char code[12];
      std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out + "\"";
}

}  // namespace platform::test
