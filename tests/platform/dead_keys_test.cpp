// The dead-key rules of ToUnicode, on a small handmade set of records: the
// layouts built so far have no dead keys.
#include <gtest/gtest.h>

#include "layouts/common/kbd.h"
#include "platform/typing_session.h"

namespace platform {
namespace {

using namespace kbd;
using namespace keys;

constexpr char16_t kDiaeresis = u'\u00A8';

// A grave/tilde dead key at scan 0x29, the letters a and e, and Space.
KeyboardLayout deadKeyLayout() {
  KbdTables t{};
  t.charModifiers = {
      0, {{VK_SHIFT, KBDSHIFT}, {VK_CONTROL, KBDCTRL}, {VK_MENU, KBDALT}}, 3, {0, 1, 2, 3}};
  // clang-format off
  t.vkToWcharTable = {{0, 2, 6, {
      {0, VK_OEM_3,      0,      {WCH_DEAD, WCH_DEAD}},
      {0, kNoVirtualKey, 0,      {u'`', u'~'}},
      {0, 'A',           CAPLOK, {u'a', u'A'}},
      {0, 'E',           CAPLOK, {u'e', u'E'}},
      {0, VK_SPACE,      0,      {u' ', u' '}},
  }}};
  // clang-format on
  auto pair = [](char16_t dead, char16_t base) { return std::uint32_t{dead} << 16 | base; };
  t.deadKeys = {
      {pair(u'`', u'a'), u'\u00E0', 0},
      {pair(u'`', u' '), u'`', 0},
      {pair(u'`', u'~'), kDiaeresis, DKF_DEAD},  // composes into another dead character
      {pair(kDiaeresis, u'a'), u'\u00E4', 0},
  };
  t.keyNamesDead = {{0, u"`GRAVE"}};
  t.bMaxVSCtoVK = 0x40;
  t.vscToVk.assign(0x40, kNoVirtualKey);
  t.vscToVk[0x29] = VK_OEM_3;
  t.vscToVk[0x1E] = 'A';
  t.vscToVk[0x12] = 'E';
  t.vscToVk[0x39] = VK_SPACE;
  t.vscToVk[0x2A] = VK_LSHIFT;
  t.vscToVk[0x1D] = VK_LCONTROL;
  return KeyboardLayout(t);
}

constexpr ScanCode kGrave{0x29}, kA{0x1E}, kE{0x12}, kSpace{0x39};

TEST(DeadKeys, DeadKeyThenCharacter) {
  const KeyboardLayout layout = deadKeyLayout();
  TypingSession s(layout);
  EXPECT_EQ(s.tap(kGrave), (Delivery{-1, u"`"}));
  EXPECT_EQ(s.pendingDeadChar(), u'`');
  EXPECT_EQ(s.tap(kA), (Delivery{1, u"\u00E0"}));
  EXPECT_FALSE(s.pendingDeadChar());

  // A pair without an entry delivers both characters.
  s.tap(kGrave);
  EXPECT_EQ(s.tap(kE), (Delivery{2, u"`e"}));
  EXPECT_FALSE(s.pendingDeadChar());
  // Space composes only through its entry.
  s.tap(kGrave);
  EXPECT_EQ(s.tap(kSpace), (Delivery{1, u"`"}));
  EXPECT_EQ(s.text(), u"\u00E0`e`");
}

TEST(DeadKeys, KeysWithoutCharacterLeaveTheDeadKeyPending) {
  const KeyboardLayout layout = deadKeyLayout();
  TypingSession s(layout);
  s.tap(kGrave);
  s.press(kLeftShift);
  EXPECT_EQ(s.pendingDeadChar(), u'`');
  s.release(kLeftShift);
  EXPECT_EQ(s.chord({kLeftCtrl}, kA), Delivery{});  // no column for Ctrl in a 2-cell row
  EXPECT_EQ(s.tap({0x3B}), Delivery{});             // no key at all
  EXPECT_EQ(s.pendingDeadChar(), u'`');
  EXPECT_EQ(s.tap(kA), (Delivery{1, u"\u00E0"}));
}

TEST(DeadKeys, TwoDeadKeys) {
  const KeyboardLayout layout = deadKeyLayout();
  TypingSession s(layout);
  // With an entry whose flags make the result dead again.
  s.tap(kGrave);
  EXPECT_EQ(s.chord({kLeftShift}, kGrave), (Delivery{-1, std::u16string(1, kDiaeresis)}));
  EXPECT_EQ(s.pendingDeadChar(), kDiaeresis);
  EXPECT_EQ(s.tap(kA), (Delivery{1, u"\u00E4"}));
  // Without an entry: both dead characters, nothing pending.
  s.chord({kLeftShift}, kGrave);
  EXPECT_EQ(s.chord({kLeftShift}, kGrave), (Delivery{2, u"~~"}));
  EXPECT_FALSE(s.pendingDeadChar());
}

TEST(DeadKeys, OtherServicesOnADeadKey) {
  const KeyboardLayout layout = deadKeyLayout();
  EXPECT_EQ(layout.lookup(VK_OEM_3, 0, false), (Cell{Cell::Kind::Dead, u'`'}));
  EXPECT_EQ(layout.vkKeyScan(u'`'), -1);  // only the dead-character row holds it
  EXPECT_EQ(layout.vkKeyScan(u'a'), 'A');
  EXPECT_EQ(layout.mapVirtualKey(VK_OEM_3, MAPVK_VK_TO_CHAR), 0x80000000u | u'`');
  EXPECT_EQ(layout.keyNameText(0x29u << 16), u"GRAVE");
}

TEST(DeadKeys, ADeadKeyWithoutItsDeadCharacterRowIsRefused) {
  KbdTables t = deadKeyLayout().tables();
  t.vkToWcharTable[0].rows.erase(t.vkToWcharTable[0].rows.begin() + 1);
  EXPECT_THROW(KeyboardLayout{t}, std::invalid_argument);
}

}  // namespace
}  // namespace platform
