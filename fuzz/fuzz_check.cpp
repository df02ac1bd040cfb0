// A file handed to kvar check: findings or a FormatError for any bytes,
// never a crash, a read outside the image or a hang.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/format_error.h"
#include "tools/kvar/layout_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    for (const kvar::Finding& finding : kvar::checkLayoutLibrary({data, data + size})) {
      kvar::toLine(finding);
    }
  } catch (const platform::FormatError&) {
  }
  return 0;
}
