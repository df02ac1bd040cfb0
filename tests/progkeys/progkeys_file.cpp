#include "tests/progkeys/progkeys_file.h"

#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace progkeys_test {

const platform::KeyboardLayout& progkeys() {
  static const platform::KeyboardLayout layout = platform::KeyboardLayout::load(
      platform::LoadedImage::load(platform::PeFile::read(KVAR_PROGKEYS_DLL)));
  return layout;
}

}  // namespace progkeys_test
