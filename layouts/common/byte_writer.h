// Writes little-endian data into a section of an image. Every pointer goes
// through pointer(), which records where it was written, so the base
// relocations of an image are exactly the pointers its records hold.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace image {

class ByteWriter {
 public:
  // A writer for a section at `sectionRva` of an image whose preferred base
  // is `imageBase`.
  ByteWriter(std::uint32_t sectionRva, std::uint32_t imageBase);

  // The RVA of the next byte to be written.
  std::uint32_t rva() const;

  void u8(std::uint8_t value);
  void u16(std::uint16_t value);
  void u32(std::uint32_t value);
  void bytes(std::span<const std::uint8_t> data);
  void zeros(std::size_t count);
  void alignTo(std::uint32_t alignment);

  // A zero-terminated ASCII or UTF-16 string.
  void asciiz(std::string_view text);
  void utf16z(std::u16string_view text);

  // The absolute address of `targetRva` at the preferred base, recorded as a
  // relocation site. A null pointer is written with null() and is no site.
  void pointer(std::uint32_t targetRva);
  void null();

  const std::vector<std::uint8_t>& data() const { return data_; }
  const std::vector<std::uint32_t>& relocationSites() const { return sites_; }

 private:
  std::uint32_t sectionRva_;
  std::uint32_t imageBase_;
  std::vector<std::uint8_t> data_;
  std::vector<std::uint32_t> sites_;
};

}  // namespace image
