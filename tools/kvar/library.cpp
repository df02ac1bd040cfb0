#include "tools/kvar/library.h"

#include <filesystem>
#include <fstream>

#include "platform/format_error.h"
#include "platform/version_info.h"
#include "tools/kvar/keyboard_view.h"

namespace kvar {
namespace {

// Text from the file for a terminal or a page: control characters and
// noncharacters become U+FFFD, so that a description cannot steer either.
std::string plainText(std::u16string text) {
  for (char16_t& c : text) {
    if (c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF) c = 0xFFFD;
  }
  return toUtf8(text);
}

std::string describe(const platform::LoadedImage& image, const std::string& path) {
  std::string fallback = std::filesystem::path(path).filename().string();
  try {
    platform::VersionInfo info = platform::VersionInfo::read(image);
    for (const platform::Translation& t : info.translations()) {
      char table[9];
      std::snprintf(table, sizeof table, "%04x%04x", t.language, t.codePage);
      std::u16string key(table, table + 8);
      if (auto text = info.queryString(key, u"FileDescription"); text && !text->value.empty()) {
        return plainText(text->value);
      }
    }
  } catch (const platform::FormatError&) {
    // A library without a readable version resource is named by its file.
  }
  return fallback;
}

}  // namespace

Library openLibrary(const std::string& path) {
  try {
    platform::PeFile file = platform::PeFile::read(path);
    platform::LoadedImage image = platform::LoadedImage::load(file);
    platform::KeyboardLayout layout = platform::KeyboardLayout::load(image);
    std::string description = describe(image, path);
    return Library{path, std::move(file), std::move(image), std::move(layout),
                   std::move(description)};
  } catch (const platform::FormatError& e) {
    throw InputError(path + ": " + e.what());
  } catch (const std::runtime_error& e) {  // the file could not be read; the message names it
    throw InputError(e.what());
  } catch (const std::logic_error& e) {  // an image the loader cannot place
    throw InputError(path + ": " + e.what());
  }
}

std::vector<std::uint8_t> readLibraryFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path + ": cannot open the file");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > platform::PeFile::kMaxImageSize) {
    throw InputError(path + ": not a layout library (larger than any image the stand-in maps)");
  }
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    throw InputError(path + ": cannot read the file");
  }
  return bytes;
}

}  // namespace kvar
