// kbdimage NAME OUT: writes the layout library NAME to the file OUT.
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string_view>
#include <utility>

#include "layouts/common/image_writer.h"
#include "layouts/phonkeys/phonkeys.h"
#include "layouts/progkeys/progkeys.h"
#include "layouts/stdkeys/stdkeys.h"

namespace {

const std::pair<std::string_view, layout::LayoutLibrary (*)()> kLibraries[] = {
    {"stdkeys", layout::stdkeys},
    {"progkeys", layout::progkeys},
    {"phonkeys", layout::phonkeys},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kbdimage NAME OUT.dll\n";
    return 2;
  }
  std::string_view name = argv[1];
  for (const auto& [libraryName, make] : kLibraries) {
    if (libraryName != name) continue;
    std::vector<std::uint8_t> image = image::buildImage(make());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
      std::cerr << "kbdimage: cannot write " << argv[2] << "\n";
      return 1;
    }
    return 0;
  }
  std::cerr << "kbdimage: no layout library named '" << name << "'\n";
  return 2;
}
