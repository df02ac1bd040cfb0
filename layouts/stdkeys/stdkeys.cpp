// Lithuanian Standard: the Lithuanian letters on keys of their own,
// punctuation on the base level of the number row, an AltGr level, and four
// Latin letters moved to other keys through the scan-code map.
#include "layouts/stdkeys/stdkeys.h"

#include "layouts/common/shared_tables.h"

namespace layout {
namespace {

// clang-format off

// Base, Shift, Ctrl+Alt (AltGr).
constexpr CharRow<3> kTable1[] = {
    {VK_OEM_3,      0,      {u'`',     u'~',     u'\u00B4'}},
    {'3',           0,      {u'/',     u'3',     u'#'}},
    {'4',           0,      {u';',     u'4',     u'$'}},
    {'5',           0,      {u':',     u'5',     u'\u00A7'}},
    {'7',           0,      {u'.',     u'7',     u'&'}},
    {'8',           0,      {u'=',     u'8',     u'*'}},
    {VK_OEM_MINUS,  0,      {u'?',     u'+',     u'\''}},
    {'X',           CAPLOK, {u'x',     u'X',     u'%'}},
    {'E',           CAPLOK, {u'e',     u'E',     u'\u20AC'}},
    {VK_OEM_4,      CAPLOK, {u'\u012F', u'\u012E', u'{'}},
    {'W',           CAPLOK, {u'w',     u'W',     u'}'}},
    {'Q',           CAPLOK, {u'q',     u'Q',     u'|'}},
    {VK_OEM_7,      CAPLOK, {u'\u0117', u'\u0116', u'"'}},
    {'Z',           CAPLOK, {u'z',     u'Z',     u'<'}},
    {VK_OEM_PLUS,   CAPLOK, {u'\u016B', u'\u016A', u'>'}},
    {'C',           CAPLOK, {u'c',     u'C',     u'\u2013'}},
    {VK_OEM_COMMA,  CAPLOK, {u'\u010D', u'\u010C', u'\u201E'}},
    {'F',           CAPLOK, {u'f',     u'F',     u'\u201C'}},
    {VK_OEM_102,    0,      {u'<',     u'>',     u'\u2013'}},
};

// Base, Shift, Ctrl+Alt (AltGr), Ctrl. The Ctrl character of a digit key is
// the control character of its AltGr symbol.
constexpr CharRow<4> kTable2[] = {
    {'1',           0,      {u'!',     u'1',     u'@',      u'\x00'}},
    {'2',           0,      {u'-',     u'2',     u'_',      u'\x1F'}},
    {'6',           0,      {u',',     u'6',     u'^',      u'\x1E'}},
    {'9',           0,      {u'(',     u'9',     u'[',      u'\x1B'}},
    {'0',           0,      {u')',     u'0',     u']',      u'\x1D'}},
    {VK_OEM_2,      CAPLOK, {u'\u0119', u'\u0118', u'\\',   u'\x1C'}},
    {VK_BACK,       0,      {u'\b',    u'\b',    WCH_NONE,  u'\x7F'}},
    {VK_CANCEL,     0,      {u'\x03',  u'\x03',  WCH_NONE,  u'\x03'}},
    {VK_ESCAPE,     0,      {u'\x1B',  u'\x1B',  WCH_NONE,  u'\x1B'}},
    {VK_RETURN,     0,      {u'\r',    u'\r',    WCH_NONE,  u'\n'}},
    {VK_SPACE,      0,      {u' ',     u' ',     u'\u00A0', u' '}},
};

// Base, Shift; the common keypad rows follow.
constexpr CharRow<2> kTable3[] = {
    {VK_OEM_5,      CAPLOK, {u'\u0105', u'\u0104'}},
    {VK_OEM_6,      CAPLOK, {u'\u017E', u'\u017D'}},
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
    {VK_OEM_PERIOD, CAPLOK, {u'\u0161', u'\u0160'}},
    {'G',           CAPLOK, {u'g',     u'G'}},
    {'H',           CAPLOK, {u'h',     u'H'}},
    {'J',           CAPLOK, {u'j',     u'J'}},
    {'K',           CAPLOK, {u'k',     u'K'}},
    {'L',           CAPLOK, {u'l',     u'L'}},
    {VK_OEM_1,      CAPLOK, {u'\u0173', u'\u0172'}},
    {'V',           CAPLOK, {u'v',     u'V'}},
    {'B',           CAPLOK, {u'b',     u'B'}},
    {'N',           CAPLOK, {u'n',     u'N'}},
    {'M',           CAPLOK, {u'm',     u'M'}},
};

// clang-format on

}  // namespace

LayoutLibrary stdkeys() {
  return {
      .name = "stdkeys",
      .tables =
          {
              .charModifiers = &kAltGrModifiers,
              .charTables = {CharTable::of<3>(kTable1), CharTable::of<4>(kTable2),
                             CharTable::of<2>(kTable3, kCommonKeypadRows),
                             CharTable::of<1>(kKeypadDigits)},
              .deadKeys = {},
              .keyNames = kKeyNames,
              .keyNamesExt = kKeyNamesExt,
              .keyNamesDead = {},
              // Q, W, F and X sit where the US keyboard has backslash, right
              // bracket, period and equals, and the other way round.
              .vscToVk = withExchangedKeys(kStandardScanCodeMap,
                                           {{0x10, 0x2B}, {0x11, 0x1B}, {0x21, 0x34}, {0x2D, 0x0D}}),
              .vscToVkE0 = kScanCodesE0,
              .vscToVkE1 = kScanCodesE1,
              .localeFlags = KLLF_ALTGR,
          },
      .version = {.fileVersion = {5, 0, 2180, 1},
                  .fileDescription = u"Lithuanian Keyboard Layout (Standard)"},
  };
}

}  // namespace layout
