// The PE image checksum: the file summed as 16-bit little-endian words with
// the carries folded back in, the CheckSum field counted as zero, plus the
// file's length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace image {

inline std::uint32_t peChecksum(std::span<const std::uint8_t> file, std::size_t checksumOffset) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    if (i >= checksumOffset && i < checksumOffset + 4) continue;
    std::uint32_t word = file[i];
    if (i + 1 < file.size()) word |= static_cast<std::uint32_t>(file[i + 1]) << 8;
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + file.size());
}

}  // namespace image
