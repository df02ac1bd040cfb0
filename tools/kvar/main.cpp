// kvar: look at a keyboard-layout library, type through it, dump it, check it.
#include <fstream>
#include <iostream>

#include "tools/kvar/command.h"
#include "tools/kvar/library.h"

namespace kvar {

// clang-format off
const Command kCommands[] = {
    {"show", "draw the keyboard as text, or as a picture with --svg",
     "usage: kvar show FILE.dll [--svg OUT.svg]\n"
     "Shows the main block of a 102-key keyboard with each key's Base, Shift and\n"
     "AltGr (or Ctrl) characters. Dead keys are marked, control characters named.\n"
     "  --svg OUT.svg   write the keyboard as an SVG picture instead\n",
     runShow},
    {"guide", "write the HTML page that shows several layouts",
     "usage: kvar guide OUT.html FILE.dll...\n"
     "Writes one page with the keyboard of each library, named by its version\n"
     "resource, and the table of dead-key compositions where a layout has them.\n",
     runGuide},
};
// clang-format on

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw InputError(path + ": cannot write the file");
}

namespace {

void usage(std::ostream& out) {
  out << "usage: kvar COMMAND ARGS...   (kvar COMMAND --help for more)\n";
  for (const Command& c : kCommands) out << "  " << c.name << "\t" << c.summary << "\n";
}

}  // namespace
}  // namespace kvar

int main(int argc, char** argv) {
  using namespace kvar;
  Args args(argv + 1, argv + argc);
  if (args.empty()) {
    usage(std::cerr);
    return kExitUnusable;
  }
  if (args[0] == "--help" || args[0] == "-h") {
    usage(std::cout);
    return kExitFine;
  }
  for (const Command& command : kCommands) {
    if (command.name != args[0]) continue;
    Args rest(args.begin() + 1, args.end());
    for (std::string_view a : rest) {
      if (a == "--help" || a == "-h") {
        std::cout << command.help;
        return kExitFine;
      }
    }
    try {
      return command.run(rest);
    } catch (const UsageError& e) {
      std::cerr << "kvar " << command.name << ": " << e.what() << " (see kvar " << command.name
                << " --help)\n";
    } catch (const InputError& e) {
      std::cerr << "kvar " << command.name << ": " << e.what() << "\n";
    }
    return kExitUnusable;
  }
  std::cerr << "kvar: no command '" << args[0] << "' (see kvar --help)\n";
  return kExitUnusable;
}
