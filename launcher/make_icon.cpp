// make_icon PIXELMAP ICON: writes the icon file for the launcher's resource.
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "icon_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_icon PIXELMAP ICON\n";
    return 2;
  }
  const std::string input = argv[1];
  const std::string output = argv[2];
  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::cerr << "make_icon: cannot read " << input << "\n";
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  try {
    const auto icon = setup::iconFromPixelMap(text);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(icon.data()),
              static_cast<std::streamsize>(icon.size()));
    if (!out.flush()) {
      std::cerr << "make_icon: cannot write " << output << "\n";
      return 1;
    }
  } catch (const std::runtime_error& error) {
    std::cerr << "make_icon: " << input << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}
