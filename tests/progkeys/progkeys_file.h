// progkeys.dll as the build wrote it, loaded once by the stand-in.
#pragma once

#include "platform/keyboard_layout.h"

namespace progkeys_test {

const platform::KeyboardLayout& progkeys();

}  // namespace progkeys_test
