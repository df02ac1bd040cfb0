// The keyboard services of the stand-in on stdkeys.dll: scan code to virtual
// key, modifier bits and modification numbers, the lookup that answers "no
// column", VkKeyScan, MapVirtualKey and GetKeyNameText; and the same answers
// from the file loaded at another base.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "layouts/common/kbd.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using namespace kbd;
using test::show;
using test::stdkeys;

TEST(StdkeysServices, ScanCodeToVirtualKey) {
  struct Case {
    ScanCode scan;
    std::uint8_t bits;
    std::optional<std::uint8_t> vk;
  };
  constexpr Prefix E0 = Prefix::E0;
  constexpr Prefix E1 = Prefix::E1;
  const Case cases[] = {
      {{0x10}, 0, VK_OEM_5},         {{0x2B}, 0, 'Q'},
      {{0x7E}, 0, VK_ABNT_C2},       {{0x7F}, 0, std::nullopt},  // the map ends at T7E
      {{0x00}, 0, std::nullopt},     {{0x55}, 0, std::nullopt},
      {{0x2A, E0}, 0, std::nullopt}, {{0x1D, E0}, 0, VK_RCONTROL},
      {{0x38, E0}, 0, VK_RMENU},     {{0x1D, E1}, 0, VK_PAUSE},
      {{0x45, E1}, 0, std::nullopt}, {{0x45}, 0, VK_NUMLOCK},
      {{0x45}, KBDCTRL, VK_PAUSE},   {{0x37}, 0, VK_MULTIPLY},
      {{0x37}, KBDALT, VK_SNAPSHOT}, {{0x46}, KBDCTRL, VK_SCROLL},  // flagged, but kept
      {{0x36}, 0, VK_RSHIFT},        {{0x47}, 0, VK_HOME},          // Num Lock off
      {{0x59}, 0, VK_CLEAR},         {{0x7C}, 0, VK_TAB},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stdkeys().virtualKey(c.scan, c.bits, false), c.vk)
        << "scan " << std::hex << int{c.scan.code} << " prefix " << int(c.scan.prefix) << " bits "
        << int{c.bits};
  }
}

TEST(StdkeysServices, ModifierBitsAndModificationNumbers) {
  using Keys = std::vector<std::uint8_t>;
  EXPECT_EQ(stdkeys().modifierBits(Keys{VK_LSHIFT}), KBDSHIFT);
  EXPECT_EQ(stdkeys().modifierBits(Keys{VK_RSHIFT, VK_RCONTROL}), KBDSHIFT | KBDCTRL);
  EXPECT_EQ(stdkeys().modifierBits(Keys{VK_LMENU}), KBDALT);
  EXPECT_EQ(stdkeys().modifierBits(Keys{VK_RMENU}), KBDCTRL | KBDALT);  // KLLF_ALTGR
  EXPECT_EQ(stdkeys().modifierBits(Keys{'A', VK_CAPITAL}), 0);

  const std::optional<std::uint8_t> expected[] = {0, 1,           3, 4, std::nullopt, std::nullopt,
                                                  2, std::nullopt};
  for (std::uint8_t bits = 0; bits < 8; ++bits) {
    EXPECT_EQ(stdkeys().modificationNumber(bits), expected[bits]) << "bits " << int{bits};
  }
}

TEST(StdkeysServices, LookupByModifierBits) {
  using K = Cell::Kind;
  struct Case {
    std::uint8_t vk;
    std::uint8_t bits;
    bool caps;
    Cell cell;
  };
  const Case cases[] = {
      {'E', 0, false, {K::Character, u'e'}},
      {'E', KBDCTRL | KBDALT, false, {K::Character, u'\u20AC'}},
      {'E', KBDALT, false, {K::NoColumn}},                       // SHFT_INVALID
      {'E', KBDSHIFT | KBDALT, false, {K::NoColumn}},            // SHFT_INVALID
      {'E', KBDSHIFT | KBDCTRL | KBDALT, false, {K::NoColumn}},  // above wMaxModBits
      {'E', KBDSHIFT | KBDCTRL, false, {K::NoColumn}},           // no fifth cell
      {'E', KBDCTRL, false, {K::NoColumn}},                      // a 3-cell row
      {VK_OEM_5, KBDCTRL | KBDALT, false, {K::NoColumn}},        // a 2-cell row
      {VK_OEM_5, KBDALT, true, {K::NoColumn}},                   // Caps Lock does not help
      {VK_BACK, KBDCTRL | KBDALT, false, {K::None}},             // WCH_NONE
      {VK_HOME, 0, false, {K::NoRow}},
      {VK_NUMPAD5, KBDSHIFT, false, {K::NoColumn}},  // a 1-cell row
      {VK_DECIMAL, KBDSHIFT, false, {K::Character, u'\b'}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stdkeys().lookup(c.vk, c.bits, c.caps), c.cell)
        << "vk " << std::hex << int{c.vk} << " bits " << int{c.bits};
  }
}

