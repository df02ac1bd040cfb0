#include "tests/kvar/layout_files.h"

#include <fstream>
#include <map>
#include <stdexcept>

#include "layouts/common/kbd.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace kvar::test {

std::string libraryPath(const std::string& name) {
  return std::string(KVAR_TEST_DIST_DIR) + "/" + name + ".dll";
}

const std::vector<std::uint8_t>& libraryBytes(const std::string& name) {
  static std::map<std::string, std::vector<std::uint8_t>> files;
  auto it = files.find(name);
  if (it == files.end()) {
    it = files.emplace(name, platform::PeFile::read(libraryPath(name)).bytes()).first;
  }
  return it->second;
}

const platform::KeyboardLayout& layout(const std::string& name) {
  static std::map<std::string, platform::KeyboardLayout> layouts;
  auto it = layouts.find(name);
  if (it == layouts.end()) {
    const auto image = platform::LoadedImage::load(platform::PeFile::parse(libraryBytes(name)));
    it = layouts.emplace(name, platform::KeyboardLayout::load(image)).first;
  }
  return it->second;
}

ImageEdit::ImageEdit(const std::string& name)
    : bytes_(libraryBytes(name)),
      file_(platform::PeFile::parse(bytes_)),
      tables_(layout(name).tables()),
      base_(file_.optionalHeader().ImageBase) {}

std::size_t ImageEdit::fileOffset(std::uint32_t va) const {
  const auto offset = file_.fileOffsetOfRva(va - base_);
  if (!offset) throw std::out_of_range("no byte of the file lies at that address");
  return *offset;
}

void ImageEdit::setU8(std::uint32_t va, std::uint8_t value) {
  bytes_.at(fileOffset(va)) = value;
}

void ImageEdit::setU16(std::uint32_t va, std::uint16_t value) {
  for (int i = 0; i < 2; ++i) setU8(va + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

void ImageEdit::setU32(std::uint32_t va, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) setU8(va + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

void ImageEdit::copy(std::uint32_t from, std::uint32_t to, std::uint32_t length) {
  for (std::uint32_t i = 0; i < length; ++i) setU8(to + i, bytes_.at(fileOffset(from + i)));
}

std::vector<std::uint8_t> stdkeysWithoutE1Terminator() {
  ImageEdit edit("stdkeys");
  const auto& t = edit.tables();
  const std::uint32_t terminator =
      t.pVSCtoVK_E1 + static_cast<std::uint32_t>(t.vscToVkE1.size()) * kbd::VSC_VK::size;
  edit.copy(terminator - kbd::VSC_VK::size, terminator, kbd::VSC_VK::size);
  return edit.bytes();
}

std::string writeScratchFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = std::string(KVAR_TEST_SCRATCH_DIR) + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace kvar::test
