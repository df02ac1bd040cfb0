#include "layouts/common/version_resource.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "layouts/common/maker.h"
#include "layouts/common/pe.h"

namespace image {
namespace {

// One block of a version resource: key, type, value and children. The value
// length counts bytes for binary values and UTF-16 units for text.
struct Block {
  std::u16string key;
  std::uint16_t type;
  std::uint16_t valueLength;
  std::vector<std::uint8_t> value;
  std::vector<Block> children;
};

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

void align4(std::vector<std::uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// Blocks start on a 4-byte boundary of the resource; a block's length ends
// with its last value or child byte, without the padding after it.
void writeBlock(std::vector<std::uint8_t>& out, const Block& block) {
  align4(out);
  std::size_t start = out.size();
  put16(out, 0);  // wLength, filled in below
  put16(out, block.valueLength);
  put16(out, block.type);
  for (char16_t c : block.key) put16(out, c);
  put16(out, 0);
  if (!block.value.empty()) {
    align4(out);
    out.insert(out.end(), block.value.begin(), block.value.end());
  }
  for (const Block& child : block.children) writeBlock(out, child);
  std::size_t length = out.size() - start;
  out[start] = static_cast<std::uint8_t>(length);
  out[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

// A string of the string table. An empty value is stored as no characters at
// all with value length 0; a value otherwise ends with its zero.
Block stringBlock(std::u16string_view key, std::u16string_view value) {
  Block block{std::u16string(key), pe::kVersionBlockText, 0, {}, {}};
  if (!value.empty()) {
    block.valueLength = static_cast<std::uint16_t>(value.size() + 1);
    for (char16_t c : value) put16(block.value, c);
    put16(block.value, 0);
  }
  return block;
}

std::u16string widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// "5.00.2180.1": the second number is written with two digits.
std::u16string versionString(const std::array<std::uint16_t, 4>& v) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u.%u.%u", v[0], v[1], v[2], v[3]);
  return widen(text);
}

std::vector<std::uint8_t> fixedFileInfo(const std::array<std::uint16_t, 4>& v) {
  std::uint32_t ms = static_cast<std::uint32_t>(v[0]) << 16 | v[1];
  std::uint32_t ls = static_cast<std::uint32_t>(v[2]) << 16 | v[3];
  std::vector<std::uint8_t> out;
  put32(out, pe::VS_FFI_SIGNATURE);
  put32(out, pe::VS_FFI_STRUCVERSION);
  put32(out, ms);  // dwFileVersionMS
  put32(out, ls);  // dwFileVersionLS
  put32(out, ms);  // dwProductVersionMS
  put32(out, ls);  // dwProductVersionLS
  put32(out, pe::VS_FFI_FILEFLAGSMASK);
  put32(out, 0);  // dwFileFlags
  put32(out, pe::VOS_NT_WINDOWS32);
  put32(out, pe::VFT_DLL);
  put32(out, pe::VFT2_UNKNOWN);
  put32(out, 0);  // dwFileDateMS
  put32(out, 0);  // dwFileDateLS
  return out;
}

}  // namespace

std::vector<std::uint8_t> buildVersionResource(const layout::LayoutLibrary& library) {
  const auto& version = library.version.fileVersion;
  std::u16string versionText = versionString(version);
  std::u16string name = widen(library.name);
  std::u16string fileName = name + u".dll";

  Block strings{u"000004b0", pe::kVersionBlockText, 0, {}, {}};
  strings.children = {
      stringBlock(u"Comments", u""),
      stringBlock(u"CompanyName", kCompanyName),
      stringBlock(u"FileDescription", library.version.fileDescription),
      stringBlock(u"FileVersion", versionText),
      stringBlock(u"InternalName", name),
      stringBlock(u"LegalCopyright", kLegalCopyright),
      stringBlock(u"LegalTrademarks", u""),
      stringBlock(u"OriginalFilename", fileName),
      stringBlock(u"PrivateBuild", u""),
      stringBlock(u"ProductName", kProductName),
      stringBlock(u"ProductVersion", versionText),
      stringBlock(u"SpecialBuild", u""),
  };

  std::vector<std::uint8_t> translation;
  put16(translation, 0x0000);  // language neutral
  put16(translation, 1200);    // UTF-16

  Block root{u"VS_VERSION_INFO", pe::kVersionBlockBinary, pe::VS_FIXEDFILEINFO::size,
             fixedFileInfo(version), {}};
  root.children = {
      Block{u"StringFileInfo", pe::kVersionBlockText, 0, {}, {strings}},
      Block{u"VarFileInfo",
            pe::kVersionBlockText,
            0,
            {},
            {Block{u"Translation", pe::kVersionBlockBinary, 4, translation, {}}}},
  };

  std::vector<std::uint8_t> out;
  writeBlock(out, root);
  return out;
}

}  // namespace image
