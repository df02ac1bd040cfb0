// kvar guide OUT.html FILE.dll...
#include <filesystem>

#include "tools/kvar/command.h"
#include "tools/kvar/layouts_page.h"
#include "tools/kvar/library.h"
#include "tools/kvar/render.h"
#include "tools/kvar/view_builder.h"

namespace kvar {

int runGuide(const Args& args) {
  for (std::string_view a : args) {
    if (a.starts_with("-")) throw UsageError("unknown option " + std::string(a));
  }
  if (args.size() < 2) throw UsageError("kvar guide OUT.html FILE.dll...");

  std::vector<LayoutSection> sections;
  for (std::size_t i = 1; i < args.size(); ++i) {
    Library library = openLibrary(std::string(args[i]));
    sections.push_back({library.description,
                        std::filesystem::path(library.path).filename().string(),
                        renderSvg(keyboardView(library.layout, library.description)),
                        compositions(library.layout)});
  }
  writeFile(std::string(args[0]), renderLayoutsPage(sections));
  return kExitFine;
}

}  // namespace kvar
