// Typing on stdkeys.dll: keys pressed as scan codes with modifiers held, and
// what the stand-in's ToUnicode delivers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "layouts/common/kbd.h"
#include "platform/typing_session.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using namespace keys;
using Mods = std::vector<ScanCode>;
using test::show;
using test::stdkeys;

const Mods kNone{};
const Mods kShift{kLeftShift};
const Mods kAltGr{kRightAlt};
const Mods kCtrl{kLeftCtrl};
const Mods kAlt{kLeftAlt};
const Mods kShiftAlt{kLeftShift, kLeftAlt};
const Mods kShiftCtrl{kLeftShift, kLeftCtrl};
const Mods kShiftAltGr{kLeftShift, kRightAlt};

constexpr ScanCode E0(std::uint8_t code) {
  return {code, Prefix::E0};
}

struct TypingCase {
  const char* what;
  Mods held;
  ScanCode key;
  bool capsLock;
  std::u16string expected;
};

// clang-format off
const TypingCase kCases[] = {
    // The US Q key is VK_OEM_5: ą, with a two-column row.
    {"Q key",                    kNone,       {0x10}, false, u"\u0105"},
    {"Q key, Shift",             kShift,      {0x10}, false, u"\u0104"},
    {"Q key, Caps Lock",         kNone,       {0x10}, true,  u"\u0104"},
    {"Q key, Caps Lock, Shift",  kShift,      {0x10}, true,  u"\u0105"},
    {"Q key, AltGr",             kAltGr,      {0x10}, false, u""},
    {"Q key, Caps Lock, AltGr",  kAltGr,      {0x10}, true,  u""},
    // The backslash key carries Q.
    {"backslash key",            kNone,       {0x2B}, false, u"q"},
    {"backslash key, Shift",     kShift,      {0x2B}, false, u"Q"},
    {"backslash key, AltGr",     kAltGr,      {0x2B}, false, u"|"},
    // The other moved keys.
    {"W key",                    kNone,       {0x11}, false, u"\u017E"},
    {"] key",                    kNone,       {0x1B}, false, u"w"},
    {"F key",                    kNone,       {0x21}, false, u"\u0161"},
    {". key",                    kNone,       {0x34}, false, u"f"},
    {"X key",                    kNone,       {0x2D}, false, u"\u016B"},
    {"= key",                    kNone,       {0x0D}, false, u"x"},
    {"= key, AltGr",             kAltGr,      {0x0D}, false, u"%"},
    // CAPLOK never reaches the AltGr column.
    {"E, AltGr",                 kAltGr,      {0x12}, false, u"\u20AC"},
    {"E, Caps Lock, AltGr",      kAltGr,      {0x12}, true,  u"\u20AC"},
    {"E, Caps Lock",             kNone,       {0x12}, true,  u"E"},
    {"[ key, Caps Lock, AltGr",  kAltGr,      {0x1A}, true,  u"{"},
    {"[ key, Caps Lock",         kNone,       {0x1A}, true,  u"\u012E"},
    // Caps Lock leaves rows without CAPLOK alone.
    {"1, Caps Lock",             kNone,       {0x02}, true,  u"!"},
    {"1, Caps Lock, Shift",      kShift,      {0x02}, true,  u"1"},
    {"grave key, Caps Lock",     kNone,       {0x29}, true,  u"`"},
    {"- key, Caps Lock",         kNone,       {0x0C}, true,  u"?"},
    {"102nd key, Caps Lock",     kNone,       {0x56}, true,  u"<"},
    {"Space, Caps Lock, Shift",  kShift,      {0x39}, true,  u" "},
    // The Ctrl column of table 2, and nothing else with Ctrl.
    {"Ctrl+1",                   kCtrl,       {0x02}, false, std::u16string(1, u'\0')},
    {"Ctrl+2",                   kCtrl,       {0x03}, false, u"\x1F"},
    {"Ctrl+6",                   kCtrl,       {0x07}, false, u"\x1E"},
    {"Ctrl+9",                   kCtrl,       {0x0A}, false, u"\x1B"},
    {"Ctrl+0",                   kCtrl,       {0x0B}, false, u"\x1D"},
    {"Ctrl+VK_OEM_2",            kCtrl,       {0x35}, false, u"\x1C"},
    {"Ctrl+VK_OEM_2, Caps Lock", kCtrl,       {0x35}, true,  u"\x1C"},
    {"Ctrl+Backspace",           kCtrl,       {0x0E}, false, u"\x7F"},
    {"Ctrl+Break",               kCtrl,       E0(0x46), false, u"\x03"},
    {"Ctrl+Esc",                 kCtrl,       {0x01}, false, u"\x1B"},
    {"Ctrl+Enter",               kCtrl,       {0x1C}, false, u"\n"},
    {"Enter",                    kNone,       {0x1C}, false, u"\r"},
    {"Ctrl+Space",               kCtrl,       {0x39}, false, u" "},
    {"right Ctrl+1",             {kRightCtrl}, {0x02}, false, std::u16string(1, u'\0')},
    {"Ctrl+A",                   kCtrl,       {0x1E}, false, u""},
    {"Ctrl+3",                   kCtrl,       {0x04}, false, u""},
    // AltGr on the control keys and Space.
    {"AltGr+Backspace",          kAltGr,      {0x0E}, false, u""},
    {"AltGr+Break",              kAltGr,      E0(0x46), false, u""},
    {"AltGr+Esc",                kAltGr,      {0x01}, false, u""},
    {"AltGr+Enter",              kAltGr,      {0x1C}, false, u""},
    {"AltGr+Space",              kAltGr,      {0x39}, false, u"\u00A0"},
    {"left Ctrl+left Alt+Space", {kLeftCtrl, kLeftAlt}, {0x39}, false, u"\u00A0"},
    {"AltGr+grave key",          kAltGr,      {0x29}, false, u"\u00B4"},
    // The 102nd key.
    {"102nd key",                kNone,       {0x56}, false, u"<"},
    {"102nd key, Shift",         kShift,      {0x56}, false, u">"},
    {"102nd key, AltGr",         kAltGr,      {0x56}, false, u"\u2013"},
    // No column, whatever the key.
    {"Shift+AltGr+E",            kShiftAltGr, {0x12}, false, u""},
    {"Shift+Ctrl+1",             kShiftCtrl,  {0x02}, false, u""},
    // Alt without Ctrl: the Alt bit is dropped and the plain character comes.
    {"Alt+A",                    kAlt,        {0x1E}, false, u"a"},
    {"Shift+Alt+A",              kShiftAlt,   {0x1E}, false, u"A"},
    {"Alt+1",                    kAlt,        {0x02}, false, u"!"},
    {"Alt+A, Caps Lock",         kAlt,        {0x1E}, true,  u"A"},
    // Keypad.
    {"Tab",                      kNone,       {0x0F}, false, u"\t"},
    {"Shift+Tab",                kShift,      {0x0F}, false, u"\t"},
    {"keypad *",                 kNone,       {0x37}, false, u"*"},
    {"keypad -",                 kNone,       {0x4A}, false, u"-"},
    {"keypad +",                 kNone,       {0x4E}, false, u"+"},
    {"keypad /",                 kNone,       E0(0x35), false, u"/"},
    {"keypad Enter",             kNone,       E0(0x1C), false, u"\r"},
};
// clang-format on

