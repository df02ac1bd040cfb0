// What setup.exe decides: which installer package suits the running Windows,
// which message to show otherwise, and the command that starts the Windows
// Installer. The system calls come in through a small interface so that the
// same code runs against Win32 in setup.exe and against a fake in the tests.
//
// setup.exe links no C++ runtime library: this header may use only language
// features and header-only parts of the standard library (no exceptions, no
// RTTI, no allocation, no virtual functions).
#pragma once

#include <stdio.h>

#include <concepts>
#include <cstdint>

namespace setup {

// The fields of OSVERSIONINFOA that the decision reads. A failed version
// query leaves them all zero.
struct OsVersion {
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
};

// dwPlatformId values (the Windows headers' VER_PLATFORM_WIN32_WINDOWS and
// VER_PLATFORM_WIN32_NT, which are macros there).
inline constexpr std::uint32_t kPlatformWindows9x = 1;
inline constexpr std::uint32_t kPlatformWindowsNt = 2;

// Version 4.90 build 2429 in the 9x form of dwBuildNumber: the high word holds
// major and minor version, the low word the build.
inline constexpr std::uint32_t kLowestMillenniumBuild = 0x045A097D;
inline constexpr std::uint32_t kNtMajorVersion = 5;

inline constexpr char kNtPackage[] = "Kvar2000.msi";
inline constexpr char kMillenniumPackage[] = "KvarMill.msi";
inline constexpr char kInstallerCommand[] = "msiexec.exe /I ";
inline constexpr char kInstallerProgram[] = "msiexec.exe";

inline constexpr char kTitle[] = "Kvar Setup";
inline constexpr unsigned kMessageStyle = 0x30;  // MB_OK | MB_ICONWARNING
inline constexpr char kVersionMessage[] =
    "Reikia Windows 2000 arba Windows Millennium norint instaliuoti\n"
    "Millennium priedus Lietuvai.";
inline constexpr char kPackageMissingMessage[] = "Nerastas Kvar instaliavimo paketas.";
inline constexpr char kStartFailedMessage[] = "Nepavyko paleisti Windows Installer.";

// MAX_PATH: the largest system directory path we accept, with its zero.
inline constexpr unsigned kSystemDirectorySize = 260;
// The command line buffer: 15 + 12 characters and the zero fit.
inline constexpr unsigned kCommandLineSize = 32;

// The system calls the launcher makes, named after the Win32 call each wraps.
template <class T>
concept SystemCalls = requires(T system, const char* constText, char* text, unsigned size) {
  // GetVersionExA with a cleared OSVERSIONINFOA of 148 bytes.
  { system.getVersion() } -> std::same_as<OsVersion>;
  // FindFirstFileA: true when anything (a directory too) has this name in the
  // current directory. The search handle is closed again.
  { system.findFirstFile(constText) } -> std::same_as<bool>;
  // GetSystemDirectoryA: the length written, 0 on failure, or the size
  // needed when the buffer is too small.
  { system.getSystemDirectory(text, size) } -> std::same_as<unsigned>;
  // CreateProcessA with the application name and the writable command line;
  // true when the process started. Its handles are closed again.
  { system.createProcess(constText, text) } -> std::same_as<bool>;
  // MessageBoxA without owner window: text, title, style.
  { system.messageBox(constText, constText, size) } -> std::same_as<void>;
};

// The package for this Windows, or nullptr when it is not supported.
const char* choosePackage(const OsVersion& version);

// One run of the launcher; returns the exit code, 0 on every path.
template <SystemCalls System>
int runSetup(System& system) {
  const char* const package = choosePackage(system.getVersion());
  if (package == nullptr) {
    system.messageBox(kVersionMessage, kTitle, kMessageStyle);
    return 0;
  }
  if (!system.findFirstFile(package)) {
    system.messageBox(kPackageMissingMessage, kTitle, kMessageStyle);
    return 0;
  }
  // The installer is named by its full path in the system directory: left to
  // the search for "msiexec.exe", Windows would look in the launcher's own
  // directory and the current directory first, where anyone can put a file.
  char systemDirectory[kSystemDirectorySize];
  const unsigned length = system.getSystemDirectory(systemDirectory, kSystemDirectorySize);
  bool started = false;
  if (length != 0 && length < kSystemDirectorySize) {
    char applicationName[kSystemDirectorySize + sizeof kInstallerProgram];
    sprintf(applicationName, "%s\\%s", systemDirectory, kInstallerProgram);
    char commandLine[kCommandLineSize];
    sprintf(commandLine, "%s%s", kInstallerCommand, package);
    started = system.createProcess(applicationName, commandLine);
  }
  if (!started) system.messageBox(kStartFailedMessage, kTitle, kMessageStyle);
  return 0;
}

}  // namespace setup
