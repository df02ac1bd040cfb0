#include "platform/loaded_image.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"

namespace platform {
namespace {

// The loader places images on 64 KiB boundaries.
constexpr std::uint32_t kAllocationGranularity = 0x10000;

}  // namespace

LoadedImage LoadedImage::load(const PeFile& file, std::optional<std::uint32_t> base) {
  return LoadedImage(file, base.value_or(file.optionalHeader().ImageBase));
}

LoadedImage::LoadedImage(const PeFile& file, std::uint32_t base)
    : base_(base),
      memory_(file.optionalHeader().SizeOfImage, 0),
      sections_(file.sections()),
      dataDirectories_(file.dataDirectories()) {
  if (base % kAllocationGranularity != 0 || std::uint64_t{base} + memory_.size() > std::uint64_t{1}
                                                                                       << 32) {
    throw std::invalid_argument("cannot map an image of " + hex(size()) + " bytes at " + hex(base) +
                                ": the base must be a multiple of 64 KiB below 4 GiB");
  }
  mapSections(file);
  const std::uint32_t imageBase = file.optionalHeader().ImageBase;
  if (base != imageBase && (file.fileHeader().Characteristics & pe::IMAGE_FILE_RELOCS_STRIPPED)) {
    throw FormatError("IMAGE_FILE_HEADER", atFileOffset(file.ntHeadersOffset() + 4),
                      "relocations are stripped, so the image cannot move from " + hex(imageBase) +
                          " to " + hex(base));
  }
  applyRelocations(base - imageBase);
}

void LoadedImage::mapSections(const PeFile& file) {
  const auto& bytes = file.bytes();
  std::copy_n(bytes.begin(), file.optionalHeader().SizeOfHeaders, memory_.begin());
  for (const Section& s : sections_) {
    // Bytes beyond the raw data, up to the section's size in memory, are zero.
    const std::uint32_t copied = std::min(s.SizeOfRawData, s.mappedSize());
    std::copy_n(bytes.begin() + s.PointerToRawData, copied, memory_.begin() + s.VirtualAddress);
  }
}

DataDirectory LoadedImage::dataDirectory(std::uint32_t index) const {
  return index < dataDirectories_.size() ? dataDirectories_[index] : DataDirectory{0, 0};
}

void LoadedImage::applyRelocations(std::uint32_t delta) {
  const DataDirectory dir = dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_BASERELOC);
  if (dir.Size == 0) {
    if (delta != 0) {
      throw FormatError("base relocation directory", atRva(dir.VirtualAddress),
                        "the image has none, so it cannot move from its ImageBase");
    }
    return;
  }
  const auto section = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) {
    return s.containsRva(dir.VirtualAddress);
  });
  if (section == sections_.end() ||
      dir.VirtualAddress + dir.Size > section->VirtualAddress + section->mappedSize()) {
    throw FormatError("base relocation directory", atRva(dir.VirtualAddress),
                      "its " + hex(dir.Size) + " bytes do not lie inside one section");
  }

  const std::uint32_t end = dir.VirtualAddress + dir.Size;
  std::uint32_t block = dir.VirtualAddress;
  while (block < end) {
    using pe::IMAGE_BASE_RELOCATION;
    if (end - block < IMAGE_BASE_RELOCATION::size) {
      throw FormatError("IMAGE_BASE_RELOCATION", atRva(block),
                        "the block header runs past the end of the directory at " + atRva(end));
    }
    const std::uint32_t page = loadU32(memory_, block + IMAGE_BASE_RELOCATION::VirtualAddress);
    const std::uint32_t blockSize = loadU32(memory_, block + IMAGE_BASE_RELOCATION::SizeOfBlock);
    if (blockSize < IMAGE_BASE_RELOCATION::size || blockSize % 2 != 0) {
      throw FormatError("IMAGE_BASE_RELOCATION", atRva(block),
                        "SizeOfBlock " + hex(blockSize) + " is not an even size of 8 or more");
    }
    if (blockSize > end - block) {
      throw FormatError("IMAGE_BASE_RELOCATION", atRva(block),
                        "the block of " + hex(blockSize) + " bytes runs past the end of the " +
                            "relocations at " + atRva(end) + " in section " + section->Name);
    }
    for (std::uint32_t at = block + IMAGE_BASE_RELOCATION::size; at < block + blockSize; at += 2) {
      const std::uint16_t entry = loadU16(memory_, at);
      const std::uint16_t type = entry >> 12;
      if (type == pe::IMAGE_REL_BASED_ABSOLUTE) continue;
      if (type != pe::IMAGE_REL_BASED_HIGHLOW) {
        throw FormatError("IMAGE_BASE_RELOCATION", atRva(at),
                          "entry " + hex(entry) + " has type " + std::to_string(type) +
                              "; a 32-bit image uses only HIGHLOW (3)");
      }
      const std::uint64_t site = std::uint64_t{page} + (entry & 0x0FFF);
      if (site + 4 > memory_.size()) {
        throw FormatError(
            "IMAGE_BASE_RELOCATION", atRva(at),
            "entry " + hex(entry) + " of page " + hex(page) + " fixes a value outside the image");
      }
      const auto rva = static_cast<std::uint32_t>(site);
      storeU32(memory_, rva, loadU32(memory_, rva) + delta);
      relocationSites_.push_back(rva);
    }
    block += blockSize;
  }
}

