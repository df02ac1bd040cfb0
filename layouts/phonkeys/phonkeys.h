#pragma once

#include "layouts/common/layout.h"

namespace layout {

// Russian Phonetic.
LayoutLibrary phonkeys();

}  // namespace layout
