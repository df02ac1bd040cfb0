// Everything phonkeys.dll types, collected by pressing every key the
// keyboard can send in every modifier state: the Cyrillic alphabet once in
// each case, 29 printable ASCII characters, the number sign № and control
// characters, and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/typing_session.h"
#include "tests/common/built_files.h"

namespace {

using platform::Prefix;
using platform::ScanCode;
using platform::TypingSession;
namespace keys = platform::keys;

// Every scan code without prefix and after E0, and the one after E1.
std::vector<ScanCode> everyScanCode() {
  std::vector<ScanCode> all;
  for (int code = 0; code < 0x80; ++code) {
    all.push_back({static_cast<std::uint8_t>(code)});
    all.push_back({static_cast<std::uint8_t>(code), Prefix::E0});
  }
  all.push_back({0x1D, Prefix::E1});
  return all;
}

// The characters each key gives with the given modifiers held.
std::multimap<char16_t, ScanCode> typedWith(const std::vector<ScanCode>& modifiers,
                                            bool capsLock = false, bool numLock = false) {
  std::multimap<char16_t, ScanCode> typed;
  for (ScanCode key : everyScanCode()) {
    TypingSession session(platform::test::builtLayout("phonkeys"));
    session.setCapsLock(capsLock);
    session.setNumLock(numLock);
    for (char16_t ch : session.chord(modifiers, key).chars) typed.emplace(ch, key);
  }
  return typed;
}

std::multiset<char16_t> cyrillicOf(const std::multimap<char16_t, ScanCode>& typed) {
  std::multiset<char16_t> letters;
  for (const auto& [ch, key] : typed) {
    if (ch >= 0x0400 && ch <= 0x04FF) letters.insert(ch);
  }
  return letters;
}

TEST(PhonkeysCharacters, BaseGivesEachSmallLetterOnceAndShiftItsCapital) {
  std::multiset<char16_t> small{u'\u0451'}, capital{u'\u0401'};  // ё Ё
  for (char16_t ch = u'\u0430'; ch <= u'\u044F'; ++ch) {
    small.insert(ch);
    capital.insert(static_cast<char16_t>(ch - 0x20));
  }
  const auto base = typedWith({});
  const auto shifted = typedWith({keys::kLeftShift});
  EXPECT_EQ(cyrillicOf(base), small);
  EXPECT_EQ(cyrillicOf(shifted), capital);

  // Key by key: Shift, and Caps Lock, give the capital of the small letter.
  const auto capsLocked = typedWith({}, true);
  for (const auto& [ch, key] : base) {
    if (!small.contains(ch)) continue;
    const char16_t expected = ch == u'\u0451' ? u'\u0401' : static_cast<char16_t>(ch - 0x20);
    for (const auto* typed : {&shifted, &capsLocked}) {
      const auto found = std::find_if(typed->begin(), typed->end(),
                                      [&](const auto& entry) { return entry.second == key; });
      ASSERT_NE(found, typed->end()) << "scan code " << std::hex << +key.code;
      EXPECT_EQ(found->first, expected) << "scan code " << std::hex << +key.code;
    }
  }
}

// Of the 95 printable ASCII characters the layout types these 29, in any
// state of Shift, Ctrl, Alt, Caps Lock and Num Lock; beyond ASCII only the
// Cyrillic letters and №.
TEST(PhonkeysCharacters, ExactlyTheseCharactersAreTyped) {
  const std::u16string printable = u" !\"%()*+,-./0123456789:;=?\\_|";
  ASSERT_EQ(printable.size(), 29u);
  const ScanCode shift = keys::kLeftShift, ctrl = keys::kLeftCtrl, alt = keys::kLeftAlt;
  const std::vector<std::vector<ScanCode>> modifierStates = {
      {}, {shift}, {ctrl}, {shift, ctrl}, {alt}, {shift, alt}, {ctrl, alt}, {keys::kRightAlt},
  };
  std::set<char16_t> ascii, other;
  for (const auto& modifiers : modifierStates) {
    for (bool capsLock : {false, true}) {
      for (bool numLock : {false, true}) {
        for (const auto& [ch, key] : typedWith(modifiers, capsLock, numLock)) {
          if (ch >= 0x20 && ch < 0x7F) {
            ascii.insert(ch);
          } else if (ch >= 0x80) {
            other.insert(ch);
          }
        }
      }
    }
  }
  EXPECT_EQ(ascii, std::set<char16_t>(printable.begin(), printable.end()));

  std::set<char16_t> beyondAscii{u'\u2116', u'\u0401', u'\u0451'};  // № Ё ё
  for (char16_t ch = u'\u0410'; ch <= u'\u044F'; ++ch) beyondAscii.insert(ch);
  EXPECT_EQ(other, beyondAscii);
}

}  // namespace
