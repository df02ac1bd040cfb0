#include "platform/version_info.h"

#include <algorithm>

#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"

namespace platform {
namespace {

using pe::IMAGE_RESOURCE_DATA_ENTRY;
using pe::IMAGE_RESOURCE_DIRECTORY;
using pe::IMAGE_RESOURCE_DIRECTORY_ENTRY;

constexpr std::uint32_t kVersionInfoId = 1;  // VS_VERSION_INFO
constexpr int kMaxBlockDepth = 8;

std::string ascii(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

bool sameKey(std::u16string_view a, std::u16string_view b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// The resource directory, walked by offsets from its start.
class ResourceTree {
 public:
  explicit ResourceTree(const LoadedImage& image) : image_(image) {
    const DataDirectory dir = image.dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_RESOURCE);
    if (dir.VirtualAddress == 0 || dir.Size == 0) {
      throw FormatError("resource directory", atRva(dir.VirtualAddress),
                        "the image has no resources, so no version resource");
    }
    start_ = image.base() + dir.VirtualAddress;
    size_ = dir.Size;
  }

  // The identifier entry `id` of the directory at `offset`, or its first
  // identifier entry when `id` is empty; returns {identifier, OffsetToData}.
  std::pair<std::uint32_t, std::uint32_t> entry(std::uint32_t offset, const std::string& level,
                                                std::optional<std::uint32_t> id) const {
    require(offset, IMAGE_RESOURCE_DIRECTORY::size, "IMAGE_RESOURCE_DIRECTORY (" + level + ")");
    const std::uint32_t va = start_ + offset;
    const std::uint32_t named = image_.u16(va + IMAGE_RESOURCE_DIRECTORY::NumberOfNamedEntries);
    const std::uint32_t ids = image_.u16(va + IMAGE_RESOURCE_DIRECTORY::NumberOfIdEntries);
    const std::uint32_t first = offset + IMAGE_RESOURCE_DIRECTORY::size;
    require(first, (named + ids) * IMAGE_RESOURCE_DIRECTORY_ENTRY::size,
            "IMAGE_RESOURCE_DIRECTORY (" + level + ") entries");
    for (std::uint32_t i = named; i < named + ids; ++i) {
      const std::uint32_t at = start_ + first + i * IMAGE_RESOURCE_DIRECTORY_ENTRY::size;
      const std::uint32_t name = image_.u32(at + IMAGE_RESOURCE_DIRECTORY_ENTRY::Name);
      if (!id || name == *id) {
        return {name, image_.u32(at + IMAGE_RESOURCE_DIRECTORY_ENTRY::OffsetToData)};
      }
    }
    throw FormatError("IMAGE_RESOURCE_DIRECTORY (" + level + ")", atAddress(va),
                      id ? "no entry has identifier " + std::to_string(*id) : "it has no entries");
  }

  std::uint32_t subdirectory(std::uint32_t offsetToData, const std::string& level) const {
    if (!(offsetToData & pe::IMAGE_RESOURCE_DATA_IS_DIRECTORY)) {
      throw FormatError("IMAGE_RESOURCE_DIRECTORY_ENTRY (" + level + ")", atAddress(start_),
                        "OffsetToData " + hex(offsetToData) + " is not a subdirectory");
    }
    return offsetToData & ~pe::IMAGE_RESOURCE_DATA_IS_DIRECTORY;
  }

  void require(std::uint32_t offset, std::uint64_t length, const std::string& structure) const {
    if (offset + length > size_) {
      throw FormatError(
          structure, atAddress(start_ + offset),
          "it runs past the end of the resource directory (" + hex(size_) + " bytes)");
    }
  }

  std::uint32_t start() const { return start_; }

 private:
  const LoadedImage& image_;
  std::uint32_t start_;
  std::uint32_t size_;
};

std::uint32_t alignUp4(std::uint32_t offset) {
  return (offset + 3) & ~3u;
}

// Parses the block at `offset` that must end by `limit` (offsets into `data`).
VersionBlock parseBlock(const std::vector<std::uint8_t>& data, std::uint32_t offset,
                        std::uint32_t limit, std::uint32_t dataVa, int depth) {
  auto fail = [&](const std::string& problem) {
    return FormatError("version resource block", atAddress(dataVa + offset), problem);
  };
  if (depth > kMaxBlockDepth) throw fail("blocks are nested too deeply");
  if (limit - offset < 6) throw fail("the block header runs past its parent block");
  VersionBlock block{
      offset, loadU16(data, offset), loadU16(data, offset + 2), loadU16(data, offset + 4), {}, {},
      {}};
  if (block.wLength < 6 || block.wLength > limit - offset) {
    throw fail("wLength " + std::to_string(block.wLength) + " does not fit its parent block");
  }
  const std::uint32_t end = offset + block.wLength;
  std::uint32_t at = offset + 6;
  for (;; at += 2) {
    if (end - at < 2) throw fail("szKey has no terminating zero inside the block");
    const char16_t unit = loadU16(data, at);
    if (unit == 0) break;
    block.szKey.push_back(unit);
  }
  at = alignUp4(at + 2);
  const std::uint32_t valueBytes =
      block.wType == pe::kVersionBlockText ? 2u * block.wValueLength : block.wValueLength;
  if (valueBytes > 0) {
    if (at > end || valueBytes > end - at) {
      throw fail("the value of \"" + ascii(block.szKey) + "\" (" + std::to_string(valueBytes) +
                 " bytes) runs past the end of the block");
    }
    block.value.assign(data.begin() + at, data.begin() + at + valueBytes);
    at = alignUp4(at + valueBytes);
  }
  while (at < end) {
    block.children.push_back(parseBlock(data, at, end, dataVa, depth + 1));
    at = alignUp4(at + block.children.back().wLength);
  }
  return block;
}

}  // namespace

const VersionBlock* VersionBlock::child(std::u16string_view key) const {
  for (const VersionBlock& c : children) {
    if (sameKey(c.szKey, key)) return &c;
  }
  return nullptr;
}

VersionInfo VersionInfo::read(const LoadedImage& image) {
  const ResourceTree tree(image);
  VersionInfo info;
  const auto [type, typeData] = tree.entry(0, "type", pe::RT_VERSION);
  const auto [name, nameData] =
      tree.entry(tree.subdirectory(typeData, "type"), "name", kVersionInfoId);
  const auto [language, dataEntry] =
      tree.entry(tree.subdirectory(nameData, "name"), "language", std::nullopt);
  if (dataEntry & pe::IMAGE_RESOURCE_DATA_IS_DIRECTORY) {
    throw FormatError("IMAGE_RESOURCE_DIRECTORY_ENTRY (language)", atAddress(tree.start()),
                      "OffsetToData " + hex(dataEntry) + " is a directory, not a data entry");
  }
  tree.require(dataEntry, IMAGE_RESOURCE_DATA_ENTRY::size, "IMAGE_RESOURCE_DATA_ENTRY");
  const std::uint32_t entryVa = tree.start() + dataEntry;
  const std::uint32_t dataVa =
      image.base() + image.u32(entryVa + IMAGE_RESOURCE_DATA_ENTRY::OffsetToData);
  const std::uint32_t dataSize = image.u32(entryVa + IMAGE_RESOURCE_DATA_ENTRY::Size);
  if (!image.contains(dataVa, dataSize)) {
    throw FormatError(
        "IMAGE_RESOURCE_DATA_ENTRY", atAddress(entryVa),
        "the data at " + hex(dataVa) + " size " + hex(dataSize) + " lies outside the image");
  }
  info.name_ = name;
  info.language_ = language;
  info.codePage_ = image.u32(entryVa + IMAGE_RESOURCE_DATA_ENTRY::CodePage);

  std::vector<std::uint8_t> data(dataSize);
  for (std::uint32_t i = 0; i < dataSize; ++i) data[i] = image.u8(dataVa + i);
  info.root_ = parseBlock(data, 0, dataSize, dataVa, 0);

  const VersionBlock& root = info.root_;
  if (root.szKey != u"VS_VERSION_INFO") {
    throw FormatError("VS_VERSIONINFO", atAddress(dataVa),
                      "the root key is \"" + ascii(root.szKey) + "\", not \"VS_VERSION_INFO\"");
  }
  if (root.value.size() != pe::VS_FIXEDFILEINFO::size ||
      loadU32(root.value, pe::VS_FIXEDFILEINFO::dwSignature) != pe::VS_FFI_SIGNATURE) {
    throw FormatError("VS_FIXEDFILEINFO", atAddress(dataVa),
                      "the root value is not a 52-byte VS_FIXEDFILEINFO with signature "
                      "0xFEEF04BD");
  }
  const auto field = [&](std::uint32_t offset) { return loadU32(root.value, offset); };
  using F = pe::VS_FIXEDFILEINFO;
  info.fixed_ = {
      field(F::dwSignature),     field(F::dwStrucVersion),     field(F::dwFileVersionMS),
      field(F::dwFileVersionLS), field(F::dwProductVersionMS), field(F::dwProductVersionLS),
      field(F::dwFileFlagsMask), field(F::dwFileFlags),        field(F::dwFileOS),
      field(F::dwFileType),      field(F::dwFileSubtype),      field(F::dwFileDateMS),
      field(F::dwFileDateLS)};
  return info;
}

std::optional<VersionString> VersionInfo::queryString(std::u16string_view table,
                                                      std::u16string_view key) const {
  const VersionBlock* strings = root_.child(u"StringFileInfo");
  const VersionBlock* t = strings ? strings->child(table) : nullptr;
  const VersionBlock* entry = t ? t->child(key) : nullptr;
  if (entry == nullptr) return std::nullopt;
  VersionString result{{}, entry->wValueLength};
  for (std::size_t i = 0; i + 1 < entry->value.size(); i += 2) {
    const char16_t unit = loadU16(entry->value, i);
    if (unit == 0) break;
    result.value.push_back(unit);
  }
  return result;
}

std::vector<Translation> VersionInfo::translations() const {
  const VersionBlock* var = root_.child(u"VarFileInfo");
  const VersionBlock* translation = var ? var->child(u"Translation") : nullptr;
  std::vector<Translation> pairs;
  if (translation == nullptr) return pairs;
  for (std::size_t i = 0; i + 3 < translation->value.size(); i += 4) {
    pairs.push_back({loadU16(translation->value, i), loadU16(translation->value, i + 2)});
  }
  return pairs;
}

}  // namespace platform