bool LoadedImage::contains(std::uint32_t va, std::uint32_t length) const {
  return va >= base_ && std::uint64_t{va - base_} + length <= memory_.size();
}

void LoadedImage::requireInside(std::string_view structure, std::uint32_t va, std::uint32_t length,
                                std::string_view what) const {
  if (!contains(va, length)) {
    throw FormatError(std::string(structure), atAddress(va),
                      std::string(what) + " (" + std::to_string(length) +
                          " bytes) lies outside the image " + hex(base_) + ".." +
                          hex(base_ + size() - 1));
  }
}

std::uint8_t LoadedImage::u8(std::uint32_t va) const {
  requireInside("image", va, 1, "a read");
  return memory_[va - base_];
}

std::uint16_t LoadedImage::u16(std::uint32_t va) const {
  requireInside("image", va, 2, "a read");
  return loadU16(memory_, va - base_);
}

std::uint32_t LoadedImage::u32(std::uint32_t va) const {
  requireInside("image", va, 4, "a read");
  return loadU32(memory_, va - base_);
}

std::u16string LoadedImage::wstring(std::uint32_t va) const {
  std::u16string text;
  for (std::uint32_t at = va;; at += 2) {
    requireInside("string", va, at - va + 2, "a UTF-16 string without its terminating zero");
    const char16_t unit = loadU16(memory_, at - base_);
    if (unit == 0) return text;
    text.push_back(unit);
  }
}

std::string LoadedImage::cstring(std::uint32_t va) const {
  std::string text;
  for (std::uint32_t at = va;; ++at) {
    requireInside("string", va, at - va + 1, "an ASCII string without its terminating zero");
    const auto c = static_cast<char>(memory_[at - base_]);
    if (c == 0) return text;
    text.push_back(c);
  }
}

namespace {

struct ExportDirectory {
  std::uint32_t va;
  std::uint32_t size;
  std::uint32_t Name;
  std::uint32_t Base;
  std::uint32_t NumberOfFunctions;
  std::uint32_t NumberOfNames;
  std::uint32_t AddressOfFunctions;
  std::uint32_t AddressOfNames;
  std::uint32_t AddressOfNameOrdinals;
};

ExportDirectory readExportDirectory(const LoadedImage& image) {
  using pe::IMAGE_EXPORT_DIRECTORY;
  const DataDirectory dir = image.dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_EXPORT);
  const std::uint32_t va = image.base() + dir.VirtualAddress;
  if (dir.VirtualAddress == 0 || dir.Size < IMAGE_EXPORT_DIRECTORY::size ||
      !image.contains(va, IMAGE_EXPORT_DIRECTORY::size)) {
    throw FormatError("IMAGE_EXPORT_DIRECTORY", atRva(dir.VirtualAddress),
                      "the image has no complete export directory (size " + hex(dir.Size) + ")");
  }
  ExportDirectory e{va,
                    dir.Size,
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::Name),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::Base),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::NumberOfFunctions),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::NumberOfNames),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::AddressOfFunctions),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::AddressOfNames),
                    image.u32(va + IMAGE_EXPORT_DIRECTORY::AddressOfNameOrdinals)};
  auto requireArray = [&](const char* field, std::uint32_t rva, std::uint64_t bytes) {
    if (rva + bytes > image.size()) {
      throw FormatError("IMAGE_EXPORT_DIRECTORY", atAddress(va),
                        std::string(field) + " " + hex(rva) + " holds an array of " +
                            std::to_string(bytes) + " bytes that runs outside the image");
    }
  };
  requireArray("AddressOfFunctions", e.AddressOfFunctions, std::uint64_t{e.NumberOfFunctions} * 4);
  requireArray("AddressOfNames", e.AddressOfNames, std::uint64_t{e.NumberOfNames} * 4);
  requireArray("AddressOfNameOrdinals", e.AddressOfNameOrdinals,
               std::uint64_t{e.NumberOfNames} * 2);
  return e;
}

}  // namespace

