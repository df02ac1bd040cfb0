// kvar type FILE.dll [--caps] [--] TEXT | --keys PRESS...
#include <iostream>
#include <optional>

#include "tools/kvar/command.h"
#include "tools/kvar/key_presses.h"
#include "tools/kvar/keyboard_view.h"
#include "tools/kvar/library.h"

namespace kvar {
namespace {

// The delivered text for a terminal: control characters by name in angle
// brackets, so that what the layout typed cannot steer the terminal.
std::string forTerminal(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c < 0x20 || c == 0x7F) {
      out += u'<' + printable(std::u16string(1, c)) + u'>';
    } else {
      out += c;
    }
  }
  return toUtf8(out);
}

}  // namespace

int runType(const Args& args) {
  std::optional<std::string> file;
  std::optional<std::string_view> text;
  std::vector<KeyPress> presses;
  bool caps = false, keys = false, options = true;
  for (std::string_view a : args) {
    if (options && a == "--") {
      options = false;
    } else if (options && a == "--caps") {
      caps = true;
    } else if (options && a == "--keys") {
      keys = true;
    } else if (options && a.starts_with("--")) {
      throw UsageError("unknown option " + std::string(a));
    } else if (!file) {
      file = std::string(a);
    } else if (keys) {
      for (const KeyPress& p : parsePresses(a)) presses.push_back(p);
    } else if (text) {
      throw UsageError("one TEXT at a time (quote it when it holds spaces)");
    } else {
      text = a;
    }
  }
  if (!file) throw UsageError("which layout library? kvar type FILE.dll TEXT");
  if (keys && text) throw UsageError("TEXT and --keys do not go together");
  if (!keys && !text) throw UsageError("what to type? kvar type FILE.dll TEXT");
  if (keys && presses.empty()) throw UsageError("--keys needs at least one key press");
  if (text) presses = usPressesFor(*text);

  const Library library = openLibrary(*file);
  std::cout << forTerminal(typeThrough(library.layout, presses, caps)) << "\n";
  return kExitFine;
}

}  // namespace kvar