TEST(StdkeysServices, VkKeyScanFindsTheFirstRow) {
  struct Case {
    char16_t ch;
    std::int16_t result;
  };
  const Case cases[] = {
      {u'1', 0x0131},    {u'0', 0x0130},      {u'5', 0x0135},       // number row, not keypad
      {u'<', 0x065A},    {u'>', 0x06BB},      {u'\u2013', 0x0643},  // not VK_OEM_102
      {u'*', 0x0638},    {u'+', 0x01BD},      {u'/', 0x0033},      {u'-', 0x0032},
      {u',', 0x0036},    {u'\b', 0x0008},  // not VK_DECIMAL
      {u'\x1B', 0x0239}, {u'\0', 0x0231},     {u'\n', 0x020D},     {u'\r', 0x000D},
      {u'\t', 0x0009},   {u' ', 0x0020},      {u'\u00A0', 0x0620}, {u'a', 0x0041},
      {u'A', 0x0141},    {u'\u0105', 0x00DC}, {u'|', 0x0651},      {u'\u00B4', 0x06C0},
      {u'\u00E9', -1},   {u'\u00DF', -1},     {WCH_NONE, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stdkeys().vkKeyScan(c.ch), c.result) << show(std::u16string(1, c.ch));
  }
}

TEST(StdkeysServices, MapVirtualKey) {
  struct Case {
    std::uint32_t code;
    std::uint32_t type;
    std::uint32_t result;
  };
  const Case cases[] = {
      {VK_SHIFT, MAPVK_VK_TO_VSC, 0x2A},
      {VK_CONTROL, MAPVK_VK_TO_VSC, 0x1D},
      {VK_MENU, MAPVK_VK_TO_VSC, 0x38},
      {VK_RSHIFT, MAPVK_VK_TO_VSC, 0x36},
      {VK_RCONTROL, MAPVK_VK_TO_VSC, 0x1D},
      {VK_RMENU, MAPVK_VK_TO_VSC, 0x38},
      {'Q', MAPVK_VK_TO_VSC, 0x2B},
      {VK_OEM_5, MAPVK_VK_TO_VSC, 0x10},
      {'X', MAPVK_VK_TO_VSC, 0x0D},
      {VK_PAUSE, MAPVK_VK_TO_VSC, 0x1D},
      {VK_DIVIDE, MAPVK_VK_TO_VSC, 0x35},
      {VK_TAB, MAPVK_VK_TO_VSC, 0x0F},
      {VK_NUMPAD0, MAPVK_VK_TO_VSC, 0},
      {0x100 | 'Q', MAPVK_VK_TO_VSC, 0},

      {0x2A, MAPVK_VSC_TO_VK, VK_SHIFT},
      {0x36, MAPVK_VSC_TO_VK, VK_SHIFT},
      {0x1D, MAPVK_VSC_TO_VK, VK_CONTROL},
      {0x38, MAPVK_VSC_TO_VK, VK_MENU},
      {0x10, MAPVK_VSC_TO_VK, VK_OEM_5},
      {0x47, MAPVK_VSC_TO_VK, VK_HOME},
      {0x7F, MAPVK_VSC_TO_VK, 0},
      {0x55, MAPVK_VSC_TO_VK, 0},

      {'A', MAPVK_VK_TO_CHAR, 'A'},
      {'Q', MAPVK_VK_TO_CHAR, 'Q'},
      {VK_OEM_5, MAPVK_VK_TO_CHAR, 0x105},
      {'1', MAPVK_VK_TO_CHAR, '!'},
      {VK_DECIMAL, MAPVK_VK_TO_CHAR, ','},
      {VK_NUMPAD7, MAPVK_VK_TO_CHAR, '7'},
      {VK_BACK, MAPVK_VK_TO_CHAR, 8},
      {VK_HOME, MAPVK_VK_TO_CHAR, 0},
      {VK_SHIFT, MAPVK_VK_TO_CHAR, 0},

      {0x2A, MAPVK_VSC_TO_VK_EX, VK_LSHIFT},
      {0x36, MAPVK_VSC_TO_VK_EX, VK_RSHIFT},
      {0x1D, MAPVK_VSC_TO_VK_EX, VK_LCONTROL},
      {0x38, MAPVK_VSC_TO_VK_EX, VK_LMENU},
      {0x00, MAPVK_VSC_TO_VK_EX, 0},

      {0x10, 4, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stdkeys().mapVirtualKey(c.code, c.type), c.result)
        << "code " << std::hex << c.code << " type " << c.type;
  }
}

