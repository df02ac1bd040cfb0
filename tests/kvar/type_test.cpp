// Key presses as people write them, and typing them through the built libraries.
#include <gtest/gtest.h>

#include "platform/typing_session.h"
#include "tests/kvar/layout_files.h"
#include "tools/kvar/command.h"
#include "tools/kvar/key_presses.h"
#include "tools/kvar/keyboard_view.h"

namespace kvar {
namespace {

using platform::Prefix;
using platform::ScanCode;
namespace keys = platform::keys;

TEST(Presses, ParsesModifiersPrefixesAndScanCodes) {
  // clang-format off
  const std::pair<const char*, KeyPress> cases[] = {
      {"0x1f",        {{}, {0x1F}}},
      {"0x7",         {{}, {0x07}}},
      {"S+0x10",      {{keys::kLeftShift}, {0x10}}},
      {"AltGr+0x12",  {{keys::kRightAlt}, {0x12}}},
      {"c+A+0x12",    {{keys::kLeftCtrl, keys::kLeftAlt}, {0x12}}},
      {"E0:0x38",     {{}, {0x38, Prefix::E0}}},
      {"S+e1:0X1D",   {{keys::kLeftShift}, {0x1D, Prefix::E1}}},
      {"0xFF",        {{}, {0xFF}}},
  };
  // clang-format on
  for (const auto& [text, press] : cases) EXPECT_EQ(parsePress(text), press) << text;
}

TEST(Presses, RejectsWhatIsNoPress) {
  for (const char* text : {"", "0x", "0x100", "0x00", "12", "0xZZ", "X+0x10", "S+", "S++0x10",
                           "E2:0x10", "E0:", "Shift+0x10", "+0x10"}) {
    EXPECT_THROW(parsePress(text), UsageError) << '"' << text << '"';
  }
}

TEST(Presses, SplitAtSpaces) {
  const auto presses = parsePresses("  S+0x10   0x29 ");
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_EQ(presses[1], (KeyPress{{}, {0x29}}));
  EXPECT_THROW(parsePresses("0x10 nonsense"), UsageError);
}

TEST(Presses, UsTextNamesKeyAndShift) {
  const auto presses = usPressesFor("aA~ ");
  ASSERT_EQ(presses.size(), 4u);
  EXPECT_EQ(presses[0], (KeyPress{{}, {0x1E}}));
  EXPECT_EQ(presses[1], (KeyPress{{keys::kLeftShift}, {0x1E}}));
  EXPECT_EQ(presses[2], (KeyPress{{keys::kLeftShift}, {0x29}}));
  EXPECT_EQ(presses[3], (KeyPress{{}, {0x39}}));
}

TEST(Presses, UsTextOffTheKeyboardIsNamed) {
  for (const auto& [text, code] :
       {std::pair{"caf\xC3\xA9", "U+00E9"}, std::pair{"\xE2\x82\xAC", "U+20AC"},
        std::pair{"\x01", "U+0001"}, std::pair{"\xFF", "U+FFFD"}}) {
    try {
      usPressesFor(text);
      ADD_FAILURE() << code << " was typed";
    } catch (const UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(code), std::string::npos) << e.what();
    }
  }
}

struct Typed {
  const char* library;
  const char* input;  // US text, or presses when `keys`
  bool keys;
  bool caps;
  std::u16string_view delivered;
};

// clang-format off
const Typed kTyped[] = {
    {"phonkeys", "privet",          false, false, u"привет"},
    {"phonkeys", "privet",          false, true,  u"ПРИВЕТ"},
    {"phonkeys", "Privet, mir",     false, false, u"Привет, мир"},
    {"phonkeys", "q",               false, false, u"я"},
    {"progkeys", "`s",              false, false, u"š"},
    {"progkeys", "`A",              false, false, u"Ą"},
    {"progkeys", "`a",              false, true,  u"Ą"},   // Caps Lock on the letter after the dead key
    {"progkeys", "`A",              false, true,  u"ą"},
    {"progkeys", "~w`W",            false, false, u"ėĖ"},  // the second key decides the case
    {"progkeys", "` ~ ",            false, false, u"`~"},
    {"progkeys", "`4`$`'`\"",       false, false, u"€€„“"},
    {"progkeys", "`b",              false, false, u"`b"},  // no composition: both characters
    {"progkeys", "``",              false, false, u"``"},
    {"progkeys", "`",               false, false, u""},    // still pending at the end
    {"progkeys", "S+0x29 0x11",     true,  false, u"ė"},   // Shift let go before W
    {"progkeys", "0x29 S+0x2A 0x1F",true,  false, u"š"},   // Shift alone leaves the dead key pending
    {"progkeys", "AltGr+0x12",      true,  false, u"e"},   // no AltGr: right Alt is Alt, which ToUnicode drops
    {"progkeys", "C+0x1A C+0x0E C+0x1C", true, false, u"\x1B\x7F\n"},
    {"progkeys", "C+0x03 S+C+0x03", true,  false, std::u16string_view(u"\0", 1)},  // Ctrl+2 gives nothing, Shift+Ctrl+2 NUL
    {"stdkeys",  "q",               false, false, u"ą"},
    {"stdkeys",  "q",               false, true,  u"Ą"},
    {"stdkeys",  "AltGr+0x12",      true,  false, u"€"},
    {"stdkeys",  "C+A+0x12",        true,  false, u"€"},   // the same column as AltGr
    {"stdkeys",  "0x3A 0x10 0x3A 0x10", true, false, u"Ąą"},  // Caps Lock pressed on and off
    {"stdkeys",  "E0:0x35",         true,  false, u"/"},   // keypad slash after E0
};
// clang-format on

TEST(Type, DeliversWhatThePlatformDoes) {
  for (const Typed& t : kTyped) {
    const auto presses = t.keys ? parsePresses(t.input) : usPressesFor(t.input);
    const std::u16string delivered = typeThrough(test::layout(t.library), presses, t.caps);
    EXPECT_EQ(toUtf8(delivered), toUtf8(std::u16string(t.delivered)))
        << t.library << (t.caps ? " --caps " : " ") << t.input;
  }
}

}  // namespace
}  // namespace kvar
