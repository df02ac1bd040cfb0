// kvar check FILE.dll
#include <iostream>
#include <optional>

#include "platform/format_error.h"
#include "tools/kvar/command.h"
#include "tools/kvar/layout_check.h"
#include "tools/kvar/library.h"

namespace kvar {

int runCheck(const Args& args) {
  std::optional<std::string> file;
  for (std::string_view a : args) {
    if (a.starts_with("-")) throw UsageError("unknown option " + std::string(a));
    if (file) throw UsageError("one layout library at a time");
    file = std::string(a);
  }
  if (!file) throw UsageError("which layout library? kvar check FILE.dll");

  std::vector<Finding> findings;
  try {
    findings = checkLayoutLibrary(readLibraryFile(*file));
  } catch (const platform::FormatError& e) {
    throw InputError(*file + ": " + e.what());
  }
  for (const Finding& f : findings) std::cout << *file << ": " << toLine(f) << "\n";
  if (!findings.empty()) return kExitFindings;
  std::cout << *file << ": no findings\n";
  return kExitFine;
}

}  // namespace kvar
