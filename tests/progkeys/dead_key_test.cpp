// Typing through the dead key left of 1 (scan code 0x29) under progkeys.dll,
// key press by key press: Shift on the dead key picks the grave or the tilde
// dead key, and the second key's own state picks the case of the result.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/typing_session.h"
#include "tests/common/built_files.h"

namespace {

using platform::Delivery;
using platform::ScanCode;
using platform::TypingSession;
namespace keys = platform::keys;

constexpr ScanCode kDeadKey{0x29};
constexpr ScanCode kSpace{0x39};
constexpr ScanCode kA{0x1E};
constexpr ScanCode kW{0x11};

enum class Dead { Grave, Tilde };

// How a key is pressed: Shift held or not; Caps Lock is set on the session.
Delivery press(TypingSession& session, ScanCode key, bool shift) {
  return shift ? session.chord({keys::kLeftShift}, key) : session.tap(key);
}

Delivery pressDeadKey(TypingSession& session, Dead dead) {
  return press(session, kDeadKey, dead == Dead::Tilde);
}

char16_t deadCharacter(Dead dead) {
  return dead == Dead::Grave ? u'`' : u'~';
}

void expectDelivered(const Delivery& delivery, int count, const std::u16string& chars) {
  EXPECT_EQ(delivery.count, count);
  EXPECT_EQ(delivery.chars, chars);
}

struct Composition {
  const char* key;
  ScanCode scan;
  // After either dead key: without Shift, with Shift, with Caps Lock, with Caps Lock and Shift.
  char16_t plain, shift, capsLock, capsLockShift;
};

// clang-format off
constexpr Composition kCompositions[] = {
    {"A",          {0x1E}, u'\u0105', u'\u0104', u'\u0104', u'\u0105'},  // ą Ą
    {"C",          {0x2E}, u'\u010D', u'\u010C', u'\u010C', u'\u010D'},  // č Č
    {"E",          {0x12}, u'\u0119', u'\u0118', u'\u0118', u'\u0119'},  // ę Ę
    {"W",          {0x11}, u'\u0117', u'\u0116', u'\u0116', u'\u0117'},  // ė Ė
    {"I",          {0x17}, u'\u012F', u'\u012E', u'\u012E', u'\u012F'},  // į Į
    {"S",          {0x1F}, u'\u0161', u'\u0160', u'\u0160', u'\u0161'},  // š Š
    {"U",          {0x16}, u'\u0173', u'\u0172', u'\u0172', u'\u0173'},  // ų Ų
    {"Q",          {0x10}, u'\u016B', u'\u016A', u'\u016A', u'\u016B'},  // ū Ū
    {"Z",          {0x2C}, u'\u017E', u'\u017D', u'\u017D', u'\u017E'},  // ž Ž
    // 4 and $ both give the euro sign; Caps Lock leaves the number row alone.
    {"4",          {0x05}, u'\u20AC', u'\u20AC', u'\u20AC', u'\u20AC'},
    // „ and “; the apostrophe key has no CAPLOK either.
    {"apostrophe", {0x28}, u'\u201E', u'\u201C', u'\u201E', u'\u201C'},
};
// clang-format on

TEST(ProgkeysDeadKey, EveryCompositionThroughRealKeyPresses) {
  for (const Composition& c : kCompositions) {
    for (Dead dead : {Dead::Grave, Dead::Tilde}) {
      for (bool capsLock : {false, true}) {
        for (bool shift : {false, true}) {
          SCOPED_TRACE(std::string(dead == Dead::Grave ? "grave" : "tilde") + " dead key, then " +
                       c.key + (shift ? " with Shift" : "") + (capsLock ? " under Caps Lock" : ""));
          TypingSession session(platform::test::builtLayout("progkeys"));
          session.setCapsLock(capsLock);
          expectDelivered(pressDeadKey(session, dead), -1, {deadCharacter(dead)});
          const char16_t composed =
              capsLock ? (shift ? c.capsLockShift : c.capsLock) : (shift ? c.shift : c.plain);
          expectDelivered(press(session, c.scan, shift), 1, {composed});
          EXPECT_EQ(session.text(), std::u16string{composed});
          EXPECT_EQ(session.pendingDeadChar(), std::nullopt);
        }
      }
    }
  }
}

// Caps Lock never turns one dead key into the other: only Shift on the dead
// key decides, and the space bar then gives that dead key's own character.
TEST(ProgkeysDeadKey, SpaceGivesTheDeadCharacterWhateverCapsLock) {
  for (Dead dead : {Dead::Grave, Dead::Tilde}) {
    for (bool capsLock : {false, true}) {
      for (bool shiftOnSpace : {false, true}) {
        SCOPED_TRACE(std::string(dead == Dead::Grave ? "grave" : "tilde") +
                     (capsLock ? " under Caps Lock" : "") + (shiftOnSpace ? ", Shift+Space" : ""));
        TypingSession session(platform::test::builtLayout("progkeys"));
        session.setCapsLock(capsLock);
        expectDelivered(pressDeadKey(session, dead), -1, {deadCharacter(dead)});
        EXPECT_EQ(session.pendingDeadChar(), deadCharacter(dead));
        expectDelivered(press(session, kSpace, shiftOnSpace), 1, {deadCharacter(dead)});
        EXPECT_EQ(session.text(), std::u16string{deadCharacter(dead)});
      }
    }
  }
}

// A pair the DEADKEY list does not hold composes nothing: both characters
// come out and no dead key stays pending.
TEST(ProgkeysDeadKey, PairWithoutEntryDeliversBoth) {
  struct Case {
    const char* what;
    Dead dead;
    ScanCode scan;
    bool shift;
    std::u16string delivered;
  };
  const Case cases[] = {
      {"grave, B", Dead::Grave, {0x30}, false, u"`b"},
      {"tilde, Shift+B", Dead::Tilde, {0x30}, true, u"~B"},
      {"grave, 1", Dead::Grave, {0x02}, false, u"`1"},
      {"tilde, Shift+1", Dead::Tilde, {0x02}, true, u"~!"},
      {"grave, O", Dead::Grave, {0x18}, false, u"`o"},
      {"grave, grave", Dead::Grave, kDeadKey, false, u"``"},
      {"tilde, grave", Dead::Tilde, kDeadKey, false, u"~`"},
      {"grave, tilde", Dead::Grave, kDeadKey, true, u"`~"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TypingSession session(platform::test::builtLayout("progkeys"));
    pressDeadKey(session, c.dead);
    expectDelivered(press(session, c.scan, c.shift), 2, c.delivered);
    EXPECT_EQ(session.pendingDeadChar(), std::nullopt);
    EXPECT_EQ(session.text(), c.delivered);
  }
}

// The dead key's row has no Ctrl cell: with Ctrl (and with Shift+Ctrl) the
// key gives nothing and is no dead key, so the next letter stands alone.
TEST(ProgkeysDeadKey, CtrlWithTheDeadKeyGivesNothingAndLeavesNothingPending) {
  for (bool shift : {false, true}) {
    SCOPED_TRACE(shift ? "Shift+Ctrl" : "Ctrl");
    TypingSession session(platform::test::builtLayout("progkeys"));
    const Delivery delivery = shift ? session.chord({keys::kLeftCtrl, keys::kLeftShift}, kDeadKey)
                                    : session.chord({keys::kLeftCtrl}, kDeadKey);
    expectDelivered(delivery, 0, u"");
    EXPECT_EQ(session.pendingDeadChar(), std::nullopt);
    expectDelivered(session.tap(kA), 1, u"a");
    EXPECT_EQ(session.text(), u"a");
  }
}

// Shift held on the dead key and kept down or let go before the letter.
TEST(ProgkeysDeadKey, TheSecondKeyDecidesTheCaseNotTheDeadKey) {
  TypingSession held(platform::test::builtLayout("progkeys"));
  held.press(keys::kLeftShift);
  held.tap(kDeadKey);
  held.tap(kW);
  held.release(keys::kLeftShift);
  EXPECT_EQ(held.text(), u"\u0116");  // Ė

  TypingSession released(platform::test::builtLayout("progkeys"));
  released.press(keys::kLeftShift);
  released.tap(kDeadKey);
  released.release(keys::kLeftShift);
  released.tap(kW);
  EXPECT_EQ(released.text(), u"\u0117");  // ė
}

}  // namespace
