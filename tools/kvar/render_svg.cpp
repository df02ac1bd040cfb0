#include <cstdio>
#include <string>

#include "tools/kvar/render.h"

namespace kvar {
namespace {

constexpr double kUnit = 54;  // pixels per key unit
constexpr double kMargin = 12;
constexpr double kTitleHeight = 34;
constexpr double kLegendHeight = 64;
constexpr double kGap = 3;            // between neighbouring keys
constexpr double kNameCharWidth = 6;  // a character of a key's name, about, in pixels

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

std::string label(const char* cls, const Legend& legend, double x, double y, const char* anchor) {
  if (legend.text.empty()) return {};
  std::string classes = std::string(cls) + (legend.dead ? " dead" : "");
  return "<text class=\"" + classes + "\" x=\"" + number(x) + "\" y=\"" + number(y) +
         "\" text-anchor=\"" + anchor + "\">" + markupEscaped(toUtf8(printable(legend.text))) + "</text>";
}

// The outline of a key: a rectangle, or for the two-row Enter key the L
// shape that joins its upper and lower parts.
std::string outline(const KeyCap& cap, double x, double y, double w) {
  double h = kUnit - kGap;
  if (cap.key.scanCode == 0x1C && !cap.key.extended) {
    Rect lower = isoEnterLowerPart();
    double lx = kMargin + lower.x * kUnit;
    double bottom = y + kUnit + h;
    return "<path d=\"M" + number(x) + " " + number(y) + "H" + number(x + w) + "V" +
           number(bottom) + "H" + number(lx) + "V" + number(y + h) + "H" + number(x) + "Z\"/>";
  }
  return "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
         "\" height=\"" + number(h) + "\" rx=\"5\"/>";
}

std::string keyGroup(const KeyCap& cap) {
  double x = kMargin + cap.key.x * kUnit;
  double y = kMargin + kTitleHeight + cap.key.y * kUnit;
  double w = cap.key.width * kUnit - kGap;
  std::string classes = std::string("key") + (cap.moved ? " moved" : "");
  std::string g = "<g class=\"" + classes + "\" data-scan=\"" +
                  (cap.key.extended ? std::string("E0 ") : std::string()) + hex2(cap.key.scanCode) +
                  "\">" + outline(cap, x, y, w);
  if (cap.key.typesCharacters) {
    g += label("shift", cap.shift, x + 7, y + 20, "start");
    g += label("base", cap.base, x + 7, y + kUnit - kGap - 8, "start");
    g += label("third", cap.third, x + w - 6, y + kUnit - kGap - 8, "end");
  } else {
    // A name longer than its key is pressed to the key's width.
    const double room = w - 12;
    const std::string fit =
        cap.name.size() * kNameCharWidth > room
            ? " textLength=\"" + number(room) + "\" lengthAdjust=\"spacingAndGlyphs\""
            : std::string();
    g += "<text class=\"name\" x=\"" + number(x + 6) + "\" y=\"" + number(y + 16) + "\"" + fit +
         ">" + markupEscaped(toUtf8(cap.name)) + "</text>";
  }
  return g + "</g>\n";
}

std::string legendBox(const KeyboardView& view, double y) {
  double x = kMargin;
  std::string third = view.altGr ? "AltGr (Ctrl+Alt)" : "Ctrl";
  std::string s =
      "<g class=\"legend\" transform=\"translate(" + number(x) + " " + number(y) + ")\">";
  s += "<rect class=\"sample\" x=\"0\" y=\"0\" width=\"51\" height=\"51\" rx=\"5\"/>";
  s += "<text class=\"shift\" x=\"7\" y=\"20\">S</text>";
  s += "<text class=\"base\" x=\"7\" y=\"43\">B</text>";
  s += "<text class=\"third\" x=\"45\" y=\"43\" text-anchor=\"end\">" +
       std::string(view.altGr ? "G" : "C") + "</text>";
  s += "<text class=\"note\" x=\"64\" y=\"16\">S: with Shift   B: Base   " +
       std::string(view.altGr ? "G" : "C") + ": with " + markupEscaped(third) + "</text>";
  s += "<text class=\"note\" x=\"64\" y=\"34\"><tspan class=\"dead\">red</tspan>: dead key, "
       "waits for the next key</text>";
  s += "<rect class=\"moved-sample\" x=\"64\" y=\"40\" width=\"14\" height=\"12\" rx=\"2\"/>";
  s += "<text class=\"note\" x=\"84\" y=\"50\">key moved from its place on a US keyboard</text>";
  return s + "</g>\n";
}

}  // namespace

std::string renderSvg(const KeyboardView& view) {
  double width = 2 * kMargin + kKeyboardWidth * kUnit;
  double height = 2 * kMargin + kTitleHeight + kKeyboardRows * kUnit + kLegendHeight;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"keyboard\" width=\"" +
                    number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " +
                    number(width) + " " + number(height) + "\">\n";
  svg += "<title>" + markupEscaped(view.title) + "</title>\n";
  svg +=
      "<style>"
      "text{font-family:'DejaVu Sans',Verdana,sans-serif;fill:#222}"
      ".key rect,.key path,.sample{fill:#fdfdfd;stroke:#555;stroke-width:1.2}"
      ".key.moved rect,.key.moved path,.moved-sample{fill:#ffe9a8;stroke:#555}"
      ".base,.shift{font-size:17px}.third{font-size:14px;fill:#1c5bb8}"
      ".dead{fill:#c0262d;font-weight:bold}.name{font-size:10px;fill:#666}"
      ".note{font-size:13px}.title{font-size:20px;font-weight:bold}"
      "</style>\n";
  svg += "<text class=\"title\" x=\"" + number(kMargin) + "\" y=\"" + number(kMargin + 22) + "\">" +
         markupEscaped(view.title) + "</text>\n";
  for (const KeyCap& cap : view.keys) svg += keyGroup(cap);
  svg += legendBox(view, kMargin + kTitleHeight + kKeyboardRows * kUnit + 8);
  return svg + "</svg>\n";
}

}  // namespace kvar
