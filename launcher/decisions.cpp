#include "decisions.h"

namespace setup {

const char* choosePackage(const OsVersion& version) {
  switch (version.dwPlatformId) {
    case kPlatformWindows9x:
      // Only the build value counts here; the version fields are not looked at.
      return version.dwBuildNumber >= kLowestMillenniumBuild ? kMillenniumPackage : nullptr;
    case kPlatformWindowsNt:
      return version.dwMajorVersion == kNtMajorVersion ? kNtPackage : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace setup
