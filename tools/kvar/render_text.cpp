#include <cmath>
#include <string>

#include "tools/kvar/render.h"

namespace kvar {
namespace {

constexpr double kColumnsPerUnit = 6;

int column(double units) {
  return static_cast<int>(std::lround(units * kColumnsPerUnit));
}

std::u16string legendText(const Legend& legend) {
  std::u16string text = printable(legend.text);
  if (legend.dead) text += u'*';
  return text;
}

// `left` at the start and `right` at the end of `width` columns; what does
// not fit is cut from the right.
std::u16string cell(std::u16string left, const std::u16string& right, std::size_t width) {
  std::u16string line = std::move(left);
  if (!right.empty()) {
    std::size_t gap = line.size() + right.size() < width ? width - line.size() - right.size() : 1;
    line.append(gap, u' ');
    line += right;
  }
  line.resize(width, u' ');
  return line;
}

}  // namespace

std::string renderText(const KeyboardView& view) {
  std::string out = view.title + "\n";
  const int width = column(kKeyboardWidth);
  for (int row = 0; row < static_cast<int>(kKeyboardRows); ++row) {
    std::u16string upper, lower;
    for (const KeyCap& cap : view.keys) {
      if (static_cast<int>(cap.key.y) != row) continue;
      int start = column(cap.key.x);
      std::size_t inner = static_cast<std::size_t>(column(cap.key.x + cap.key.width) - start - 1);
      upper.resize(static_cast<std::size_t>(start), u' ');
      lower.resize(static_cast<std::size_t>(start), u' ');
      upper += u"│";
      lower += u"│";
      if (cap.key.typesCharacters) {
        upper += cell(legendText(cap.shift), cap.moved ? u"⇄" : u"", inner);
        lower += cell(legendText(cap.base), legendText(cap.third), inner);
      } else {
        upper += cell(cap.name, u"", inner);
        lower += cell(u"", u"", inner);
      }
    }
    upper += u"│";
    lower += u"│";
    out += toUtf8(upper) + "\n" + toUtf8(lower) + "\n";
    out += std::string(static_cast<std::size_t>(width) + 1, '-') + "\n";
  }
  out += "upper left: Shift; lower left: Base; lower right: ";
  out += view.altGr ? "AltGr (Ctrl+Alt)" : "Ctrl";
  out += "; * dead key; ⇄ key moved from its US place\n";
  return out;
}

}  // namespace kvar