TEST(StdkeysTyping, KeysWithModifiers) {
  for (const TypingCase& c : kCases) {
    TypingSession session(stdkeys());
    session.setCapsLock(c.capsLock);
    const Delivery d = session.chord(c.held, c.key);
    EXPECT_EQ(d.chars, c.expected) << c.what << ": got " << show(d.chars);
    EXPECT_EQ(d.count, static_cast<int>(c.expected.size())) << c.what;
  }
}

TEST(StdkeysTyping, KeypadFollowsNumLock) {
  struct Case {
    ScanCode key;
    bool numLock;
    Mods held;
    std::u16string expected;
  };
  const Case cases[] = {
      {{0x47}, true, kNone, u"7"},  {{0x48}, true, kNone, u"8"},  {{0x49}, true, kNone, u"9"},
      {{0x4B}, true, kNone, u"4"},  {{0x4C}, true, kNone, u"5"},  {{0x4D}, true, kNone, u"6"},
      {{0x4F}, true, kNone, u"1"},  {{0x50}, true, kNone, u"2"},  {{0x51}, true, kNone, u"3"},
      {{0x52}, true, kNone, u"0"},  {{0x53}, true, kNone, u","},  {{0x47}, false, kNone, u""},
      {{0x53}, false, kNone, u""},  {{0x47}, true, kShift, u""},  {{0x53}, true, kShift, u""},
      {E0(0x47), true, kNone, u""}, {E0(0x52), true, kNone, u""}, {{0x47}, true, kAltGr, u""},
  };
  for (const Case& c : cases) {
    TypingSession session(stdkeys());
    session.setNumLock(c.numLock);
    EXPECT_EQ(session.chord(c.held, c.key).chars, c.expected)
        << "scan " << std::hex << int{c.key.code} << (c.key.prefix == Prefix::E0 ? " after E0" : "")
        << ", Num Lock " << c.numLock << ", " << c.held.size() << " modifiers held";
  }
}

TEST(StdkeysTyping, ToggleKeys) {
  TypingSession session(stdkeys());
  session.tap(kCapsLock);
  EXPECT_TRUE(session.capsLock());
  EXPECT_EQ(session.tap({0x10}).chars, u"\u0104");
  session.tap(kCapsLock);
  EXPECT_EQ(session.tap({0x10}).chars, u"\u0105");

  session.tap(kNumLock);
  EXPECT_TRUE(session.numLock());
  EXPECT_EQ(session.tap({0x52}).chars, u"0");
  // Ctrl+Num Lock is Pause and leaves Num Lock alone.
  session.chord(kCtrl, kNumLock);
  EXPECT_TRUE(session.numLock());
  // Holding Caps Lock down does not toggle it again.
  session.press(kCapsLock);
  session.press(kCapsLock);
  session.release(kCapsLock);
  EXPECT_TRUE(session.capsLock());
  EXPECT_EQ(session.text(), u"\u0104\u01050");
}

