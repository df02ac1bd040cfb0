// setup.exe is linked without the C runtime's startup code: the process starts
// in setupEntry, which runs WinMain and ends the process with its result.

// Included before the Windows headers so that <stdio.h> comes in first and
// sprintf binds to msvcrt.dll's; the Windows headers pull in libstdc++ headers
// that would switch it to mingw's own implementation, which is not linked.
#include "win32_system.h"
// The Windows headers.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  setup::Win32System system;
  return setup::runSetup(system);
}

// Windows enters a process with the stack aligned to 4 bytes only.
extern "C" [[noreturn]] __attribute__((force_align_arg_pointer)) void setupEntry() {
  // setup takes no arguments, so WinMain gets an empty command line.
  static char noArguments[] = "";
  ExitProcess(
      static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWDEFAULT)));
}
