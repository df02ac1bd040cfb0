#include "platform/table_dump.h"

#include <cstdio>
#include <string_view>

#include "layouts/common/kbd.h"

namespace platform {
namespace {

using namespace kbd;

class Dump {
 public:
  Dump(const LoadedImage& image, std::string& out) : image_(image), out_(out) {}

  void tables(DWORD t) {
    line("KBDTABLES", t);
    const DWORD modifiers = pointer(t + KBDTABLES::pCharModifiers, "pCharModifiers");
    const DWORD charTables = pointer(t + KBDTABLES::pVkToWcharTable, "pVkToWcharTable");
    const DWORD deadKeys = pointer(t + KBDTABLES::pDeadKey, "pDeadKey");
    const DWORD keyNames = pointer(t + KBDTABLES::pKeyNames, "pKeyNames");
    const DWORD keyNamesExt = pointer(t + KBDTABLES::pKeyNamesExt, "pKeyNamesExt");
    const DWORD keyNamesDead = pointer(t + KBDTABLES::pKeyNamesDead, "pKeyNamesDead");
    const DWORD scanCodes = pointer(t + KBDTABLES::pusVSCtoVK, "pusVSCtoVK");
    const BYTE scanCodeCount = byte(t + KBDTABLES::bMaxVSCtoVK, "bMaxVSCtoVK");
    const DWORD scanCodesE0 = pointer(t + KBDTABLES::pVSCtoVK_E0, "pVSCtoVK_E0");
    const DWORD scanCodesE1 = pointer(t + KBDTABLES::pVSCtoVK_E1, "pVSCtoVK_E1");
    dword(t + KBDTABLES::fLocaleFlags, "fLocaleFlags");
    end();

    modifierSet(modifiers);
    characterTables(charTables);
    if (deadKeys != 0) deadKeyList(deadKeys);
    keyNameList("pKeyNames", keyNames);
    keyNameList("pKeyNamesExt", keyNamesExt);
    if (keyNamesDead != 0) deadKeyNameList(keyNamesDead);
    for (DWORD s = 0; s < scanCodeCount; ++s) {
      const DWORD at = scanCodes + 2 * s;
      line("pusVSCtoVK USHORT", at);
      char name[4];
      std::snprintf(name, sizeof name, "T%02X", static_cast<unsigned>(s));
      word(at, name);
      end();
    }
    scanCodeList("pVSCtoVK_E0", scanCodesE0);
    scanCodeList("pVSCtoVK_E1", scanCodesE1);
  }

 private:
  void modifierSet(DWORD m) {
    line("pCharModifiers MODIFIERS", m);
    const DWORD vkToBit = pointer(m + MODIFIERS::pVkToBit, "pVkToBit");
    const WORD maxModBits = word(m + MODIFIERS::wMaxModBits, "wMaxModBits");
    out_ += " ModNumber=";
    for (DWORD i = 0; i <= maxModBits; ++i) {
      if (i != 0) out_ += ',';
      hex(image_.u8(m + MODIFIERS::ModNumber + i), 2);
    }
    end();
    for (DWORD b = vkToBit;; b += VK_TO_BIT::size) {
      line("pVkToBit VK_TO_BIT", b);
      const BYTE vk = byte(b + VK_TO_BIT::Vk, "Vk");
      byte(b + VK_TO_BIT::ModBits, "ModBits");
      end();
      if (vk == 0) break;
    }
  }

