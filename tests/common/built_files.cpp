#include "tests/common/built_files.h"

#include <cstdio>
#include <map>
#include <memory>

namespace platform::test {
namespace {

// One entry per library, made on first use and kept for the whole run.
template <class T, class Make>
const T& once(std::string_view name, Make make) {
  static std::map<std::string, std::unique_ptr<const T>, std::less<>> made;
  auto found = made.find(name);
  if (found == made.end()) {
    found = made.emplace(std::string(name), std::make_unique<const T>(make())).first;
  }
  return *found->second;
}

}  // namespace

const PeFile& builtFile(std::string_view name) {
  return once<PeFile>(name, [name] {
    return PeFile::read(std::string(KVAR_TEST_DIST_DIR) + "/" + std::string(name) + ".dll");
  });
}

const LoadedImage& builtImage(std::string_view name) {
  return once<LoadedImage>(name, [name] { return LoadedImage::load(builtFile(name)); });
}

const KeyboardLayout& builtLayout(std::string_view name) {
  return once<KeyboardLayout>(name, [name] { return KeyboardLayout::load(builtImage(name)); });
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
