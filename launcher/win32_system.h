// The launcher's system calls bound to Win32, ANSI forms only.
#pragma once

#include "decisions.h"

namespace setup {

struct Win32System {
  OsVersion getVersion();
  bool findFirstFile(const char* name);
  unsigned getSystemDirectory(char* buffer, unsigned size);
  bool createProcess(const char* applicationName, char* commandLine);
  void messageBox(const char* text, const char* title, unsigned style);
};

static_assert(SystemCalls<Win32System>);

}  // namespace setup
