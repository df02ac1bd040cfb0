// The records of the built stdkeys.dll, read through the stand-in and checked
// field by field against the Lithuanian Standard layout as it is meant to be:
// a second reading, independent of the tables the image was written from.
#include <gtest/gtest.h>

#include <vector>

#include "layouts/common/kbd.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using namespace kbd;
using test::stdkeys;

// The standard scan-code map of a PC keyboard, T00 .. T7E.
// clang-format off
constexpr std::uint16_t kStandardMap[127] = {
  0x00FF, 0x001B, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036,  // T00
  0x0037, 0x0038, 0x0039, 0x0030, 0x00BD, 0x00BB, 0x0008, 0x0009,  // T08
  0x0051, 0x0057, 0x0045, 0x0052, 0x0054, 0x0059, 0x0055, 0x0049,  // T10
  0x004F, 0x0050, 0x00DB, 0x00DD, 0x000D, 0x00A2, 0x0041, 0x0053,  // T18
  0x0044, 0x0046, 0x0047, 0x0048, 0x004A, 0x004B, 0x004C, 0x00BA,  // T20
  0x00DE, 0x00C0, 0x00A0, 0x00DC, 0x005A, 0x0058, 0x0043, 0x0056,  // T28
  0x0042, 0x004E, 0x004D, 0x00BC, 0x00BE, 0x00BF, 0x01A1, 0x026A,  // T30
  0x00A4, 0x0020, 0x0014, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074,  // T38
  0x0075, 0x0076, 0x0077, 0x0078, 0x0079, 0x0390, 0x0291, 0x0C24,  // T40
  0x0C26, 0x0C21, 0x006D, 0x0C25, 0x0C0C, 0x0C27, 0x006B, 0x0C23,  // T48
  0x0C28, 0x0C22, 0x0C2D, 0x0C2E, 0x002C, 0x00FF, 0x00E2, 0x007A,  // T50
  0x007B, 0x000C, 0x00EE, 0x00F1, 0x00EA, 0x00F9, 0x00F5, 0x00F3,  // T58
  0x00FF, 0x00FF, 0x00FB, 0x002F, 0x007C, 0x007D, 0x007E, 0x007F,  // T60
  0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x00ED,  // T68
  0x00FF, 0x00E9, 0x00FF, 0x00C1, 0x00FF, 0x00FF, 0x0087, 0x00FF,  // T70
  0x00FF, 0x00FF, 0x00FF, 0x00EB, 0x0009, 0x00FF, 0x00C2,          // T78
};
// clang-format on

TEST(StdkeysTables, RootRecord) {
  const KbdTables& t = stdkeys().tables();
  EXPECT_TRUE(test::stdkeysImage().contains(t.address, KBDTABLES::size));
  EXPECT_EQ(t.pDeadKey, 0u);
  EXPECT_EQ(t.pKeyNamesDead, 0u);
  EXPECT_TRUE(t.deadKeys.empty());
  EXPECT_TRUE(t.keyNamesDead.empty());
  EXPECT_EQ(t.bMaxVSCtoVK, 127);
  EXPECT_EQ(t.fLocaleFlags, KLLF_ALTGR);  // version 0 in the high word
  EXPECT_TRUE(stdkeys().altGr());
}

TEST(StdkeysTables, AltGrModifierSet) {
  const Modifiers& m = stdkeys().tables().charModifiers;
  ASSERT_EQ(m.vkToBit.size(), 3u);
  EXPECT_EQ(m.vkToBit[0].Vk, VK_SHIFT);
  EXPECT_EQ(m.vkToBit[0].ModBits, KBDSHIFT);
  EXPECT_EQ(m.vkToBit[1].Vk, VK_CONTROL);
  EXPECT_EQ(m.vkToBit[1].ModBits, KBDCTRL);
  EXPECT_EQ(m.vkToBit[2].Vk, VK_MENU);
  EXPECT_EQ(m.vkToBit[2].ModBits, KBDALT);
  EXPECT_EQ(m.wMaxModBits, 6);
  EXPECT_EQ(m.ModNumber, (std::vector<std::uint8_t>{0, 1, 3, 4, SHFT_INVALID, SHFT_INVALID, 2}));
}

