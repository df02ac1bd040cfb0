#pragma once

#include "layouts/common/layout.h"

namespace layout {

// Lithuanian Standard.
LayoutLibrary stdkeys();

}  // namespace layout
