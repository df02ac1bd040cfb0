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
    {"type", "type text or key presses through the layout",
     "usage: kvar type FILE.dll [--caps] [--] TEXT\n"
     "       kvar type FILE.dll [--caps] --keys PRESS...\n"
     "Prints what the layout delivers, with dead keys, Caps Lock and AltGr as the\n"
     "platform handles them. Control characters print by name, as <ESC>.\n"
     "  TEXT      each character names the key of a US keyboard that carries it and\n"
     "            whether Shift is held: 'privet', '`s', 'Hello'\n"
     "  --caps    Caps Lock is on from the start\n"
     "  --        what follows is TEXT, even when it starts with -\n"
     "  --keys    explicit presses, one argument or several, separated by spaces:\n"
     "              0x1f         the key with scan code 0x1F\n"
     "              S+0x10       with Shift held (C+ Ctrl, A+ Alt, AltGr+ right Alt)\n"
     "              C+A+0x12     several modifiers, held in the order written\n"
     "              E0:0x38      a scan code sent after the prefix E0 (E1: likewise)\n"
     "            for example: --keys 'S+0x10 AltGr+0x12 0x29 0x1f'\n",
     runType},
    {"dump", "print every record of a layout library as neutral text",
     "usage: kvar dump FILE.dll\n"
     "Prints one line for each record that KbdLayerDescriptor leads to, in the\n"
     "order the platform reaches them, every list up to its terminating entry.\n"
     "Addresses print as offsets from the image base, so the dump does not depend\n"
     "on where the library is loaded; it is the same text the loader test compares.\n",
     runDump},
    {"check", "check a layout library against what the platform requires",
     "usage: kvar check FILE.dll\n"
     "Checks the image (PE32, a DLL, no imports, no entry routine, KbdLayerDescriptor\n"
     "by name and as ordinal 1, returning a constant, relocated address) and every\n"
     "record it leads to (lists terminated, counts, pointers inside the image and\n"
     "relocated, dead-character rows, one row per virtual key, modification numbers,\n"
     "key names). Prints one finding per line, with the record and its offset from\n"
     "the image base. Exit code 0: no findings; 1: findings; 2: the file is unusable.\n",
     runCheck},
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
    } catch (const std::exception& e) {  // the last guard: still one line, still exit 2
      std::cerr << "kvar " << command.name << ": cannot go on: " << e.what() << "\n";
    }
    return kExitUnusable;
  }
  std::cerr << "kvar: no command '" << args[0] << "' (see kvar --help)\n";
  return kExitUnusable;
}
