// A layout library file opened the way the platform opens it: mapped at its
// preferred base, KbdLayerDescriptor run, the tables read.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace kvar {

struct Library {
  std::string path;
  platform::PeFile file;
  platform::LoadedImage image;
  platform::KeyboardLayout layout;
  std::string description;  // FileDescription of the version resource, or the file name
};

// Input the tool cannot use: a file that cannot be read or is no layout
// library the platform could load. The message names the file.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws InputError.
Library openLibrary(const std::string& path);

// The bytes of a file no larger than any image the stand-in maps; throws InputError.
std::vector<std::uint8_t> readLibraryFile(const std::string& path);

}  // namespace kvar
