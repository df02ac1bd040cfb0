// A PE32 file mapped the way the loader maps it: headers and sections placed
// at a base address, base relocations applied. Every read is checked against
// the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pe_file.h"

namespace platform {

class LoadedImage {
 public:
  // Maps the file at `base` (default: its ImageBase); throws FormatError.
  static LoadedImage load(const PeFile& file, std::optional<std::uint32_t> base = std::nullopt);

  std::uint32_t base() const { return base_; }
  std::uint32_t size() const { return static_cast<std::uint32_t>(memory_.size()); }
  bool contains(std::uint32_t va, std::uint32_t length) const;
  const std::vector<Section>& sections() const { return sections_; }
  DataDirectory dataDirectory(std::uint32_t index) const;

  // Reads at an address; FormatError when any byte lies outside the image.
  std::uint8_t u8(std::uint32_t va) const;
  std::uint16_t u16(std::uint32_t va) const;
  std::uint32_t u32(std::uint32_t va) const;
  // Zero-terminated strings; the terminator must lie inside the image.
  std::u16string wstring(std::uint32_t va) const;
  std::string cstring(std::uint32_t va) const;

  // The export directory's Name: the library's own file name.
  std::string exportedName() const;
  std::uint32_t exportByName(std::string_view name) const;  // VA of the function
  std::uint32_t exportByOrdinal(std::uint16_t ordinal) const;
  // Runs a layout library's descriptor: `mov eax, imm32` then `ret`; returns imm32.
  std::uint32_t callDescriptor(std::uint32_t functionVa) const;

  // RVAs of the IMAGE_REL_BASED_HIGHLOW fixups, in the order they were applied.
  const std::vector<std::uint32_t>& relocationSites() const { return relocationSites_; }

 private:
  LoadedImage(const PeFile& file, std::uint32_t base);
  void mapSections(const PeFile& file);
  void applyRelocations(std::uint32_t delta);
  // Text is turned into a message only when the check fails: reads are many.
  void requireInside(std::string_view structure, std::uint32_t va, std::uint32_t length,
                     std::string_view what) const;
  std::uint32_t exportFunction(std::uint32_t index, const std::string& what) const;

  std::uint32_t base_;
  std::vector<std::uint8_t> memory_;
  std::vector<Section> sections_;
  std::vector<DataDirectory> dataDirectories_;
  std::vector<std::uint32_t> relocationSites_;
};

}  // namespace platform
