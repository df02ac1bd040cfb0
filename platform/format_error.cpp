#include "platform/format_error.h"

#include <cstdio>
#include <utility>

namespace platform {

FormatError::FormatError(std::string structure, const std::string& location,
                         const std::string& problem)
    : std::runtime_error(structure + " at " + location + ": " + problem),
      structure_(std::move(structure)) {}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

std::string atFileOffset(std::uint32_t offset) {
  return "file offset " + hex(offset);
}
std::string atRva(std::uint32_t rva) {
  return "RVA " + hex(rva);
}
std::string atAddress(std::uint32_t va) {
  return "address " + hex(va);
}

}  // namespace platform