TEST(StdkeysServices, KeyNameText) {
  constexpr std::uint32_t kExtended = 1u << 24;
  constexpr std::uint32_t kEitherSide = 1u << 25;
  struct Case {
    std::uint8_t scan;
    std::uint32_t flags;
    std::u16string name;
  };
  const Case cases[] = {
      {0x45, 0, u"Pause"},
      {0x45, kExtended, u"Num Lock"},
      {0x46, 0, u"Scroll Lock"},
      {0x46, kExtended, u"Break"},
      {0x7C, 0, u"F13"},
      {0x64, 0, u""},  // VK_F13's key has no name
      {0x7F, 0, u"F16"},
      {0x87, 0, u"F24"},
      {0x54, kExtended, u"<00>"},
      {0x56, kExtended, u"Help"},
      {0x1D, 0, u"Ctrl"},
      {0x2A, 0, u"Shift"},
      {0x38, 0, u"Alt"},
      {0x36, 0, u"Right Shift"},
      {0x1D, kExtended, u"Right Control"},
      {0x38, kExtended, u"Right Alt"},
      {0x36, kEitherSide, u"Shift"},
      {0x1D, kExtended | kEitherSide, u"Ctrl"},
      {0x38, kExtended | kEitherSide, u"Alt"},
      {0x2A, kEitherSide, u"Shift"},
      {0x47, 0, u"Num 7"},
      {0x47, kExtended, u"Home"},
      // Keys without an entry are named after their Base character.
      {0x10, 0, u"\u0105"},
      {0x10, kEitherSide, u"\u0105"},
      {0x2B, 0, u"q"},
      {0x02, 0, u"!"},
      {0x56, 0, u"<"},
      {0x29, 0, u"`"},
      {0x0D, 0, u"x"},
      {0x39, 0, u"Space"},
      {0x2B, kExtended, u""},
      {0x00, 0, u""},
  };
  for (const Case& c : cases) {
    const std::u16string name = stdkeys().keyNameText(std::uint32_t{c.scan} << 16 | c.flags);
    EXPECT_EQ(name, c.name) << "scan " << std::hex << int{c.scan} << " flags " << c.flags
                            << ": got " << show(name);
  }
}

// Everything the services answer, in one comparable list.
std::vector<std::int64_t> allAnswers(const KeyboardLayout& layout) {
  std::vector<std::int64_t> out;
  for (Prefix prefix : {Prefix::None, Prefix::E0, Prefix::E1}) {
    for (int code = 0; code < 0x100; ++code) {
      for (std::uint8_t bits = 0; bits < 8; ++bits) {
        for (bool toggle : {false, true}) {
          const auto vk =
              layout.virtualKey({static_cast<std::uint8_t>(code), prefix}, bits, toggle);
          out.push_back(vk.value_or(0));
          if (!vk) continue;
          std::optional<char16_t> pending;
          const Delivery d = layout.toUnicode(*vk, bits, toggle, pending);
          out.push_back(d.count);
          out.insert(out.end(), d.chars.begin(), d.chars.end());
        }
      }
    }
  }
  for (std::uint32_t code = 0; code < 0x100; ++code) {
    for (std::uint32_t type = 0; type < 4; ++type) out.push_back(layout.mapVirtualKey(code, type));
    for (std::uint32_t flags : {0u, 1u << 24, 3u << 24}) {
      const std::u16string name = layout.keyNameText(code << 16 | flags);
      out.insert(out.end(), name.begin(), name.end());
      out.push_back(-1);
    }
  }
  for (std::uint32_t ch = 0; ch < 0x10000; ++ch) out.push_back(layout.vkKeyScan(char16_t(ch)));
  return out;
}

TEST(StdkeysServices, SameAnswersAtAnotherBase) {
  constexpr std::uint32_t kOtherBase = 0x10000000;
  const LoadedImage moved = LoadedImage::load(test::stdkeysFile(), kOtherBase);
  const KeyboardLayout layout = KeyboardLayout::load(moved);
  const KbdTables& here = stdkeys().tables();
  const KbdTables& there = layout.tables();
  const std::uint32_t delta = kOtherBase - test::stdkeysImage().base();
  EXPECT_EQ(there.address, here.address + delta);
  for (auto field : {&KbdTables::pCharModifiers, &KbdTables::pVkToWcharTable, &KbdTables::pKeyNames,
                     &KbdTables::pKeyNamesExt, &KbdTables::pusVSCtoVK, &KbdTables::pVSCtoVK_E0,
                     &KbdTables::pVSCtoVK_E1}) {
    EXPECT_EQ(there.*field, here.*field + delta);
    EXPECT_TRUE(moved.contains(there.*field, 1));
  }
  EXPECT_EQ(allAnswers(layout), allAnswers(stdkeys()));
}

}  // namespace
}  // namespace platform
