#include "win32_system.h"

#include <windows.h>

namespace setup {

// The plain records of the oldest systems the launcher starts on.
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(STARTUPINFOA) == 68);

OsVersion Win32System::getVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  // On failure the record stays cleared, and platform 0 is rejected.
  GetVersionExA(&info);
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId};
}

bool Win32System::findFirstFile(const char* name) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(name, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

unsigned Win32System::getSystemDirectory(char* buffer, unsigned size) {
  return GetSystemDirectoryA(buffer, size);
}

bool Win32System::createProcess(const char* applicationName, char* commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(applicationName, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Win32System::messageBox(const char* text, const char* title, unsigned style) {
  MessageBoxA(nullptr, text, title, style);
}

}  // namespace setup
