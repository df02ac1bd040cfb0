// Lithuanian Programmers: the US arrangement, with the key left of 1 a dead
// key (grave without Shift, tilde with Shift) that turns the next Latin
// letter into a Lithuanian one; it also gives the euro sign and the
// Lithuanian quotation marks.
#include "layouts/progkeys/progkeys.h"

#include "layouts/common/shared_tables.h"

namespace layout {
namespace {

// clang-format off

// Base, Shift, Ctrl.
constexpr CharRow<3> kTable1[] = {
    {VK_OEM_4,      0,      {u'[',     u'{',     u'\x1B'}},
    {VK_OEM_6,      0,      {u']',     u'}',     u'\x1D'}},
    {VK_OEM_5,      0,      {u'\\',    u'|',     u'\x1C'}},
    {VK_OEM_102,    0,      {u'\\',    u'|',     u'\x1C'}},
    {VK_BACK,       0,      {u'\b',    u'\b',    u'\x7F'}},
    {VK_CANCEL,     0,      {u'\x03',  u'\x03',  u'\x03'}},
    {VK_ESCAPE,     0,      {u'\x1B',  u'\x1B',  u'\x1B'}},
    {VK_RETURN,     0,      {u'\r',    u'\r',    u'\n'}},
    {VK_SPACE,      0,      {u' ',     u' ',     u' '}},
};

// Base, Shift, Ctrl, Shift+Ctrl.
constexpr CharRow<4> kTable2[] = {
    {'2',           0,      {u'2',     u'@',     WCH_NONE,  u'\x00'}},
    {'6',           0,      {u'6',     u'^',     WCH_NONE,  u'\x1E'}},
    {VK_OEM_MINUS,  0,      {u'-',     u'_',     WCH_NONE,  u'\x1F'}},
};

// Base, Shift; the common keypad rows follow.
constexpr CharRow<2> kTable3[] = {
    {'1',           0,      {u'1',     u'!'}},
    {'3',           0,      {u'3',     u'#'}},
    {'4',           0,      {u'4',     u'$'}},
    {'5',           0,      {u'5',     u'%'}},
    {'7',           0,      {u'7',     u'&'}},
    {'8',           0,      {u'8',     u'*'}},
    {'9',           0,      {u'9',     u'('}},
    {'0',           0,      {u'0',     u')'}},
    {VK_OEM_PLUS,   0,      {u'=',     u'+'}},
    {'Q',           CAPLOK, {u'q',     u'Q'}},
    {'W',           CAPLOK, {u'w',     u'W'}},
    {'E',           CAPLOK, {u'e',     u'E'}},
    {'R',           CAPLOK, {u'r',     u'R'}},
    {'T',           CAPLOK, {u't',     u'T'}},
    {'Y',           CAPLOK, {u'y',     u'Y'}},
    {'U',           CAPLOK, {u'u',     u'U'}},
    {'I',           CAPLOK, {u'i',     u'I'}},
    {'O',           CAPLOK, {u'o',     u'O'}},
    {'P',           CAPLOK, {u'p',     u'P'}},
    {'A',           CAPLOK, {u'a',     u'A'}},
    {'S',           CAPLOK, {u's',     u'S'}},
    {'D',           CAPLOK, {u'd',     u'D'}},
    {'F',           CAPLOK, {u'f',     u'F'}},
    {'G',           CAPLOK, {u'g',     u'G'}},
    {'H',           CAPLOK, {u'h',     u'H'}},
    {'J',           CAPLOK, {u'j',     u'J'}},
    {'K',           CAPLOK, {u'k',     u'K'}},
    {'L',           CAPLOK, {u'l',     u'L'}},
    {VK_OEM_1,      0,      {u';',     u':'}},
    {VK_OEM_7,      0,      {u'\'',    u'"'}},
    {VK_OEM_3,      0,      {WCH_DEAD, WCH_DEAD}},
    // The dead characters of the row above: grave accent, tilde.
    {kNoVirtualKey, 0,      {u'`',     u'~'}},
    {'Z',           CAPLOK, {u'z',     u'Z'}},
    {'X',           CAPLOK, {u'x',     u'X'}},
    {'C',           CAPLOK, {u'c',     u'C'}},
    {'V',           CAPLOK, {u'v',     u'V'}},
    {'B',           CAPLOK, {u'b',     u'B'}},
    {'N',           CAPLOK, {u'n',     u'N'}},
    {'M',           CAPLOK, {u'm',     u'M'}},
    {VK_OEM_COMMA,  0,      {u',',     u'<'}},
    {VK_OEM_PERIOD, 0,      {u'.',     u'>'}},
    {VK_OEM_2,      0,      {u'/',     u'?'}},
};

// Dead character, base character, composed character, flags. Both dead keys
// compose alike; only the space gives each its own dead character.
constexpr DeadKey kDeadKeys[] = {
    {u'`', u'4',  u'\u20AC', 0},
    {u'`', u'q',  u'\u016B', 0},
    {u'`', u'w',  u'\u0117', 0},
    {u'`', u'e',  u'\u0119', 0},
    {u'`', u'u',  u'\u0173', 0},
    {u'`', u'i',  u'\u012F', 0},
    {u'`', u'a',  u'\u0105', 0},
    {u'`', u's',  u'\u0161', 0},
    {u'`', u'z',  u'\u017E', 0},
    {u'`', u'c',  u'\u010D', 0},
    {u'`', u'\'', u'\u201E', 0},
    {u'`', u'$',  u'\u20AC', 0},
    {u'`', u'Q',  u'\u016A', 0},
    {u'`', u'W',  u'\u0116', 0},
    {u'`', u'E',  u'\u0118', 0},
    {u'`', u'U',  u'\u0172', 0},
    {u'`', u'I',  u'\u012E', 0},
    {u'`', u'A',  u'\u0104', 0},
    {u'`', u'S',  u'\u0160', 0},
    {u'`', u'Z',  u'\u017D', 0},
    {u'`', u'C',  u'\u010C', 0},
    {u'`', u'"',  u'\u201C', 0},
    {u'`', u' ',  u'`',      0},
    {u'~', u'4',  u'\u20AC', 0},
    {u'~', u'q',  u'\u016B', 0},
    {u'~', u'w',  u'\u0117', 0},
    {u'~', u'e',  u'\u0119', 0},
    {u'~', u'u',  u'\u0173', 0},
    {u'~', u'i',  u'\u012F', 0},
    {u'~', u'a',  u'\u0105', 0},
    {u'~', u's',  u'\u0161', 0},
    {u'~', u'z',  u'\u017E', 0},
    {u'~', u'c',  u'\u010D', 0},
    {u'~', u'\'', u'\u201E', 0},
    {u'~', u'$',  u'\u20AC', 0},
    {u'~', u'Q',  u'\u016A', 0},
    {u'~', u'W',  u'\u0116', 0},
    {u'~', u'E',  u'\u0118', 0},
    {u'~', u'U',  u'\u0172', 0},
    {u'~', u'I',  u'\u012E', 0},
    {u'~', u'A',  u'\u0104', 0},
    {u'~', u'S',  u'\u0160', 0},
    {u'~', u'Z',  u'\u017D', 0},
    {u'~', u'C',  u'\u010C', 0},
    {u'~', u'"',  u'\u201C', 0},
    {u'~', u' ',  u'~',      0},
};

// Each name begins with the dead character it belongs to.
constexpr std::u16string_view kKeyNamesDead[] = {
    u"`Grave Accent"sv,
    u"~Tilde"sv,
};

// clang-format on

}  // namespace

LayoutLibrary progkeys() {
  return {
      .name = "progkeys",
      .tables =
          {
              .charModifiers = &kPlainModifiers,
              .charTables = {CharTable::of<3>(kTable1), CharTable::of<4>(kTable2),
                             CharTable::of<2>(kTable3, kCommonKeypadRows),
                             CharTable::of<1>(kKeypadDigits)},
              .deadKeys = kDeadKeys,
              .keyNames = kKeyNames,
              .keyNamesExt = kKeyNamesExt,
              .keyNamesDead = kKeyNamesDead,
              .vscToVk = kStandardScanCodeMap,
              .vscToVkE0 = kScanCodesE0,
              .vscToVkE1 = kScanCodesE1,
              .localeFlags = 0,
          },
      .version = {.fileVersion = {5, 0, 1999, 1},
                  .fileDescription = u"Lithuanian Keyboard Layout (Programmers)"},
  };
}

}  // namespace layout