TEST(StdkeysTables, ScanCodeMapIsTheStandardMapWithFourKeysExchanged) {
  std::vector<std::uint16_t> expected(std::begin(kStandardMap), std::end(kStandardMap));
  for (auto [a, b] : {std::pair{0x10, 0x2B}, {0x11, 0x1B}, {0x21, 0x34}, {0x2D, 0x0D}}) {
    std::swap(expected[a], expected[b]);
  }
  const auto& map = stdkeys().tables().vscToVk;
  ASSERT_EQ(map.size(), expected.size());
  for (std::size_t s = 0; s < map.size(); ++s) {
    EXPECT_EQ(map[s], expected[s]) << "T" << std::hex << s;
  }
  // The exchanged entries as the layout names them, each a bare virtual key.
  EXPECT_EQ(map[0x0D], 'X');
  EXPECT_EQ(map[0x10], VK_OEM_5);
  EXPECT_EQ(map[0x11], VK_OEM_6);
  EXPECT_EQ(map[0x1B], 'W');
  EXPECT_EQ(map[0x21], VK_OEM_PERIOD);
  EXPECT_EQ(map[0x2B], 'Q');
  EXPECT_EQ(map[0x2D], VK_OEM_PLUS);
  EXPECT_EQ(map[0x34], 'F');
}

TEST(StdkeysTables, PrefixLists) {
  const std::vector<std::pair<int, int>> e0 = {
      {0x1C, 0x010D}, {0x1D, 0x01A3}, {0x35, 0x016F}, {0x37, 0x012C}, {0x38, 0x01A5},
      {0x46, 0x0103}, {0x47, 0x0124}, {0x48, 0x0126}, {0x49, 0x0121}, {0x4B, 0x0125},
      {0x4D, 0x0127}, {0x4F, 0x0123}, {0x50, 0x0128}, {0x51, 0x0122}, {0x52, 0x012D},
      {0x53, 0x012E}, {0x5B, 0x015B}, {0x5C, 0x015C}, {0x5D, 0x015D}};
  const auto& list = stdkeys().tables().vscToVkE0;
  ASSERT_EQ(list.size(), e0.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].Vsc, e0[i].first) << "E0 entry " << i;
    EXPECT_EQ(list[i].Vk, e0[i].second) << "E0 entry " << i;
  }
  const auto& e1 = stdkeys().tables().vscToVkE1;
  ASSERT_EQ(e1.size(), 1u);
  EXPECT_EQ(e1[0].Vsc, 0x1D);
  EXPECT_EQ(e1[0].Vk, VK_PAUSE);
}

struct Row {
  std::uint8_t vk;
  std::uint8_t attributes;
  std::u16string wch;
};

void expectRows(const CharTable& table, const std::vector<Row>& rows) {
  ASSERT_EQ(table.rows.size(), rows.size()) << "table of " << int{table.nModifications};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CharRow& got = table.rows[i];
    EXPECT_EQ(got.VirtualKey, rows[i].vk) << "row " << i + 1;
    EXPECT_EQ(got.Attributes, rows[i].attributes) << "row " << i + 1;
    EXPECT_EQ(std::u16string(got.wch.begin(), got.wch.end()), rows[i].wch)
        << "row " << i + 1 << " of the table of " << int{table.nModifications};
  }
}

constexpr char16_t N = WCH_NONE;

