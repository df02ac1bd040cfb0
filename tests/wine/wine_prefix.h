// Helpers for tests that run Windows programs under Wine.
//
//   WinePrefix wine;  // a fresh 32-bit prefix (WINEARCH=win32, wineboot -i)
//                     // in a temporary directory that also holds Wine's own
//                     // temporary files; the destructor stops its wineserver
//                     // and removes the directory
//   wine.setWindowsVersion("winme", "4.90.2429");  // what GetVersionExA says
//   wine.traceCalls({"GetVersionExA", "MessageBoxA"});
//   WineRun run = wine.run({"/path/to/setup.exe"}, workingDirectory, "+relay,+process");
//   run.exitCode;                  // the Windows process's exit code
//   relayCalls(run.output);        // the traced calls with their arguments
//   startedProcesses(run.output);  // the processes it created
//
// DISPLAY is unset for every Wine process, so a message box returns at once
// and no run waits for a person. Runs that follow each other closely share
// one wineserver and its session; it ends a few seconds after the last one. Mono and Gecko are
// never installed. Make one prefix per test program and reuse it across cases: creating one takes
// about 20 seconds, a run well under one. Failures of Wine itself throw
// std::runtime_error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wine {

struct WineRun {
  int exitCode = -1;
  std::string output;  // standard output and error, with the debug traces
};

class WinePrefix {
 public:
  WinePrefix();
  ~WinePrefix();
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;

  // The prefix directory (WINEPREFIX); its drive C: is path() / "drive_c".
  const std::filesystem::path& path() const { return prefix_; }
  // A directory of the temporary tree for the test's own files; Wine sees
  // it through drive Z:.
  std::filesystem::path scratch() const { return root_ / "scratch"; }

  // The Windows version by winecfg's name: "win2k", "winxp", "win2003",
  // "nt40", "vista", "win7", "win98", "winme", ... For the 9x versions,
  // versionNumber ("4.90.2429") replaces the version, release and build that
  // GetVersionExA reports: dwBuildNumber becomes 0x045A097D.
  void setWindowsVersion(const std::string& name, const std::string& versionNumber = "");

  // reg add KEY /v NAME /d DATA /f (a REG_SZ value).
  void setRegistryValue(const std::string& key, const std::string& name, const std::string& data);

  // Restricts the +relay trace to these functions. Calls from every module
  // are traced, Wine's own DLLs included: RelayCall::returnAddress tells the
  // program's own calls apart.
  void traceCalls(const std::vector<std::string>& functions);

  // Runs `wine command...` in workingDirectory with WINEDEBUG=wineDebug and
  // any extra environment variables.
  WineRun run(const std::vector<std::string>& command,
              const std::filesystem::path& workingDirectory, const std::string& wineDebug = "-all",
              const std::vector<std::pair<std::string, std::string>>& environment = {});

 private:
  // Runs a Wine tool and throws unless it exits with 0.
  void runTool(const std::vector<std::string>& command);

  std::filesystem::path root_;
  std::filesystem::path prefix_;
};

// One argument of a relayed call: its value and, where Wine shows one, the
// string it points to (escapes undone).
struct RelayArgument {
  std::uint32_t value = 0;
  std::optional<std::string> text;
};

// One "Call DLL.Function(arguments)" line of a +relay trace. Child processes
// write to the same trace: keep to the thread of the program under test.
struct RelayCall {
  std::string thread;    // Wine's thread id, as the line starts: "0024"
  std::string function;  // "KERNEL32.CreateProcessA", as Wine names it
  std::vector<RelayArgument> arguments;
  std::uint32_t returnAddress = 0;  // in the module that made the call
};

std::vector<RelayCall> relayCalls(std::string_view trace);

// A process created, from the +process trace of NtCreateUserProcess.
struct StartedProcess {
  std::string thread;       // the creating thread, as in RelayCall
  std::string image;        // C:\windows\system32\msiexec.exe
  std::string commandLine;  // as the new process receives it
};

std::vector<StartedProcess> startedProcesses(std::string_view trace);

}  // namespace wine
