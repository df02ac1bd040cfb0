// The one error the stand-in raises for a file it cannot read: a single line
// naming the structure that is wrong, where it lies, and what is wrong with it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

class FormatError : public std::runtime_error {
 public:
  // "<structure> at <location>: <problem>"
  FormatError(std::string structure, const std::string& location, const std::string& problem);

  const std::string& structure() const { return structure_; }

 private:
  std::string structure_;
};

// Locations and values, written the same way in every message.
std::string hex(std::uint32_t value);
std::string atFileOffset(std::uint32_t offset);
std::string atRva(std::uint32_t rva);
std::string atAddress(std::uint32_t va);

}  // namespace platform
