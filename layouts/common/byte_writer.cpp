#include "layouts/common/byte_writer.h"

#include <stdexcept>

namespace image {

ByteWriter::ByteWriter(std::uint32_t sectionRva, std::uint32_t imageBase)
    : sectionRva_(sectionRva), imageBase_(imageBase) {}

std::uint32_t ByteWriter::rva() const {
  return sectionRva_ + static_cast<std::uint32_t>(data_.size());
}

void ByteWriter::u8(std::uint8_t value) { data_.push_back(value); }

void ByteWriter::u16(std::uint16_t value) {
  u8(static_cast<std::uint8_t>(value));
  u8(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::u32(std::uint32_t value) {
  u16(static_cast<std::uint16_t>(value));
  u16(static_cast<std::uint16_t>(value >> 16));
}

void ByteWriter::bytes(std::span<const std::uint8_t> data) {
  data_.insert(data_.end(), data.begin(), data.end());
}

void ByteWriter::zeros(std::size_t count) { data_.insert(data_.end(), count, 0); }

void ByteWriter::alignTo(std::uint32_t alignment) {
  while (rva() % alignment != 0) u8(0);
}

void ByteWriter::asciiz(std::string_view text) {
  for (char c : text) u8(static_cast<std::uint8_t>(c));
  u8(0);
}

void ByteWriter::utf16z(std::u16string_view text) {
  for (char16_t c : text) u16(c);
  u16(0);
}

void ByteWriter::pointer(std::uint32_t targetRva) {
  if (targetRva == 0) throw std::logic_error("a pointer to RVA 0 must be written as null()");
  sites_.push_back(rva());
  u32(imageBase_ + targetRva);
}

void ByteWriter::null() { u32(0); }

}  // namespace image
