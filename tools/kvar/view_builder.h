// A keyboard view and the dead-key compositions of a loaded layout library,
// as the platform stand-in reads them.
#pragma once

#include <string>
#include <vector>

#include "platform/keyboard_layout.h"
#include "tools/kvar/keyboard_view.h"
#include "tools/kvar/layouts_page.h"

namespace kvar {

KeyboardView keyboardView(const platform::KeyboardLayout& layout, std::string title);

// The DEADKEY list in its order.
std::vector<Composition> compositions(const platform::KeyboardLayout& layout);

}  // namespace kvar
