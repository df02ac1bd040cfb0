// Who makes the libraries, as their version resources say it, and the time
// stamp every image carries. Fixed values, so that two builds are identical.
#pragma once

#include <cstdint>
#include <string_view>

namespace image {

inline constexpr std::u16string_view kCompanyName = u"The Kvar project";
inline constexpr std::u16string_view kLegalCopyright = u"Copyright \u00A9 2026 The Kvar project";
inline constexpr std::u16string_view kProductName =
    u"Microsoft(R) Windows (R) 2000 Operating System";

// 2026-01-01 00:00:00 UTC: the file header's and the export directory's
// TimeDateStamp.
inline constexpr std::uint32_t kTimeDateStamp = 0x6955B900;

}  // namespace image
