#include "tools/kvar/key_presses.h"

#include <cstdio>
#include <optional>

#include "platform/typing_session.h"
#include "tools/kvar/command.h"

namespace kvar {
namespace {

using platform::Prefix;
using platform::ScanCode;

struct UsKey {
  char base, shift;
  std::uint8_t scanCode;
};

// The characters of a US keyboard's main block and the scan codes of their keys.
// clang-format off
constexpr UsKey kUsKeys[] = {
    {'`', '~', 0x29}, {'1', '!', 0x02}, {'2', '@', 0x03}, {'3', '#', 0x04}, {'4', '$', 0x05},
    {'5', '%', 0x06}, {'6', '^', 0x07}, {'7', '&', 0x08}, {'8', '*', 0x09}, {'9', '(', 0x0A},
    {'0', ')', 0x0B}, {'-', '_', 0x0C}, {'=', '+', 0x0D},
    {'q', 'Q', 0x10}, {'w', 'W', 0x11}, {'e', 'E', 0x12}, {'r', 'R', 0x13}, {'t', 'T', 0x14},
    {'y', 'Y', 0x15}, {'u', 'U', 0x16}, {'i', 'I', 0x17}, {'o', 'O', 0x18}, {'p', 'P', 0x19},
    {'[', '{', 0x1A}, {']', '}', 0x1B}, {'\\', '|', 0x2B},
    {'a', 'A', 0x1E}, {'s', 'S', 0x1F}, {'d', 'D', 0x20}, {'f', 'F', 0x21}, {'g', 'G', 0x22},
    {'h', 'H', 0x23}, {'j', 'J', 0x24}, {'k', 'K', 0x25}, {'l', 'L', 0x26}, {';', ':', 0x27},
    {'\'', '"', 0x28},
    {'z', 'Z', 0x2C}, {'x', 'X', 0x2D}, {'c', 'C', 0x2E}, {'v', 'V', 0x2F}, {'b', 'B', 0x30},
    {'n', 'N', 0x31}, {'m', 'M', 0x32}, {',', '<', 0x33}, {'.', '>', 0x34}, {'/', '?', 0x35},
    {' ', ' ', 0x39}, {'\t', '\t', 0x0F}, {'\n', '\n', 0x1C},
};
// clang-format on

std::optional<KeyPress> usPressFor(char c) {
  for (const UsKey& k : kUsKeys) {
    if (c == k.base) return KeyPress{{}, {k.scanCode}};
    if (c == k.shift) return KeyPress{{platform::keys::kLeftShift}, {k.scanCode}};
  }
  return std::nullopt;
}

// The code point that starts at `text[at]`, for messages; U+FFFD when the bytes are no UTF-8.
char32_t codePointAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const int length = lead < 0x80         ? 1
                     : lead >> 5 == 0x6  ? 2
                     : lead >> 4 == 0xE  ? 3
                     : lead >> 3 == 0x1E ? 4
                                         : 0;
  if (length == 0 || at + length > text.size()) return 0xFFFD;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if (next >> 6 != 0x2) return 0xFFFD;
    c = c << 6 | (next & 0x3F);
  }
  return c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<ScanCode> modifierKey(std::string_view name) {
  if (equalsIgnoringCase(name, "S")) return platform::keys::kLeftShift;
  if (equalsIgnoringCase(name, "C")) return platform::keys::kLeftCtrl;
  if (equalsIgnoringCase(name, "A")) return platform::keys::kLeftAlt;
  if (equalsIgnoringCase(name, "AltGr")) return platform::keys::kRightAlt;
  return std::nullopt;
}

std::optional<ScanCode> scanCode(std::string_view text) {
  Prefix prefix = Prefix::None;
  if (equalsIgnoringCase(text.substr(0, 3), "E0:")) prefix = Prefix::E0;
  if (equalsIgnoringCase(text.substr(0, 3), "E1:")) prefix = Prefix::E1;
  if (prefix != Prefix::None) text.remove_prefix(3);
  if (!equalsIgnoringCase(text.substr(0, 2), "0x") || text.size() < 3 || text.size() > 4) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (char c : text.substr(2)) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  if (value == 0) return std::nullopt;
  return ScanCode{static_cast<std::uint8_t>(value), prefix};
}

}  // namespace

KeyPress parsePress(std::string_view text) {
  const std::string quoted = "key press '" + std::string(text) + "'";
  KeyPress press{};
  std::string_view rest = text;
  for (std::size_t plus; (plus = rest.find('+')) != std::string_view::npos;) {
    const auto modifier = modifierKey(rest.substr(0, plus));
    if (!modifier) {
      throw UsageError(quoted + ": '" + std::string(rest.substr(0, plus)) +
                       "' is no modifier (S, C, A or AltGr)");
    }
    press.modifiers.push_back(*modifier);
    rest.remove_prefix(plus + 1);
  }
  const auto key = scanCode(rest);
  if (!key) {
    throw UsageError(quoted + ": '" + std::string(rest) +
                     "' is no scan code (0x01 to 0xFF, E0: or E1: before it for a prefix)");
  }
  press.key = *key;
  return press;
}

std::vector<KeyPress> parsePresses(std::string_view text) {
  std::vector<KeyPress> presses;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    const std::size_t end = std::min(text.find(' ', at), text.size());
    presses.push_back(parsePress(text.substr(at, end - at)));
    at = end;
  }
  return presses;
}

std::vector<KeyPress> usPressesFor(std::string_view utf8) {
  std::vector<KeyPress> presses;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto press =
        static_cast<unsigned char>(utf8[i]) < 0x80 ? usPressFor(utf8[i]) : std::nullopt;
    if (!press) {
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePointAt(utf8, i)));
      throw UsageError(std::string("no key of a US keyboard types ") + name +
                       " (use --keys for other presses)");
    }
    presses.push_back(*press);
  }
  return presses;
}

std::u16string typeThrough(const platform::KeyboardLayout& layout,
                           const std::vector<KeyPress>& presses, bool capsLock) {
  platform::TypingSession session(layout);
  session.setCapsLock(capsLock);
  for (const KeyPress& press : presses) session.chord(press.modifiers, press.key);
  return session.text();
}

}  // namespace kvar
