// progkeys.dll away from the dead key: the control characters that Ctrl
// gives, what Caps Lock leaves alone, and which key a character maps back to.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/typing_session.h"
#include "tests/common/built_files.h"

namespace {

using platform::ScanCode;
using platform::TypingSession;
namespace keys = platform::keys;

struct Typed {
  const char* what;
  std::vector<ScanCode> modifiers;
  ScanCode key;
  bool capsLock;
  std::u16string delivered;  // empty: no character
};

TEST(ProgkeysKeys, CtrlCapsLockAndTheKeypad) {
  const ScanCode ctrl = keys::kLeftCtrl, shift = keys::kLeftShift, alt = keys::kLeftAlt;
  const std::u16string nothing;
  // clang-format off
  const Typed cases[] = {
      {"Ctrl+2",              {ctrl},        {0x03}, false, nothing},
      {"Ctrl+6",              {ctrl},        {0x07}, false, nothing},
      {"Ctrl+minus",          {ctrl},        {0x0C}, false, nothing},
      {"Shift+Ctrl+2",        {shift, ctrl}, {0x03}, false, std::u16string(1, u'\0')},
      {"Shift+Ctrl+6",        {shift, ctrl}, {0x07}, false, u"\x1E"},
      {"Shift+Ctrl+minus",    {shift, ctrl}, {0x0C}, false, u"\x1F"},
      {"Ctrl+Backspace",      {ctrl},        {0x0E}, false, u"\x7F"},
      {"Enter",               {},            {0x1C}, false, u"\r"},
      {"Shift+Enter",         {shift},       {0x1C}, false, u"\r"},
      {"Ctrl+Enter",          {ctrl},        {0x1C}, false, u"\n"},
      {"Ctrl+Space",          {ctrl},        {0x39}, false, u" "},
      {"Ctrl+[",              {ctrl},        {0x1A}, false, u"\x1B"},
      {"Ctrl+]",              {ctrl},        {0x1B}, false, u"\x1D"},
      {"Ctrl+backslash",      {ctrl},        {0x2B}, false, u"\x1C"},
      {"Ctrl+OEM_102",        {ctrl},        {0x56}, false, u"\x1C"},
      {"OEM_102",             {},            {0x56}, false, u"\\"},
      {"Shift+OEM_102",       {shift},       {0x56}, false, u"|"},
      {"Ctrl+A",              {ctrl},        {0x1E}, false, nothing},
      {"Ctrl+1",              {ctrl},        {0x02}, false, nothing},
      {"Ctrl+semicolon",      {ctrl},        {0x27}, false, nothing},
      {"Ctrl+Alt+A",          {ctrl, alt},   {0x1E}, false, nothing},
      {"Ctrl+Alt+2",          {ctrl, alt},   {0x03}, false, nothing},
      {"Ctrl+right Alt+E",    {ctrl, keys::kRightAlt}, {0x12}, false, nothing},
      {"Caps Lock, 1",        {},            {0x02}, true,  u"1"},
      {"Caps Lock, Shift+1",  {shift},       {0x02}, true,  u"!"},
      {"Caps Lock, comma",    {},            {0x33}, true,  u","},
      {"Caps Lock, Shift+/",  {shift},       {0x35}, true,  u"?"},
      {"Caps Lock, Q",        {},            {0x10}, true,  u"Q"},
      {"Caps Lock, Shift+Q",  {shift},       {0x10}, true,  u"q"},
  };
  // clang-format on
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.what);
    TypingSession session(platform::test::builtLayout("progkeys"));
    session.setCapsLock(c.capsLock);
    const platform::Delivery delivery = session.chord(c.modifiers, c.key);
    EXPECT_EQ(delivery.chars, c.delivered);
    EXPECT_EQ(delivery.count, static_cast<int>(c.delivered.size()));
  }
}

// No KLLF_ALTGR: the right Alt key is the same plain Alt as the left one.
TEST(ProgkeysKeys, RightAltIsPlainAlt) {
  for (ScanCode key : {ScanCode{0x12}, ScanCode{0x05}, ScanCode{0x1A}}) {
    TypingSession left(platform::test::builtLayout("progkeys")),
        right(platform::test::builtLayout("progkeys"));
    EXPECT_EQ(left.chord({keys::kLeftAlt}, key), right.chord({keys::kRightAlt}, key));
    EXPECT_EQ(left.text(), right.text());
  }
}

// The keypad decimal key gives a comma, with Shift the backspace character.
TEST(ProgkeysKeys, KeypadDecimalKey) {
  TypingSession session(platform::test::builtLayout("progkeys"));
  session.setNumLock(true);
  EXPECT_EQ(session.tap({0x53}).chars, u",");
  EXPECT_EQ(session.tap({0x52}).chars, u"0");
}

// Character to key: the first row in table order that holds the character.
// High byte Shift 1, Ctrl 2.
TEST(ProgkeysKeys, CharacterMapsBackToTheFirstRowThatHoldsIt) {
  struct Case {
    char16_t ch;
    std::int16_t key;
  };
  // clang-format off
  const Case cases[] = {
      {u',',    0x00BC},  // VK_OEM_COMMA, not the keypad decimal key
      {u'\\',   0x00DC},  // VK_OEM_5 comes before VK_OEM_102
      {u'|',    0x01DC},
      {u'\x1C', 0x02DC},
      {u'\x1B', 0x02DB},  // Ctrl+VK_OEM_4 comes before VK_ESCAPE
      {u'\b',   0x0008},  // VK_BACK, not Shift+VK_DECIMAL
      {u'+',    0x01BB},  // Shift+VK_OEM_PLUS, not VK_ADD
      {u'*',    0x0138},  // Shift+8, not VK_MULTIPLY
      {u'-',    0x00BD},  // VK_OEM_MINUS, not VK_SUBTRACT
      {u'/',    0x00BF},  // VK_OEM_2, not VK_DIVIDE
      {u'\t',   0x0009},
      {u'0',    0x0030},  // the number row, never the keypad digit table
      {u'5',    0x0035},
      {u'9',    0x0039},
      {u'@',    0x0132},
      {u'\0',   0x0332},  // Shift+Ctrl+2
      {u'\x1F', 0x03BD},
      {u'q',    0x0051},
      {u'Q',    0x0151},
      {u'\'',   0x00DE},
      {u'"',    0x01DE},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(platform::test::builtLayout("progkeys").vkKeyScan(c.ch), c.key)
        << "U+" << std::hex << static_cast<unsigned>(c.ch);
  }
}

// What the dead key composes stands in no cell, so no key maps back to it.
TEST(ProgkeysKeys, ComposedCharactersMapToNoKey) {
  const std::u16string composed =
      u"\u0105\u0104\u010D\u010C\u0119\u0118\u0117\u0116\u012F\u012E\u0161\u0160\u0173\u0172"
      u"\u016B\u016A\u017E\u017D\u20AC\u201E\u201C";
  ASSERT_EQ(composed.size(), 21u);
  for (char16_t ch : composed) {
    EXPECT_EQ(platform::test::builtLayout("progkeys").vkKeyScan(ch), -1)
        << "U+" << std::hex << static_cast<unsigned>(ch);
  }
}

}  // namespace