std::string LoadedImage::exportedName() const {
  return cstring(base_ + readExportDirectory(*this).Name);
}

std::uint32_t LoadedImage::exportFunction(std::uint32_t index, const std::string& what) const {
  const ExportDirectory e = readExportDirectory(*this);
  if (index >= e.NumberOfFunctions) {
    throw FormatError("IMAGE_EXPORT_DIRECTORY", atAddress(e.va),
                      what + " has function index " + std::to_string(index) + " of only " +
                          std::to_string(e.NumberOfFunctions));
  }
  const std::uint32_t slot = base_ + e.AddressOfFunctions + 4 * index;
  const std::uint32_t rva = u32(slot);
  if (rva == 0) {
    throw FormatError("export address table", atAddress(slot), what + " has no function");
  }
  if (rva - (e.va - base_) < e.size) {
    throw FormatError("export address table", atAddress(slot),
                      what + " is forwarded to another library, which the stand-in does not do");
  }
  requireInside("export address table", base_ + rva, 1, what + "'s function");
  return base_ + rva;
}

std::uint32_t LoadedImage::exportByName(std::string_view name) const {
  const ExportDirectory e = readExportDirectory(*this);
  for (std::uint32_t i = 0; i < e.NumberOfNames; ++i) {
    if (cstring(base_ + u32(base_ + e.AddressOfNames + 4 * i)) == name) {
      return exportFunction(u16(base_ + e.AddressOfNameOrdinals + 2 * i),
                            "export \"" + std::string(name) + "\"");
    }
  }
  throw FormatError("IMAGE_EXPORT_DIRECTORY", atAddress(e.va),
                    "no export is named \"" + std::string(name) + "\"");
}

std::uint32_t LoadedImage::exportByOrdinal(std::uint16_t ordinal) const {
  const ExportDirectory e = readExportDirectory(*this);
  const std::string what = "ordinal " + std::to_string(ordinal);
  if (ordinal < e.Base) {
    throw FormatError("IMAGE_EXPORT_DIRECTORY", atAddress(e.va),
                      what + " is below the ordinal Base " + std::to_string(e.Base));
  }
  return exportFunction(ordinal - e.Base, what);
}

std::uint32_t LoadedImage::callDescriptor(std::uint32_t functionVa) const {
  constexpr std::uint8_t kMovEaxImm32 = 0xB8;
  constexpr std::uint8_t kRet = 0xC3;
  constexpr std::uint32_t kLength = 6;
  requireInside("descriptor code", functionVa, kLength, "mov eax, imm32 / ret");
  const std::uint32_t rva = functionVa - base_;
  const auto section = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const Section& s) { return s.containsRva(rva); });
  if (section == sections_.end() || !(section->Characteristics & pe::IMAGE_SCN_MEM_EXECUTE)) {
    throw FormatError("descriptor code", atAddress(functionVa),
                      "the function does not lie in an executable section");
  }
  if (memory_[rva] != kMovEaxImm32 || memory_[rva + 5] != kRet) {
    std::string found;
    for (std::uint32_t i = 0; i < kLength; ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%02X", memory_[rva + i]);
      if (i != 0) found += ' ';
      found += byte;
    }
    throw FormatError("descriptor code", atAddress(functionVa),
                      "expected mov eax, imm32 (B8 imm32) then ret (C3), found " + found);
  }
  return loadU32(memory_, rva + 1);
}

}  // namespace platform
