#pragma once

#include "layouts/common/layout.h"

namespace layout {

// Lithuanian Programmers.
LayoutLibrary progkeys();

}  // namespace layout
