// kvar show FILE.dll [--svg OUT.svg]
#include <iostream>
#include <optional>

#include "tools/kvar/command.h"
#include "tools/kvar/library.h"
#include "tools/kvar/render.h"
#include "tools/kvar/view_builder.h"

namespace kvar {

int runShow(const Args& args) {
  std::optional<std::string> file, svg;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--svg") {
      if (++i == args.size()) throw UsageError("--svg needs a file to write");
      svg = std::string(args[i]);
    } else if (args[i].starts_with("-")) {
      throw UsageError("unknown option " + std::string(args[i]));
    } else if (file) {
      throw UsageError("one layout library at a time");
    } else {
      file = std::string(args[i]);
    }
  }
  if (!file) throw UsageError("which layout library? kvar show FILE.dll");

  Library library = openLibrary(*file);
  KeyboardView view = keyboardView(library.layout, library.description);
  if (svg) {
    writeFile(*svg, renderSvg(view));
  } else {
    std::cout << renderText(view);
  }
  return kExitFine;
}

}  // namespace kvar
