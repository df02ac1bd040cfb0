// What kvar draws holds text from the file as text, never as markup or control.
#include <gtest/gtest.h>

#include "tools/kvar/keyboard_view.h"
#include "tools/kvar/layouts_page.h"

namespace kvar {
namespace {

TEST(Show, LegendsNameWhatCannotBeShown) {
  EXPECT_EQ(toUtf8(printable(u"\x1b\x7f \xa0")), "ESCDEL␣NBSP");
  EXPECT_EQ(toUtf8(printable(u"a\xfffe\xffff")), "a\uFFFD\uFFFD");
  EXPECT_EQ(toUtf8(u"\xd800x"), "\uFFFDx");  // a lone surrogate
}

TEST(Show, PageEscapesTitleFileNameAndLegends) {
  const std::string page = renderLayoutsPage(
      {{"<b>Bold</b> & \"quoted\"", "x\"y.dll", "<svg/>", {{u"<", u"&", u"\""}}}});
  EXPECT_NE(page.find("<h2>&lt;b&gt;Bold&lt;/b&gt; &amp; &quot;quoted&quot;</h2>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("id=\"x&quot;y\""), std::string::npos) << page;
  EXPECT_NE(page.find("<td>&lt;</td><td>&amp;</td><td>&quot;</td>"), std::string::npos) << page;
}

}  // namespace
}  // namespace kvar
