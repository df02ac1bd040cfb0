// The layout guide: one HTML page that shows each layout's keyboard and, for
// a layout with dead keys, what each dead key composes.
#pragma once

#include <string>
#include <vector>

namespace kvar {

struct Composition {
  std::u16string dead;      // the dead key's character
  std::u16string base;      // the character typed after it
  std::u16string composed;  // what the two give
};

struct LayoutSection {
  std::string title;     // "Lithuanian Standard"
  std::string fileName;  // "stdkeys.dll"
  std::string svg;       // the keyboard, drawn by renderSvg
  std::vector<Composition> compositions;
};

std::string renderLayoutsPage(const std::vector<LayoutSection>& sections);

}  // namespace kvar
