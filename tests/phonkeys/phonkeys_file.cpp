#include "tests/phonkeys/phonkeys_file.h"

#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace phonkeys_test {

const platform::KeyboardLayout& phonkeys() {
  static const platform::KeyboardLayout layout = platform::KeyboardLayout::load(
      platform::LoadedImage::load(platform::PeFile::read(KVAR_PHONKEYS_DLL)));
  return layout;
}

}  // namespace phonkeys_test