TEST(StdkeysTables, CharacterTablesInOrder) {
  const auto& tables = stdkeys().tables().vkToWcharTable;
  ASSERT_EQ(tables.size(), 4u);
  const int cells[] = {3, 4, 2, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tables[i].nModifications, cells[i]);
    EXPECT_EQ(tables[i].cbSize, 2 + 2 * cells[i]);
  }

  // clang-format off
  expectRows(tables[0], {
      {VK_OEM_3,      0,      u"`~\u00B4"},
      {'3',           0,      u"/3#"},
      {'4',           0,      u";4$"},
      {'5',           0,      u":5\u00A7"},
      {'7',           0,      u".7&"},
      {'8',           0,      u"=8*"},
      {VK_OEM_MINUS,  0,      u"?+'"},
      {'X',           CAPLOK, u"xX%"},
      {'E',           CAPLOK, u"eE\u20AC"},
      {VK_OEM_4,      CAPLOK, u"\u012F\u012E{"},
      {'W',           CAPLOK, u"wW}"},
      {'Q',           CAPLOK, u"qQ|"},
      {VK_OEM_7,      CAPLOK, u"\u0117\u0116\""},
      {'Z',           CAPLOK, u"zZ<"},
      {VK_OEM_PLUS,   CAPLOK, u"\u016B\u016A>"},
      {'C',           CAPLOK, u"cC\u2013"},
      {VK_OEM_COMMA,  CAPLOK, u"\u010D\u010C\u201E"},
      {'F',           CAPLOK, u"fF\u201C"},
      {VK_OEM_102,    0,      u"<>\u2013"},
  });
  expectRows(tables[1], {
      {'1',           0,      std::u16string(u"!1@\0", 4)},
      {'2',           0,      u"-2_\x1F"},
      {'6',           0,      u",6^\x1E"},
      {'9',           0,      u"(9[\x1B"},
      {'0',           0,      u")0]\x1D"},
      {VK_OEM_2,      CAPLOK, u"\u0119\u0118\\\x1C"},
      {VK_BACK,       0,      {u'\b', u'\b', N, 0x7F}},
      {VK_CANCEL,     0,      {0x03, 0x03, N, 0x03}},
      {VK_ESCAPE,     0,      {0x1B, 0x1B, N, 0x1B}},
      {VK_RETURN,     0,      {u'\r', u'\r', N, u'\n'}},
      {VK_SPACE,      0,      u"  \u00A0 "},
  });
  expectRows(tables[2], {
      {VK_OEM_5,      CAPLOK, u"\u0105\u0104"},
      {VK_OEM_6,      CAPLOK, u"\u017E\u017D"},
      {'R', CAPLOK, u"rR"}, {'T', CAPLOK, u"tT"}, {'Y', CAPLOK, u"yY"}, {'U', CAPLOK, u"uU"},
      {'I', CAPLOK, u"iI"}, {'O', CAPLOK, u"oO"}, {'P', CAPLOK, u"pP"}, {'A', CAPLOK, u"aA"},
      {'S', CAPLOK, u"sS"}, {'D', CAPLOK, u"dD"},
      {VK_OEM_PERIOD, CAPLOK, u"\u0161\u0160"},
      {'G', CAPLOK, u"gG"}, {'H', CAPLOK, u"hH"}, {'J', CAPLOK, u"jJ"}, {'K', CAPLOK, u"kK"},
      {'L', CAPLOK, u"lL"},
      {VK_OEM_1,      CAPLOK, u"\u0173\u0172"},
      {'V', CAPLOK, u"vV"}, {'B', CAPLOK, u"bB"}, {'N', CAPLOK, u"nN"}, {'M', CAPLOK, u"mM"},
      // The common keypad rows.
      {VK_DECIMAL,    0,      u",\b"},
      {VK_TAB,        0,      u"\t\t"},
      {VK_ADD,        0,      u"++"},
      {VK_DIVIDE,     0,      u"//"},
      {VK_MULTIPLY,   0,      u"**"},
      {VK_SUBTRACT,   0,      u"--"},
  });
  expectRows(tables[3], {
      {VK_NUMPAD0, 0, u"0"}, {VK_NUMPAD1, 0, u"1"}, {VK_NUMPAD2, 0, u"2"}, {VK_NUMPAD3, 0, u"3"},
      {VK_NUMPAD4, 0, u"4"}, {VK_NUMPAD5, 0, u"5"}, {VK_NUMPAD6, 0, u"6"}, {VK_NUMPAD7, 0, u"7"},
      {VK_NUMPAD8, 0, u"8"}, {VK_NUMPAD9, 0, u"9"},
  });
  // clang-format on
}

