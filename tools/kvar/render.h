// Drawings of a keyboard view: for a terminal, and as an SVG picture.
#pragma once

#include <string>

#include "tools/kvar/keyboard_view.h"

namespace kvar {

// Rows of boxed keys: Shift on the upper line, Base and the third level on
// the lower one; then a line that explains the marks.
std::string renderText(const KeyboardView& view);

// A standalone SVG document: one <g class="key"> per key, and a legend.
std::string renderSvg(const KeyboardView& view);

}  // namespace kvar
