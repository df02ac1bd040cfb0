#include "tools/kvar/keyboard_geometry.h"

#include "layouts/common/kbd.h"

namespace kvar {
namespace {

using namespace kbd;

// clang-format off
constexpr PhysicalKey kMainBlock[] = {
    // Number row.
    {0x29, false,  0.00, 0, 1.00, VK_OEM_3,      true},
    {0x02, false,  1.00, 0, 1.00, '1',           true},
    {0x03, false,  2.00, 0, 1.00, '2',           true},
    {0x04, false,  3.00, 0, 1.00, '3',           true},
    {0x05, false,  4.00, 0, 1.00, '4',           true},
    {0x06, false,  5.00, 0, 1.00, '5',           true},
    {0x07, false,  6.00, 0, 1.00, '6',           true},
    {0x08, false,  7.00, 0, 1.00, '7',           true},
    {0x09, false,  8.00, 0, 1.00, '8',           true},
    {0x0A, false,  9.00, 0, 1.00, '9',           true},
    {0x0B, false, 10.00, 0, 1.00, '0',           true},
    {0x0C, false, 11.00, 0, 1.00, VK_OEM_MINUS,  true},
    {0x0D, false, 12.00, 0, 1.00, VK_OEM_PLUS,   true},
    {0x0E, false, 13.00, 0, 2.00, VK_BACK,       false},
    // Top letter row.
    {0x0F, false,  0.00, 1, 1.50, VK_TAB,        false},
    {0x10, false,  1.50, 1, 1.00, 'Q',           true},
    {0x11, false,  2.50, 1, 1.00, 'W',           true},
    {0x12, false,  3.50, 1, 1.00, 'E',           true},
    {0x13, false,  4.50, 1, 1.00, 'R',           true},
    {0x14, false,  5.50, 1, 1.00, 'T',           true},
    {0x15, false,  6.50, 1, 1.00, 'Y',           true},
    {0x16, false,  7.50, 1, 1.00, 'U',           true},
    {0x17, false,  8.50, 1, 1.00, 'I',           true},
    {0x18, false,  9.50, 1, 1.00, 'O',           true},
    {0x19, false, 10.50, 1, 1.00, 'P',           true},
    {0x1A, false, 11.50, 1, 1.00, VK_OEM_4,      true},
    {0x1B, false, 12.50, 1, 1.00, VK_OEM_6,      true},
    {0x1C, false, 13.50, 1, 1.50, VK_RETURN,     false},
    // Home row.
    {0x3A, false,  0.00, 2, 1.75, VK_CAPITAL,    false},
    {0x1E, false,  1.75, 2, 1.00, 'A',           true},
    {0x1F, false,  2.75, 2, 1.00, 'S',           true},
    {0x20, false,  3.75, 2, 1.00, 'D',           true},
    {0x21, false,  4.75, 2, 1.00, 'F',           true},
    {0x22, false,  5.75, 2, 1.00, 'G',           true},
    {0x23, false,  6.75, 2, 1.00, 'H',           true},
    {0x24, false,  7.75, 2, 1.00, 'J',           true},
    {0x25, false,  8.75, 2, 1.00, 'K',           true},
    {0x26, false,  9.75, 2, 1.00, 'L',           true},
    {0x27, false, 10.75, 2, 1.00, VK_OEM_1,      true},
    {0x28, false, 11.75, 2, 1.00, VK_OEM_7,      true},
    {0x2B, false, 12.75, 2, 1.00, VK_OEM_5,      true},
    // Bottom letter row.
    {0x2A, false,  0.00, 3, 1.25, VK_LSHIFT,     false},
    {0x56, false,  1.25, 3, 1.00, VK_OEM_102,    true},
    {0x2C, false,  2.25, 3, 1.00, 'Z',           true},
    {0x2D, false,  3.25, 3, 1.00, 'X',           true},
    {0x2E, false,  4.25, 3, 1.00, 'C',           true},
    {0x2F, false,  5.25, 3, 1.00, 'V',           true},
    {0x30, false,  6.25, 3, 1.00, 'B',           true},
    {0x31, false,  7.25, 3, 1.00, 'N',           true},
    {0x32, false,  8.25, 3, 1.00, 'M',           true},
    {0x33, false,  9.25, 3, 1.00, VK_OEM_COMMA,  true},
    {0x34, false, 10.25, 3, 1.00, VK_OEM_PERIOD, true},
    {0x35, false, 11.25, 3, 1.00, VK_OEM_2,      true},
    {0x36, false, 12.25, 3, 2.75, VK_RSHIFT,     false},
    // Space bar row.
    {0x1D, false,  0.00, 4, 1.25, VK_LCONTROL,   false},
    {0x5B, true,   1.25, 4, 1.25, VK_LWIN,       false},
    {0x38, false,  2.50, 4, 1.25, VK_LMENU,      false},
    {0x39, false,  3.75, 4, 6.25, VK_SPACE,      true},
    {0x38, true,  10.00, 4, 1.25, VK_RMENU,      false},
    {0x5C, true,  11.25, 4, 1.25, VK_RWIN,       false},
    {0x5D, true,  12.50, 4, 1.25, VK_APPS,       false},
    {0x1D, true,  13.75, 4, 1.25, VK_RCONTROL,   false},
};
// clang-format on

}  // namespace

std::span<const PhysicalKey> mainBlock() {
  return kMainBlock;
}

Rect isoEnterLowerPart() {
  return {13.75, 2, 1.25, 1};
}

}  // namespace kvar