TEST(StdkeysTables, EveryVirtualKeyHasOneRowAndNoCellIsDead) {
  std::vector<int> rowsOf(256, 0);
  for (const CharTable& table : stdkeys().tables().vkToWcharTable) {
    for (const CharRow& row : table.rows) {
      ++rowsOf[row.VirtualKey];
      for (char16_t c : row.wch) EXPECT_NE(c, WCH_DEAD) << "row of " << int{row.VirtualKey};
    }
  }
  for (int vk = 0; vk < 256; ++vk) EXPECT_LE(rowsOf[vk], 1) << "virtual key " << vk;
  EXPECT_EQ(rowsOf[kNoVirtualKey], 0);  // no dead-character rows
}

TEST(StdkeysTables, KeyNames) {
  std::vector<std::pair<int, std::u16string>> plain = {
      {0x01, u"Esc"},  {0x0E, u"Backspace"}, {0x0F, u"Tab"},         {0x1C, u"Enter"},
      {0x1D, u"Ctrl"}, {0x2A, u"Shift"},     {0x36, u"Right Shift"}, {0x37, u"Num *"},
      {0x38, u"Alt"},  {0x39, u"Space"},     {0x3A, u"Caps Lock"}};
  for (int f = 1; f <= 10; ++f) {
    std::string name = "F";
    name += std::to_string(f);
    plain.push_back({0x3A + f, std::u16string(name.begin(), name.end())});
  }
  for (auto [vsc, name] : std::vector<std::pair<int, std::u16string>>{{0x45, u"Pause"},
                                                                      {0x46, u"Scroll Lock"},
                                                                      {0x47, u"Num 7"},
                                                                      {0x48, u"Num 8"},
                                                                      {0x49, u"Num 9"},
                                                                      {0x4A, u"Num -"},
                                                                      {0x4B, u"Num 4"},
                                                                      {0x4C, u"Num 5"},
                                                                      {0x4D, u"Num 6"},
                                                                      {0x4E, u"Num +"},
                                                                      {0x4F, u"Num 1"},
                                                                      {0x50, u"Num 2"},
                                                                      {0x51, u"Num 3"},
                                                                      {0x52, u"Num 0"},
                                                                      {0x53, u"Num Del"},
                                                                      {0x54, u"Sys Req"},
                                                                      {0x57, u"F11"},
                                                                      {0x58, u"F12"}}) {
    plain.push_back({vsc, name});
  }
  for (int f = 13; f <= 24; ++f) {
    std::string name = "F";
    name += std::to_string(f);
    plain.push_back({0x7C + f - 13, std::u16string(name.begin(), name.end())});
  }
  const std::vector<std::pair<int, std::u16string>> extended = {
      {0x1C, u"Num Enter"},  {0x1D, u"Right Control"}, {0x35, u"Num /"},
      {0x37, u"Prnt Scrn"},  {0x38, u"Right Alt"},     {0x45, u"Num Lock"},
      {0x46, u"Break"},      {0x47, u"Home"},          {0x48, u"Up"},
      {0x49, u"Page Up"},    {0x4B, u"Left"},          {0x4D, u"Right"},
      {0x4F, u"End"},        {0x50, u"Down"},          {0x51, u"Page Down"},
      {0x52, u"Insert"},     {0x53, u"Delete"},        {0x54, u"<00>"},
      {0x56, u"Help"},       {0x5B, u"Left Windows"},  {0x5C, u"Right Windows"},
      {0x5D, u"Application"}};

  const auto check = [](const std::vector<KeyName>& got,
                        const std::vector<std::pair<int, std::u16string>>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].vsc, want[i].first) << "entry " << i;
      EXPECT_EQ(got[i].name, want[i].second) << "entry " << i << ": " << test::show(got[i].name);
    }
  };
  check(stdkeys().tables().keyNames, plain);
  check(stdkeys().tables().keyNamesExt, extended);
}

}  // namespace
}  // namespace platform
