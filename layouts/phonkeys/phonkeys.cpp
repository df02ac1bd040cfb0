// Russian Phonetic: the 33 Cyrillic letters on the Latin keys of like sound
// and on seven punctuation keys, the digits where they are, and some of the
// symbols those punctuation keys lose on the shifted number row and on the
// shifted comma and period keys.
#include "layouts/phonkeys/phonkeys.h"

#include "layouts/common/shared_tables.h"

namespace layout {
namespace {

// clang-format off

// Base, Shift, Ctrl. The Ctrl characters follow the US legends ([ ] \), not
// the letters these keys now give.
constexpr CharRow<3> kTable1[] = {
    {VK_OEM_4,      CAPLOK, {u'\u0448', u'\u0428', u'\x1B'}},
    {VK_OEM_6,      CAPLOK, {u'\u0449', u'\u0429', u'\x1D'}},
    {VK_OEM_5,      CAPLOK, {u'\u044D', u'\u042D', u'\x1C'}},
    {VK_OEM_102,    0,      {u'\\',     u'|',      u'\x1C'}},
    {VK_BACK,       0,      {u'\b',     u'\b',     u'\x7F'}},
    {VK_CANCEL,     0,      {u'\x03',   u'\x03',   u'\x03'}},
    {VK_ESCAPE,     0,      {u'\x1B',   u'\x1B',   u'\x1B'}},
    {VK_RETURN,     0,      {u'\r',     u'\r',     u'\n'}},
    {VK_SPACE,      0,      {u' ',      u' ',      u' '}},
};

// Base, Shift, Ctrl, Shift+Ctrl. Shift+Ctrl follows the US legends (@ ^ _).
constexpr CharRow<4> kTable2[] = {
    {'2',           0,      {u'2',      u'"',      WCH_NONE,  u'\x00'}},
    {'6',           0,      {u'6',      u'\\',     WCH_NONE,  u'\x1E'}},
    {VK_OEM_MINUS,  0,      {u'-',      u'_',      WCH_NONE,  u'\x1F'}},
};

// Base, Shift; the common keypad rows follow.
constexpr CharRow<2> kTable3[] = {
    {'1',           0,      {u'1',      u'!'}},
    {'3',           0,      {u'3',      u'\u2116'}},
    {'4',           0,      {u'4',      u'?'}},
    {'5',           0,      {u'5',      u'%'}},
    {'7',           0,      {u'7',      u'/'}},
    {'8',           0,      {u'8',      u'*'}},
    {'9',           0,      {u'9',      u'('}},
    {'0',           0,      {u'0',      u')'}},
    {VK_OEM_PLUS,   0,      {u'=',      u'+'}},
    {'Q',           CAPLOK, {u'\u044F', u'\u042F'}},
    {'W',           CAPLOK, {u'\u0436', u'\u0416'}},
    {'E',           CAPLOK, {u'\u0435', u'\u0415'}},
    {'R',           CAPLOK, {u'\u0440', u'\u0420'}},
    {'T',           CAPLOK, {u'\u0442', u'\u0422'}},
    {'Y',           CAPLOK, {u'\u044B', u'\u042B'}},
    {'U',           CAPLOK, {u'\u0443', u'\u0423'}},
    {'I',           CAPLOK, {u'\u0438', u'\u0418'}},
    {'O',           CAPLOK, {u'\u043E', u'\u041E'}},
    {'P',           CAPLOK, {u'\u043F', u'\u041F'}},
    {'A',           CAPLOK, {u'\u0430', u'\u0410'}},
    {'S',           CAPLOK, {u'\u0441', u'\u0421'}},
    {'D',           CAPLOK, {u'\u0434', u'\u0414'}},
    {'F',           CAPLOK, {u'\u0444', u'\u0424'}},
    {'G',           CAPLOK, {u'\u0433', u'\u0413'}},
    {'H',           CAPLOK, {u'\u0445', u'\u0425'}},
    {'J',           CAPLOK, {u'\u0439', u'\u0419'}},
    {'K',           CAPLOK, {u'\u043A', u'\u041A'}},
    {'L',           CAPLOK, {u'\u043B', u'\u041B'}},
    {VK_OEM_1,      CAPLOK, {u'\u0447', u'\u0427'}},
    {VK_OEM_7,      CAPLOK, {u'\u0451', u'\u0401'}},
    {VK_OEM_3,      CAPLOK, {u'\u044E', u'\u042E'}},
    {'Z',           CAPLOK, {u'\u0437', u'\u0417'}},
    {'X',           CAPLOK, {u'\u044C', u'\u042C'}},
    {'C',           CAPLOK, {u'\u0446', u'\u0426'}},
    {'V',           CAPLOK, {u'\u0432', u'\u0412'}},
    {'B',           CAPLOK, {u'\u0431', u'\u0411'}},
    {'N',           CAPLOK, {u'\u043D', u'\u041D'}},
    {'M',           CAPLOK, {u'\u043C', u'\u041C'}},
    {VK_OEM_COMMA,  0,      {u',',      u';'}},
    {VK_OEM_PERIOD, 0,      {u'.',      u':'}},
    {VK_OEM_2,      CAPLOK, {u'\u044A', u'\u042A'}},
};

// clang-format on

}  // namespace

LayoutLibrary phonkeys() {
  return {
      .name = "phonkeys",
      .tables =
          {
              .charModifiers = &kPlainModifiers,
              .charTables = {CharTable::of<3>(kTable1), CharTable::of<4>(kTable2),
                             CharTable::of<2>(kTable3, kCommonKeypadRows),
                             CharTable::of<1>(kKeypadDigits)},
              .deadKeys = {},
              .keyNames = kKeyNames,
              .keyNamesExt = kKeyNamesExt,
              .keyNamesDead = {},
              .vscToVk = kStandardScanCodeMap,
              .vscToVkE0 = kScanCodesE0,
              .vscToVkE1 = kScanCodesE1,
              .localeFlags = 0,
          },
      .version = {.fileVersion = {5, 0, 1999, 1},
                  .fileDescription = u"Russian (Phonetic) Keyboard Layout"},
  };
}

}  // namespace layout