TEST(StdkeysTyping, AcuteAccentIsNotDead) {
  TypingSession session(stdkeys());
  const Delivery acute = session.chord(kAltGr, {0x29});
  EXPECT_EQ(acute.count, 1);
  EXPECT_FALSE(session.pendingDeadChar());
  EXPECT_EQ(session.tap({0x12}).chars, u"e");
  EXPECT_EQ(session.text(), u"\u00B4e");
}

// Every key of the keyboard (no prefix, and after E0) in the given modifier state.
std::vector<std::pair<ScanCode, Delivery>> typeEveryKey(const Mods& held, bool capsLock = false) {
  std::vector<std::pair<ScanCode, Delivery>> out;
  std::vector<ScanCode> keys;
  for (int s = 1; s < 0x80; ++s) keys.push_back({static_cast<std::uint8_t>(s)});
  for (const VscVk& e : stdkeys().tables().vscToVkE0) keys.push_back(E0(e.Vsc));
  for (ScanCode key : keys) {
    if (std::find(held.begin(), held.end(), key) != held.end()) continue;
    TypingSession session(stdkeys());
    session.setCapsLock(capsLock);
    out.push_back({key, session.chord(held, key)});
  }
  return out;
}

TEST(StdkeysTyping, ModifierStatesWithoutCharacters) {
  for (const Mods& held : {kShiftAltGr, kShiftCtrl, Mods{kLeftShift, kLeftCtrl, kLeftAlt}}) {
    for (const auto& [key, d] : typeEveryKey(held)) {
      EXPECT_EQ(d.count, 0) << "scan " << std::hex << int{key.code} << ": " << show(d.chars);
    }
  }
}

TEST(StdkeysTyping, CtrlTypesOnlyTheElevenCtrlRows) {
  std::set<std::uint8_t> typing;
  for (const auto& [key, d] : typeEveryKey(kCtrl)) {
    if (d.count > 0) typing.insert(*TypingSession(stdkeys()).virtualKey(key));
  }
  using namespace kbd;
  EXPECT_EQ(typing, (std::set<std::uint8_t>{'1', '2', '6', '9', '0', VK_OEM_2, VK_BACK, VK_CANCEL,
                                            VK_ESCAPE, VK_RETURN, VK_SPACE}));
}

TEST(StdkeysTyping, RightAltIsLeftCtrlWithLeftAlt) {
  const auto altGr = typeEveryKey(kAltGr);
  const auto ctrlAlt = typeEveryKey({kLeftCtrl, kLeftAlt});
  ASSERT_EQ(altGr.size(), ctrlAlt.size() + 1);  // the right Alt key itself is not held twice
  std::map<ScanCode, Delivery> byKey(ctrlAlt.begin(), ctrlAlt.end());
  for (const auto& [key, d] : altGr) {
    if (!byKey.contains(key)) continue;
    EXPECT_EQ(d, byKey[key]) << "scan " << std::hex << int{key.code};
  }
}

TEST(StdkeysTyping, EveryPrintableAsciiCharacterIsTyped) {
  for (char16_t c = 0x20; c <= 0x7E; ++c) {
    const std::int16_t scan = stdkeys().vkKeyScan(c);
    ASSERT_NE(scan, -1) << show(std::u16string(1, c)) << " has no key";
    const auto vk = static_cast<std::uint8_t>(scan & 0xFF);
    const int shiftState = scan >> 8;
    const auto code = static_cast<std::uint8_t>(stdkeys().mapVirtualKey(vk, MAPVK_VK_TO_VSC));
    ASSERT_NE(code, 0) << "virtual key " << int{vk};
    Mods held;
    if (shiftState & 1) held.push_back(kLeftShift);
    if (shiftState & 2) held.push_back(kLeftCtrl);
    if (shiftState & 4) held.push_back(kLeftAlt);
    TypingSession session(stdkeys());
    EXPECT_EQ(session.chord(held, {code}).chars, std::u16string(1, c))
        << "scan " << std::hex << int{code} << " shift state " << shiftState;
  }
}

TEST(StdkeysTyping, CharactersBeyondAscii) {
  std::set<char16_t> beyond;
  for (const Mods& held : {kNone, kShift, kAltGr, kCtrl}) {
    for (bool caps : {false, true}) {
      for (const auto& [key, d] : typeEveryKey(held, caps)) {
        for (char16_t c : d.chars) {
          if (c > 0x7F) beyond.insert(c);
        }
      }
    }
  }
  const std::u16string expected =
      u"\u0104\u0105\u010C\u010D\u0118\u0119\u0116\u0117\u012E\u012F\u0160\u0161\u0172\u0173"
      u"\u016A\u016B\u017D\u017E\u00A7\u00B4\u2013\u201E\u201C\u20AC\u00A0";
  EXPECT_EQ(beyond, std::set<char16_t>(expected.begin(), expected.end()));
}

}  // namespace
}  // namespace platform
