// The keyboard-layout records as the platform reads them from a layout
// library: 32-bit pointers, little-endian, version-0 KBDTABLES. These are our
// own definitions; the image writer lays records out with them and the
// platform stand-in reads them back with them.
#pragma once

#include <cstdint>

namespace kbd {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using WCHAR = char16_t;

// Virtual keys used by the layouts. Letters and digits are their ASCII
// upper-case codes and are written as character literals ('Q', '1').
inline constexpr BYTE VK_CANCEL = 0x03;
inline constexpr BYTE VK_BACK = 0x08;
inline constexpr BYTE VK_TAB = 0x09;
inline constexpr BYTE VK_CLEAR = 0x0C;
inline constexpr BYTE VK_RETURN = 0x0D;
inline constexpr BYTE VK_SHIFT = 0x10;
inline constexpr BYTE VK_CONTROL = 0x11;
inline constexpr BYTE VK_MENU = 0x12;
inline constexpr BYTE VK_PAUSE = 0x13;
inline constexpr BYTE VK_CAPITAL = 0x14;
inline constexpr BYTE VK_ESCAPE = 0x1B;
inline constexpr BYTE VK_SPACE = 0x20;
inline constexpr BYTE VK_PRIOR = 0x21;
inline constexpr BYTE VK_NEXT = 0x22;
inline constexpr BYTE VK_END = 0x23;
inline constexpr BYTE VK_HOME = 0x24;
inline constexpr BYTE VK_LEFT = 0x25;
inline constexpr BYTE VK_UP = 0x26;
inline constexpr BYTE VK_RIGHT = 0x27;
inline constexpr BYTE VK_DOWN = 0x28;
inline constexpr BYTE VK_SNAPSHOT = 0x2C;
inline constexpr BYTE VK_INSERT = 0x2D;
inline constexpr BYTE VK_DELETE = 0x2E;
inline constexpr BYTE VK_HELP = 0x2F;
inline constexpr BYTE VK_LWIN = 0x5B;
inline constexpr BYTE VK_RWIN = 0x5C;
inline constexpr BYTE VK_APPS = 0x5D;
inline constexpr BYTE VK_NUMPAD0 = 0x60;
inline constexpr BYTE VK_NUMPAD1 = 0x61;
inline constexpr BYTE VK_NUMPAD2 = 0x62;
inline constexpr BYTE VK_NUMPAD3 = 0x63;
inline constexpr BYTE VK_NUMPAD4 = 0x64;
inline constexpr BYTE VK_NUMPAD5 = 0x65;
inline constexpr BYTE VK_NUMPAD6 = 0x66;
inline constexpr BYTE VK_NUMPAD7 = 0x67;
inline constexpr BYTE VK_NUMPAD8 = 0x68;
inline constexpr BYTE VK_NUMPAD9 = 0x69;
inline constexpr BYTE VK_MULTIPLY = 0x6A;
inline constexpr BYTE VK_ADD = 0x6B;
inline constexpr BYTE VK_SUBTRACT = 0x6D;
inline constexpr BYTE VK_DECIMAL = 0x6E;
inline constexpr BYTE VK_DIVIDE = 0x6F;
inline constexpr BYTE VK_F1 = 0x70;
inline constexpr BYTE VK_F2 = 0x71;
inline constexpr BYTE VK_F3 = 0x72;
inline constexpr BYTE VK_F4 = 0x73;
inline constexpr BYTE VK_F5 = 0x74;
inline constexpr BYTE VK_F6 = 0x75;
inline constexpr BYTE VK_F7 = 0x76;
inline constexpr BYTE VK_F8 = 0x77;
inline constexpr BYTE VK_F9 = 0x78;
inline constexpr BYTE VK_F10 = 0x79;
inline constexpr BYTE VK_F11 = 0x7A;
inline constexpr BYTE VK_F12 = 0x7B;
inline constexpr BYTE VK_F13 = 0x7C;
inline constexpr BYTE VK_F14 = 0x7D;
inline constexpr BYTE VK_F15 = 0x7E;
inline constexpr BYTE VK_F16 = 0x7F;
inline constexpr BYTE VK_F17 = 0x80;
inline constexpr BYTE VK_F18 = 0x81;
inline constexpr BYTE VK_F19 = 0x82;
inline constexpr BYTE VK_F20 = 0x83;
inline constexpr BYTE VK_F21 = 0x84;
inline constexpr BYTE VK_F22 = 0x85;
inline constexpr BYTE VK_F23 = 0x86;
inline constexpr BYTE VK_F24 = 0x87;
inline constexpr BYTE VK_NUMLOCK = 0x90;
inline constexpr BYTE VK_SCROLL = 0x91;
inline constexpr BYTE VK_LSHIFT = 0xA0;
inline constexpr BYTE VK_RSHIFT = 0xA1;
inline constexpr BYTE VK_LCONTROL = 0xA2;
inline constexpr BYTE VK_RCONTROL = 0xA3;
inline constexpr BYTE VK_LMENU = 0xA4;
inline constexpr BYTE VK_RMENU = 0xA5;
inline constexpr BYTE VK_OEM_1 = 0xBA;
inline constexpr BYTE VK_OEM_PLUS = 0xBB;
inline constexpr BYTE VK_OEM_COMMA = 0xBC;
inline constexpr BYTE VK_OEM_MINUS = 0xBD;
inline constexpr BYTE VK_OEM_PERIOD = 0xBE;
inline constexpr BYTE VK_OEM_2 = 0xBF;
inline constexpr BYTE VK_OEM_3 = 0xC0;
inline constexpr BYTE VK_ABNT_C1 = 0xC1;
inline constexpr BYTE VK_ABNT_C2 = 0xC2;
inline constexpr BYTE VK_OEM_4 = 0xDB;
inline constexpr BYTE VK_OEM_5 = 0xDC;
inline constexpr BYTE VK_OEM_6 = 0xDD;
inline constexpr BYTE VK_OEM_7 = 0xDE;
inline constexpr BYTE VK_OEM_102 = 0xE2;
inline constexpr BYTE VK_OEM_RESET = 0xE9;
inline constexpr BYTE VK_OEM_JUMP = 0xEA;
inline constexpr BYTE VK_OEM_PA1 = 0xEB;
inline constexpr BYTE VK_OEM_PA3 = 0xED;
inline constexpr BYTE VK_OEM_WSCTRL = 0xEE;
inline constexpr BYTE VK_OEM_FINISH = 0xF1;
inline constexpr BYTE VK_OEM_AUTO = 0xF3;
inline constexpr BYTE VK_OEM_BACKTAB = 0xF5;
inline constexpr BYTE VK_EREOF = 0xF9;
inline constexpr BYTE VK_ZOOM = 0xFB;
inline constexpr BYTE kNoVirtualKey = 0xFF;  // "no key" in a scan-code entry, and the
                                            // VirtualKey of a dead-character row

// Scan-code entry flags (high byte of a 16-bit scan-code entry).
inline constexpr WORD KBDEXT = 0x0100;
inline constexpr WORD KBDMULTIVK = 0x0200;
inline constexpr WORD KBDSPECIAL = 0x0400;
inline constexpr WORD KBDNUMPAD = 0x0800;

// Modifier bits.
inline constexpr BYTE KBDSHIFT = 0x01;
inline constexpr BYTE KBDCTRL = 0x02;
inline constexpr BYTE KBDALT = 0x04;
inline constexpr BYTE SHFT_INVALID = 0x0F;

// Row attributes.
inline constexpr BYTE CAPLOK = 0x01;
inline constexpr BYTE SGCAPS = 0x02;
inline constexpr BYTE CAPLOKALTGR = 0x04;
inline constexpr BYTE KANALOK = 0x08;
inline constexpr BYTE GRPSELTAP = 0x80;

// Character cell markers.
inline constexpr WCHAR WCH_NONE = 0xF000;
inline constexpr WCHAR WCH_DEAD = 0xF001;

// DEADKEY flags.
inline constexpr WORD DKF_DEAD = 0x0001;

// fLocaleFlags: layout flags in the low word, table version in the high word.
inline constexpr DWORD KLLF_ALTGR = 0x0001;

// Record layouts: field offsets and sizes in the 32-bit image.
struct KBDTABLES {
  static constexpr DWORD pCharModifiers = 0;
  static constexpr DWORD pVkToWcharTable = 4;
  static constexpr DWORD pDeadKey = 8;
  static constexpr DWORD pKeyNames = 12;
  static constexpr DWORD pKeyNamesExt = 16;
  static constexpr DWORD pKeyNamesDead = 20;
  static constexpr DWORD pusVSCtoVK = 24;
  static constexpr DWORD bMaxVSCtoVK = 28;
  static constexpr DWORD pVSCtoVK_E0 = 32;
  static constexpr DWORD pVSCtoVK_E1 = 36;
  static constexpr DWORD fLocaleFlags = 40;
  static constexpr DWORD size = 44;
};

struct MODIFIERS {
  static constexpr DWORD pVkToBit = 0;
  static constexpr DWORD wMaxModBits = 4;
  static constexpr DWORD ModNumber = 6;
};

struct VK_TO_BIT {
  static constexpr DWORD Vk = 0;
  static constexpr DWORD ModBits = 1;
  static constexpr DWORD size = 2;
};

struct VK_TO_WCHAR_TABLE {
  static constexpr DWORD pVkToWchars = 0;
  static constexpr DWORD nModifications = 4;
  static constexpr DWORD cbSize = 5;
  static constexpr DWORD size = 8;
};

// VK_TO_WCHARS1 .. VK_TO_WCHARS4: a row of n cells is 2 + 2n bytes.
struct VK_TO_WCHARS {
  static constexpr DWORD VirtualKey = 0;
  static constexpr DWORD Attributes = 1;
  static constexpr DWORD wch = 2;
  static constexpr DWORD sizeFor(DWORD nModifications) { return 2 + 2 * nModifications; }
};

struct DEADKEY {
  static constexpr DWORD dwBoth = 0;
  static constexpr DWORD wchComposed = 4;
  static constexpr DWORD uFlags = 6;
  static constexpr DWORD size = 8;
};

struct VSC_LPWSTR {
  static constexpr DWORD vsc = 0;
  static constexpr DWORD pwsz = 4;
  static constexpr DWORD size = 8;
};

struct VSC_VK {
  static constexpr DWORD Vsc = 0;
  static constexpr DWORD Vk = 2;
  static constexpr DWORD size = 4;
};

// The dead-key name list is an array of string pointers ending in null.
inline constexpr DWORD kDeadKeyNameSize = 4;

// Scan-code map size in every layout of ours: T00 .. T7E.
inline constexpr BYTE kScanCodeMapSize = 127;

}  // namespace kbd
