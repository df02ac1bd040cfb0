// phonkeys.dll key by key: what each character key of the main block types,
// the Ctrl characters that follow the US legends, and which key a character
// maps back to, moved symbols included.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/typing_session.h"
#include "tests/common/built_files.h"

namespace {

using platform::Prefix;
using platform::ScanCode;
using platform::TypingSession;
namespace keys = platform::keys;

std::u16string typed(const std::vector<ScanCode>& modifiers, ScanCode key, bool capsLock = false) {
  TypingSession session(platform::test::builtLayout("phonkeys"));
  session.setCapsLock(capsLock);
  return session.chord(modifiers, key).chars;
}

bool isCyrillicLetter(char16_t ch) {
  return ch >= 0x0400 && ch <= 0x04FF;
}

// The 48 character keys of the main block by scan code, with their US
// legends. Caps Lock acts like Shift on the letters and on nothing else.
TEST(PhonkeysKeys, EveryCharacterKeyOfTheMainBlock) {
  struct Key {
    std::uint8_t scan;
    const char* legend;
    char16_t base, shift;
  };
  // clang-format off
  const Key cases[] = {
      {0x29, "` ~",  u'\u044E', u'\u042E'},  // ю Ю
      {0x02, "1 !",  u'1',      u'!'},
      {0x03, "2 @",  u'2',      u'"'},
      {0x04, "3 #",  u'3',      u'\u2116'},  // №
      {0x05, "4 $",  u'4',      u'?'},
      {0x06, "5 %",  u'5',      u'%'},
      {0x07, "6 ^",  u'6',      u'\\'},
      {0x08, "7 &",  u'7',      u'/'},
      {0x09, "8 *",  u'8',      u'*'},
      {0x0A, "9 (",  u'9',      u'('},
      {0x0B, "0 )",  u'0',      u')'},
      {0x0C, "- _",  u'-',      u'_'},
      {0x0D, "= +",  u'=',      u'+'},
      {0x10, "Q",    u'\u044F', u'\u042F'},  // я Я
      {0x11, "W",    u'\u0436', u'\u0416'},  // ж Ж
      {0x12, "E",    u'\u0435', u'\u0415'},  // е Е
      {0x13, "R",    u'\u0440', u'\u0420'},  // р Р
      {0x14, "T",    u'\u0442', u'\u0422'},  // т Т
      {0x15, "Y",    u'\u044B', u'\u042B'},  // ы Ы
      {0x16, "U",    u'\u0443', u'\u0423'},  // у У
      {0x17, "I",    u'\u0438', u'\u0418'},  // и И
      {0x18, "O",    u'\u043E', u'\u041E'},  // о О
      {0x19, "P",    u'\u043F', u'\u041F'},  // п П
      {0x1A, "[ {",  u'\u0448', u'\u0428'},  // ш Ш
      {0x1B, "] }",  u'\u0449', u'\u0429'},  // щ Щ
      {0x2B, "\\ |", u'\u044D', u'\u042D'},  // э Э
      {0x1E, "A",    u'\u0430', u'\u0410'},  // а А
      {0x1F, "S",    u'\u0441', u'\u0421'},  // с С
      {0x20, "D",    u'\u0434', u'\u0414'},  // д Д
      {0x21, "F",    u'\u0444', u'\u0424'},  // ф Ф
      {0x22, "G",    u'\u0433', u'\u0413'},  // г Г
      {0x23, "H",    u'\u0445', u'\u0425'},  // х Х
      {0x24, "J",    u'\u0439', u'\u0419'},  // й Й
      {0x25, "K",    u'\u043A', u'\u041A'},  // к К
      {0x26, "L",    u'\u043B', u'\u041B'},  // л Л
      {0x27, "; :",  u'\u0447', u'\u0427'},  // ч Ч
      {0x28, "' \"", u'\u0451', u'\u0401'},  // ё Ё
      {0x56, "102nd key", u'\\',  u'|'},
      {0x2C, "Z",    u'\u0437', u'\u0417'},  // з З
      {0x2D, "X",    u'\u044C', u'\u042C'},  // ь Ь
      {0x2E, "C",    u'\u0446', u'\u0426'},  // ц Ц
      {0x2F, "V",    u'\u0432', u'\u0412'},  // в В
      {0x30, "B",    u'\u0431', u'\u0411'},  // б Б
      {0x31, "N",    u'\u043D', u'\u041D'},  // н Н
      {0x32, "M",    u'\u043C', u'\u041C'},  // м М
      {0x33, ", <",  u',',      u';'},
      {0x34, ". >",  u'.',      u':'},
      {0x35, "/ ?",  u'\u044A', u'\u042A'},  // ъ Ъ
  };
  // clang-format on
  ASSERT_EQ(std::size(cases), 48u);
  for (const Key& k : cases) {
    SCOPED_TRACE(std::string("key ") + k.legend);
    const ScanCode key{k.scan};
    const bool letter = isCyrillicLetter(k.base);
    EXPECT_EQ(typed({}, key), std::u16string(1, k.base));
    EXPECT_EQ(typed({keys::kLeftShift}, key), std::u16string(1, k.shift));
    EXPECT_EQ(typed({}, key, true), std::u16string(1, letter ? k.shift : k.base));
    EXPECT_EQ(typed({keys::kLeftShift}, key, true), std::u16string(1, letter ? k.base : k.shift));
  }
}

// Ctrl gives the control character of the key's US legend, not of what the
// key now types; keys whose legend has none give nothing.
TEST(PhonkeysKeys, CtrlFollowsTheUsLegend) {
  const ScanCode ctrl = keys::kLeftCtrl, shift = keys::kLeftShift;
  struct Case {
    const char* what;
    std::vector<ScanCode> modifiers;
    ScanCode key;
    std::u16string delivered;  // empty: no character
  };
  const std::u16string nothing;
  // clang-format off
  const Case cases[] = {
      {"Ctrl+[ (ш)",          {ctrl},        {0x1A}, u"\x1B"},
      {"Ctrl+] (щ)",          {ctrl},        {0x1B}, u"\x1D"},
      {"Ctrl+backslash (э)",  {ctrl},        {0x2B}, u"\x1C"},
      {"Ctrl+102nd key",      {ctrl},        {0x56}, u"\x1C"},
      {"Shift+Ctrl+2 (@)",    {shift, ctrl}, {0x03}, std::u16string(1, u'\0')},
      {"Shift+Ctrl+6 (^)",    {shift, ctrl}, {0x07}, u"\x1E"},
      {"Shift+Ctrl+minus (_)",{shift, ctrl}, {0x0C}, u"\x1F"},
      {"Ctrl+2",              {ctrl},        {0x03}, nothing},
      {"Ctrl+6",              {ctrl},        {0x07}, nothing},
      {"Ctrl+minus",          {ctrl},        {0x0C}, nothing},
      {"Shift+Ctrl+[",        {shift, ctrl}, {0x1A}, nothing},
      {"Ctrl+Enter",          {ctrl},        {0x1C}, u"\n"},
      {"Ctrl+Backspace",      {ctrl},        {0x0E}, u"\x7F"},
      {"Break",               {},            {0x46, Prefix::E0}, u"\x03"},
      {"Ctrl+Break",          {ctrl},        {0x46, Prefix::E0}, u"\x03"},
      {"Ctrl+Q (я)",          {ctrl},        {0x10}, nothing},
      {"Ctrl+` (ю)",          {ctrl},        {0x29}, nothing},
      {"Ctrl+comma",          {ctrl},        {0x33}, nothing},
      {"Ctrl+Alt+[",          {ctrl, keys::kLeftAlt},  {0x1A}, nothing},
      {"Ctrl+right Alt+Q",    {ctrl, keys::kRightAlt}, {0x10}, nothing},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(typed(c.modifiers, c.key), c.delivered);
  }
}

// Character to key: the first row in table order that holds the character;
// high byte Shift 1, Ctrl 2. The moved symbols come back on their new keys.
TEST(PhonkeysKeys, MovedSymbolsAndCharacterToKeyOrder) {
  struct Case {
    char16_t ch;
    std::int16_t key;
  };
  // clang-format off
  const Case cases[] = {
      {u';',      0x01BC},  // Shift+comma
      {u':',      0x01BE},  // Shift+period
      {u'"',      0x0132},  // Shift+2
      {u'?',      0x0134},  // Shift+4
      {u'/',      0x0137},  // Shift+7, before the keypad slash
      {u'\\',     0x00E2},  // VK_OEM_102 in table 1 comes before Shift+6 in table 2
      {u'|',      0x01E2},
      {u'\u2116', 0x0133},  // № on Shift+3
      {u',',      0x00BC},  // the comma key, not the keypad decimal key
      {u'\x1C',   0x02DC},  // Ctrl+VK_OEM_5 comes before Ctrl+VK_OEM_102
      {u'\x1B',   0x02DB},  // Ctrl+VK_OEM_4 comes before VK_ESCAPE
      {u'\b',     0x0008},
      {u'*',      0x0138},
      {u'+',      0x01BB},
      {u'-',      0x00BD},
      {u'_',      0x01BD},
      {u'\0',     0x0332},
      {u'0',      0x0030},  // the number row, never the keypad digit table
      {u'7',      0x0037},
      {u'\u044F', 0x0051},  // я
      {u'\u042F', 0x0151},  // Я
      {u'\u0451', 0x00DE},  // ё
      {u'\u044E', 0x00C0},  // ю
      {u'\u044A', 0x00BF},  // ъ
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(platform::test::builtLayout("phonkeys").vkKeyScan(c.ch), c.key)
        << "U+" << std::hex << static_cast<unsigned>(c.ch);
  }
  for (char16_t ch : std::u16string(u"@#$&'<>[]^`{}~aZ")) {
    EXPECT_EQ(platform::test::builtLayout("phonkeys").vkKeyScan(ch), -1) << static_cast<char>(ch);
  }
}

}  // namespace
