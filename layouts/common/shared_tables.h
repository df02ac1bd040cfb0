// The tables every layout shares: the physical keyboard (scan codes, key
// names, the keypad) and the two modifier sets. Each library gets its own
// copy of them in its image.
#pragma once

#include <string_view>

#include "layouts/common/kbd.h"
#include "layouts/common/layout.h"

namespace layout {

using namespace kbd;
using namespace std::string_view_literals;

// clang-format off

inline constexpr VkToBit kVkToBit[] = {
    {VK_SHIFT,   KBDSHIFT},
    {VK_CONTROL, KBDCTRL},
    {VK_MENU,    KBDALT},
};

// Modification number by modifier bits (Shift 1, Ctrl 2, Alt 4).
inline constexpr BYTE kPlainModNumber[] = {0, 1, 2, 3};
inline constexpr BYTE kAltGrModNumber[] = {0, 1, 3, 4, SHFT_INVALID, SHFT_INVALID, 2};

// Columns: Base, Shift, Ctrl, Shift+Ctrl.
inline constexpr ModifierSet kPlainModifiers{kVkToBit, kPlainModNumber};
// Columns: Base, Shift, Ctrl+Alt (AltGr), Ctrl, Shift+Ctrl.
inline constexpr ModifierSet kAltGrModifiers{kVkToBit, kAltGrModNumber};

inline constexpr WORD kNone = kNoVirtualKey;
inline constexpr WORD kKeypad = KBDSPECIAL | KBDNUMPAD;

// Scan-code set 1 without prefix, T00 .. T7E.
inline constexpr ScanCodeMap kStandardScanCodeMap = {
    /* T00 */ kNone,               VK_ESCAPE,             '1',                   '2',
    /* T04 */ '3',                 '4',                   '5',                   '6',
    /* T08 */ '7',                 '8',                   '9',                   '0',
    /* T0C */ VK_OEM_MINUS,        VK_OEM_PLUS,           VK_BACK,               VK_TAB,
    /* T10 */ 'Q',                 'W',                   'E',                   'R',
    /* T14 */ 'T',                 'Y',                   'U',                   'I',
    /* T18 */ 'O',                 'P',                   VK_OEM_4,              VK_OEM_6,
    /* T1C */ VK_RETURN,           VK_LCONTROL,           'A',                   'S',
    /* T20 */ 'D',                 'F',                   'G',                   'H',
    /* T24 */ 'J',                 'K',                   'L',                   VK_OEM_1,
    /* T28 */ VK_OEM_7,            VK_OEM_3,              VK_LSHIFT,             VK_OEM_5,
    /* T2C */ 'Z',                 'X',                   'C',                   'V',
    /* T30 */ 'B',                 'N',                   'M',                   VK_OEM_COMMA,
    /* T34 */ VK_OEM_PERIOD,       VK_OEM_2,              VK_RSHIFT | KBDEXT,    VK_MULTIPLY | KBDMULTIVK,
    /* T38 */ VK_LMENU,            VK_SPACE,              VK_CAPITAL,            VK_F1,
    /* T3C */ VK_F2,               VK_F3,                 VK_F4,                 VK_F5,
    /* T40 */ VK_F6,               VK_F7,                 VK_F8,                 VK_F9,
    /* T44 */ VK_F10,              VK_NUMLOCK | KBDEXT | KBDMULTIVK,
                                                          VK_SCROLL | KBDMULTIVK,
                                                                                 VK_HOME | kKeypad,
    /* T48 */ VK_UP | kKeypad,     VK_PRIOR | kKeypad,    VK_SUBTRACT,           VK_LEFT | kKeypad,
    /* T4C */ VK_CLEAR | kKeypad,  VK_RIGHT | kKeypad,    VK_ADD,                VK_END | kKeypad,
    /* T50 */ VK_DOWN | kKeypad,   VK_NEXT | kKeypad,     VK_INSERT | kKeypad,   VK_DELETE | kKeypad,
    /* T54 */ VK_SNAPSHOT,         kNone,                 VK_OEM_102,            VK_F11,
    /* T58 */ VK_F12,              VK_CLEAR,              VK_OEM_WSCTRL,         VK_OEM_FINISH,
    /* T5C */ VK_OEM_JUMP,         VK_EREOF,              VK_OEM_BACKTAB,        VK_OEM_AUTO,
    /* T60 */ kNone,               kNone,                 VK_ZOOM,               VK_HELP,
    /* T64 */ VK_F13,              VK_F14,                VK_F15,                VK_F16,
    /* T68 */ VK_F17,              VK_F18,                VK_F19,                VK_F20,
    /* T6C */ VK_F21,              VK_F22,                VK_F23,                VK_OEM_PA3,
    /* T70 */ kNone,               VK_OEM_RESET,          kNone,                 VK_ABNT_C1,
    /* T74 */ kNone,               kNone,                 VK_F24,                kNone,
    /* T78 */ kNone,               kNone,                 kNone,                 VK_OEM_PA1,
    /* T7C */ VK_TAB,              kNone,                 VK_ABNT_C2,
};

// Scan codes after the prefix E0.
inline constexpr VscVk kScanCodesE0[] = {
    {0x1C, VK_RETURN   | KBDEXT},
    {0x1D, VK_RCONTROL | KBDEXT},
    {0x35, VK_DIVIDE   | KBDEXT},
    {0x37, VK_SNAPSHOT | KBDEXT},
    {0x38, VK_RMENU    | KBDEXT},
    {0x46, VK_CANCEL   | KBDEXT},
    {0x47, VK_HOME     | KBDEXT},
    {0x48, VK_UP       | KBDEXT},
    {0x49, VK_PRIOR    | KBDEXT},
    {0x4B, VK_LEFT     | KBDEXT},
    {0x4D, VK_RIGHT    | KBDEXT},
    {0x4F, VK_END      | KBDEXT},
    {0x50, VK_DOWN     | KBDEXT},
    {0x51, VK_NEXT     | KBDEXT},
    {0x52, VK_INSERT   | KBDEXT},
    {0x53, VK_DELETE   | KBDEXT},
    {0x5B, VK_LWIN     | KBDEXT},
    {0x5C, VK_RWIN     | KBDEXT},
    {0x5D, VK_APPS     | KBDEXT},
};

// Scan codes after the prefix E1.
inline constexpr VscVk kScanCodesE1[] = {
    {0x1D, VK_PAUSE},
};

// Names of scan codes reported without the extended-key flag.
inline constexpr KeyName kKeyNames[] = {
    {0x01, u"Esc"sv},
    {0x0E, u"Backspace"sv},
    {0x0F, u"Tab"sv},
    {0x1C, u"Enter"sv},
    {0x1D, u"Ctrl"sv},
    {0x2A, u"Shift"sv},
    {0x36, u"Right Shift"sv},
    {0x37, u"Num *"sv},
    {0x38, u"Alt"sv},
    {0x39, u"Space"sv},
    {0x3A, u"Caps Lock"sv},
    {0x3B, u"F1"sv},
    {0x3C, u"F2"sv},
    {0x3D, u"F3"sv},
    {0x3E, u"F4"sv},
    {0x3F, u"F5"sv},
    {0x40, u"F6"sv},
    {0x41, u"F7"sv},
    {0x42, u"F8"sv},
    {0x43, u"F9"sv},
    {0x44, u"F10"sv},
    {0x45, u"Pause"sv},
    {0x46, u"Scroll Lock"sv},
    {0x47, u"Num 7"sv},
    {0x48, u"Num 8"sv},
    {0x49, u"Num 9"sv},
    {0x4A, u"Num -"sv},
    {0x4B, u"Num 4"sv},
    {0x4C, u"Num 5"sv},
    {0x4D, u"Num 6"sv},
    {0x4E, u"Num +"sv},
    {0x4F, u"Num 1"sv},
    {0x50, u"Num 2"sv},
    {0x51, u"Num 3"sv},
    {0x52, u"Num 0"sv},
    {0x53, u"Num Del"sv},
    {0x54, u"Sys Req"sv},
    {0x57, u"F11"sv},
    {0x58, u"F12"sv},
    {0x7C, u"F13"sv},
    {0x7D, u"F14"sv},
    {0x7E, u"F15"sv},
    {0x7F, u"F16"sv},
    {0x80, u"F17"sv},
    {0x81, u"F18"sv},
    {0x82, u"F19"sv},
    {0x83, u"F20"sv},
    {0x84, u"F21"sv},
    {0x85, u"F22"sv},
    {0x86, u"F23"sv},
    {0x87, u"F24"sv},
};

// Names of scan codes reported with the extended-key flag.
inline constexpr KeyName kKeyNamesExt[] = {
    {0x1C, u"Num Enter"sv},
    {0x1D, u"Right Control"sv},
    {0x35, u"Num /"sv},
    {0x37, u"Prnt Scrn"sv},
    {0x38, u"Right Alt"sv},
    {0x45, u"Num Lock"sv},
    {0x46, u"Break"sv},
    {0x47, u"Home"sv},
    {0x48, u"Up"sv},
    {0x49, u"Page Up"sv},
    {0x4B, u"Left"sv},
    {0x4D, u"Right"sv},
    {0x4F, u"End"sv},
    {0x50, u"Down"sv},
    {0x51, u"Page Down"sv},
    {0x52, u"Insert"sv},
    {0x53, u"Delete"sv},
    {0x54, u"<00>"sv},
    {0x56, u"Help"sv},
    {0x5B, u"Left Windows"sv},
    {0x5C, u"Right Windows"sv},
    {0x5D, u"Application"sv},
};

// The last six rows of every layout's 2-cell table. The keypad decimal key
// gives a comma, and with Shift the backspace character.
inline constexpr CharRow<2> kCommonKeypadRows[] = {
    {VK_DECIMAL,  0, {u',',    u'\x08'}},
    {VK_TAB,      0, {u'\t',   u'\t'}},
    {VK_ADD,      0, {u'+',    u'+'}},
    {VK_DIVIDE,   0, {u'/',    u'/'}},
    {VK_MULTIPLY, 0, {u'*',    u'*'}},
    {VK_SUBTRACT, 0, {u'-',    u'-'}},
};

// The 1-cell table that ends every layout's list of character tables.
inline constexpr CharRow<1> kKeypadDigits[] = {
    {VK_NUMPAD0, 0, {u'0'}},
    {VK_NUMPAD1, 0, {u'1'}},
    {VK_NUMPAD2, 0, {u'2'}},
    {VK_NUMPAD3, 0, {u'3'}},
    {VK_NUMPAD4, 0, {u'4'}},
    {VK_NUMPAD5, 0, {u'5'}},
    {VK_NUMPAD6, 0, {u'6'}},
    {VK_NUMPAD7, 0, {u'7'}},
    {VK_NUMPAD8, 0, {u'8'}},
    {VK_NUMPAD9, 0, {u'9'}},
};

// clang-format on

}  // namespace layout
