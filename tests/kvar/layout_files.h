// The layout libraries the build wrote, and copies of them with one thing
// broken, for the tests of kvar.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/kbd_tables.h"
#include "platform/keyboard_layout.h"
#include "platform/pe_file.h"

namespace kvar::test {

inline const std::vector<std::string> kLayoutNames = {"stdkeys", "progkeys", "phonkeys"};

std::string libraryPath(const std::string& name);  // in the build's dist folder
const std::vector<std::uint8_t>& libraryBytes(const std::string& name);
const platform::KeyboardLayout& layout(const std::string& name);

// A copy of a library's bytes that an edit changes at addresses of the
// loaded image (the library's preferred base), read through its tables.
class ImageEdit {
 public:
  explicit ImageEdit(const std::string& name);

  const platform::KbdTables& tables() const { return tables_; }
  std::uint32_t base() const { return base_; }
  // The file offset of an address of the image.
  std::size_t fileOffset(std::uint32_t va) const;
  void setU8(std::uint32_t va, std::uint8_t value);
  void setU16(std::uint32_t va, std::uint16_t value);
  void setU32(std::uint32_t va, std::uint32_t value);
  // Copies `length` bytes at `from` over the bytes at `to`.
  void copy(std::uint32_t from, std::uint32_t to, std::uint32_t length);
  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  platform::PeFile file_;  // as it was before the edits
  platform::KbdTables tables_;
  std::uint32_t base_;
};

// stdkeys.dll with the terminating entry of its E1 list overwritten by the
// entry before it, so that the list runs on into whatever follows it.
std::vector<std::uint8_t> stdkeysWithoutE1Terminator();

// Writes bytes to a file of the test's scratch folder and returns its path.
std::string writeScratchFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

}  // namespace kvar::test
