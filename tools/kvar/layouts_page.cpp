#include "tools/kvar/layouts_page.h"

#include "tools/kvar/keyboard_view.h"

namespace kvar {
namespace {

// A legend as people read it, for HTML.
std::string html(const std::u16string& text) {
  return markupEscaped(toUtf8(printable(text)));
}

std::string compositionTable(const std::vector<Composition>& compositions) {
  std::string s =
      "<table class=\"compositions\">\n<thead><tr><th>Dead key</th><th>Then</th>"
      "<th>Gives</th></tr></thead>\n<tbody>\n";
  for (const Composition& c : compositions) {
    s += "<tr><td>" + html(c.dead) + "</td><td>" + html(c.base) + "</td><td>" + html(c.composed) +
         "</td></tr>\n";
  }
  return s + "</tbody>\n</table>\n";
}

}  // namespace

std::string renderLayoutsPage(const std::vector<LayoutSection>& sections) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Kvar keyboard layouts</title>\n<style>\n"
      "body{font-family:'DejaVu Sans',Verdana,sans-serif;margin:2em;color:#222}\n"
      "section{margin-bottom:3em}\n"
      "table.compositions{border-collapse:collapse;margin-top:1em}\n"
      "table.compositions td,table.compositions th{border:1px solid #999;padding:.2em .8em;"
      "text-align:center}\n"
      "@media print{section{break-inside:avoid}}\n"
      "</style>\n</head>\n<body>\n<h1>Kvar keyboard layouts</h1>\n"
      "<p>Each picture shows the main block of a 102-key keyboard with what the layout types "
      "on every key.</p>\n";
  for (const LayoutSection& s : sections) {
    // The title comes from the library's version resource: it is text, never markup.
    page += "<section class=\"layout\" id=\"" +
            markupEscaped(s.fileName.substr(0, s.fileName.find('.'))) + "\">\n<h2>" + markupEscaped(s.title) +
            "</h2>\n<p>Layout library: <code>" + markupEscaped(s.fileName) + "</code></p>\n" + s.svg;
    if (!s.compositions.empty()) {
      page += "<h3>Dead-key compositions</h3>\n" + compositionTable(s.compositions);
    }
    page += "</section>\n";
  }
  return page + "</body>\n</html>\n";
}

}  // namespace kvar