  void characterTables(DWORD list) {
    DWORD e = list;
    for (;; e += VK_TO_WCHAR_TABLE::size) {
      line("pVkToWcharTable VK_TO_WCHAR_TABLE", e);
      const DWORD rows = pointer(e + VK_TO_WCHAR_TABLE::pVkToWchars, "pVkToWchars");
      byte(e + VK_TO_WCHAR_TABLE::nModifications, "nModifications");
      byte(e + VK_TO_WCHAR_TABLE::cbSize, "cbSize");
      end();
      if (rows == 0) break;
    }
    for (DWORD n = 0; list + n * VK_TO_WCHAR_TABLE::size < e; ++n) {
      const DWORD entry = list + n * VK_TO_WCHAR_TABLE::size;
      const DWORD cells = image_.u8(entry + VK_TO_WCHAR_TABLE::nModifications);
      const std::string where =
          "pVkToWchars[" + std::to_string(n) + "] VK_TO_WCHARS" + std::to_string(cells);
      // Rows are walked by their record size, which cbSize repeats.
      for (DWORD row = image_.u32(entry + VK_TO_WCHAR_TABLE::pVkToWchars);;
           row += VK_TO_WCHARS::sizeFor(cells)) {
        line(where, row);
        const BYTE vk = byte(row + VK_TO_WCHARS::VirtualKey, "VirtualKey");
        byte(row + VK_TO_WCHARS::Attributes, "Attributes");
        out_ += " wch=";
        for (DWORD i = 0; i < cells; ++i) {
          if (i != 0) out_ += ',';
          hex(image_.u16(row + VK_TO_WCHARS::wch + 2 * i), 4);
        }
        end();
        if (vk == 0) break;
      }
    }
  }

  void deadKeyList(DWORD d) {
    for (;; d += DEADKEY::size) {
      line("pDeadKey DEADKEY", d);
      const DWORD both = dword(d + DEADKEY::dwBoth, "dwBoth");
      word(d + DEADKEY::wchComposed, "wchComposed");
      word(d + DEADKEY::uFlags, "uFlags");
      end();
      if (both == 0) break;
    }
  }

  void keyNameList(std::string_view list, DWORD e) {
    for (;; e += VSC_LPWSTR::size) {
      line(std::string(list) + " VSC_LPWSTR", e);
      const BYTE vsc = byte(e + VSC_LPWSTR::vsc, "vsc");
      const DWORD name = pointer(e + VSC_LPWSTR::pwsz, "pwsz");
      if (name != 0) string(name);
      end();
      if (vsc == 0) break;
    }
  }

  void deadKeyNameList(DWORD p) {
    for (;; p += kDeadKeyNameSize) {
      line("pKeyNamesDead LPWSTR", p);
      const DWORD name = pointer(p, "pwsz");
      if (name != 0) string(name);
      end();
      if (name == 0) break;
    }
  }

  void scanCodeList(std::string_view list, DWORD e) {
    for (;; e += VSC_VK::size) {
      line(std::string(list) + " VSC_VK", e);
      const BYTE vsc = byte(e + VSC_VK::Vsc, "Vsc");
      word(e + VSC_VK::Vk, "Vk");
      end();
      if (vsc == 0) break;
    }
  }

  // The start of a record's line: where it was reached from and its offset.
  void line(std::string_view where, DWORD at) {
    out_ += where;
    out_ += ' ';
    offset(at);
  }
  void end() { out_ += '\n'; }

  DWORD pointer(DWORD at, std::string_view name) {
    const DWORD value = image_.u32(at);
    label(name);
    if (value == 0) {
      out_ += "null";
    } else {
      offset(value);
    }
    return value;
  }
  BYTE byte(DWORD at, std::string_view name) {
    const BYTE value = image_.u8(at);
    label(name);
    hex(value, 2);
    return value;
  }
  WORD word(DWORD at, std::string_view name) {
    const WORD value = image_.u16(at);
    label(name);
    hex(value, 4);
    return value;
  }
  DWORD dword(DWORD at, std::string_view name) {
    const DWORD value = image_.u32(at);
    label(name);
    hex(value, 8);
    return value;
  }

  void string(DWORD at) {
    out_ += " \"";
    for (char16_t c : image_.wstring(at)) {
      if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\') {
        out_ += static_cast<char>(c);
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out_ += escaped;
      }
    }
    out_ += '"';
  }

  void label(std::string_view name) {
    out_ += ' ';
    out_ += name;
    out_ += '=';
  }
  void offset(DWORD address) {
    out_ += '+';
    hex(address - image_.base(), 8);
  }
  void hex(DWORD value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, static_cast<unsigned>(value));
    out_ += text;
  }

  const LoadedImage& image_;
  std::string& out_;
};

}  // namespace

std::string dumpTables(const LoadedImage& image, std::uint32_t kbdTables) {
  std::string out;
  Dump(image, out).tables(kbdTables);
  return out;
}

}  // namespace platform
