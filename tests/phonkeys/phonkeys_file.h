// phonkeys.dll as the build wrote it, loaded once by the stand-in.
#pragma once

#include "platform/keyboard_layout.h"

namespace phonkeys_test {

const platform::KeyboardLayout& phonkeys();

}  // namespace phonkeys_test
