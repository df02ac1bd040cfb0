// What the packages must carry and register, as the tests expect it.
//
// KVAR_LIBRARIES and KVAR_GUIDE (compile definitions) name the files the
// build puts into the packages, joined by commas; kRegistrations says how
// Kvar2000.msi registers each layout library.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace packaging {

struct Registration {
  std::string library;     // "stdkeys.dll", also the value of "Layout File"
  std::string key;         // under HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts
  std::string layoutText;  // "Layout Text"
  std::string layoutId;    // "Layout Id"
};

// clang-format off
inline const std::vector<Registration> kRegistrations = {
  {"stdkeys.dll",  "a0000427", "Lithuanian Standard",    "0a01"},
  {"progkeys.dll", "a0010427", "Lithuanian Programmers", "0a02"},
  {"phonkeys.dll", "a0000419", "Russian Phonetic",       "0a03"},
};
// clang-format on

inline constexpr std::string_view kKeyboardLayouts =
    "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

inline std::vector<std::string> splitList(std::string_view joined) {
  std::vector<std::string> items;
  while (!joined.empty()) {
    const std::size_t comma = joined.find(',');
    items.emplace_back(joined.substr(0, comma));
    if (comma == std::string_view::npos) break;
    joined.remove_prefix(comma + 1);
  }
  return items;
}

inline const std::vector<std::string> kLibraries = splitList(KVAR_LIBRARIES);
inline const std::vector<std::string> kGuide = splitList(KVAR_GUIDE);

// The registration of a library the packages carry; throws if there is none.
inline const Registration& registrationOf(const std::string& library) {
  for (const Registration& registration : kRegistrations) {
    if (registration.library == library) return registration;
  }
  throw std::runtime_error("no registration for " + library);
}

}  // namespace packaging
