// Lays a layout's tables out as the platform's records.
#pragma once

#include <cstdint>

#include "layouts/common/byte_writer.h"
#include "layouts/common/layout.h"

namespace image {

// Writes every record the tables need, leaves first, so that each pointer's
// target is already placed when the pointer is written. Returns the RVA of
// KBDTABLES.
std::uint32_t writeLayoutRecords(ByteWriter& out, const layout::LayoutTables& tables);

}  // namespace image
