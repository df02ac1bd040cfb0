#include "wine_prefix.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace wine {
namespace {

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : separator) + word;
  return text;
}

// Spawns command with the environment changed as given (an empty value
// removes the variable), output to outputFile; returns the exit status.
int spawn(const std::vector<std::string>& command, const std::filesystem::path& directory,
          const std::vector<std::pair<std::string, std::string>>& changes,
          const std::filesystem::path& outputFile) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view variable = *entry;
    const std::string_view name = variable.substr(0, variable.find('='));
    bool changed = false;
    for (const auto& change : changes) changed = changed || change.first == name;
    if (!changed) environment.emplace_back(variable);
  }
  for (const auto& [name, value] : changes) {
    if (!value.empty()) environment.push_back(name + "=" + value);
  }

  std::vector<char*> argv;
  for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  pid_t pid;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    throw std::runtime_error("cannot start " + command[0] + ": " + std::strerror(error));
  }
  int status;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed for " + command[0]);
  }
  if (!WIFEXITED(status)) throw std::runtime_error(joined(command, " ") + " was killed");
  return WEXITSTATUS(status);
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a string as Wine's debugstr_a and debugstr_w write it, from the
// opening quote; returns the text and moves `at` past the closing quote.
// Characters beyond 8 bits come back as '?'.
std::string quoted(std::string_view line, std::size_t& at) {
  const int hexDigits = at > 0 && line[at - 1] == 'L' ? 4 : 2;
  std::string text;
  for (++at; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] != '\\' || at + 1 >= line.size()) {
      text += line[at];
      continue;
    }
    const char escape = line[++at];
    switch (escape) {
      case 'n':
        text += '\n';
        break;
      case 'r':
        text += '\r';
        break;
      case 't':
        text += '\t';
        break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        while (digits < hexDigits && at + 1 < line.size() && hexDigit(line[at + 1]) >= 0) {
          value = value * 16 + static_cast<unsigned>(hexDigit(line[++at]));
          ++digits;
        }
        text += digits > 0 && value <= 0xFF ? static_cast<char>(value) : '?';
        break;
      }
      default:
        text += escape;  // \\ and \"
    }
  }
  ++at;
  return text;
}

}  // namespace

WinePrefix::WinePrefix() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kvar-wine-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary directory in " + pattern);
  }
  root_ = pattern;
  prefix_ = root_ / "prefix";
  std::filesystem::create_directory(scratch());
  std::filesystem::create_directory(root_ / "tmp");
  runTool({"wineboot", "-i"});
}

WinePrefix::~WinePrefix() {
  // Stops what runs in this prefix (an installer a test started, say) and
  // waits for the server to go; a server that has already ended is fine.
  try {
    run({"wineserver", "-k"}, root_);
    run({"wineserver", "-w"}, root_);
  } catch (const std::exception&) {
    // Nothing to stop.
  }
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void WinePrefix::runTool(const std::vector<std::string>& command) {
  const WineRun result = run(command, root_);
  if (result.exitCode != 0) {
    throw std::runtime_error(joined(command, " ") + " failed with exit code " +
                             std::to_string(result.exitCode) + ":\n" + result.output);
  }
}

void WinePrefix::setWindowsVersion(const std::string& name, const std::string& versionNumber) {
  runTool({"wine", "winecfg", "/v", name});
  if (!versionNumber.empty()) {
    setRegistryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber",
                     versionNumber);
  }
}

void WinePrefix::setRegistryValue(const std::string& key, const std::string& name,
                                  const std::string& data) {
  runTool({"wine", "reg", "add", key, "/v", name, "/d", data, "/f"});
}

void WinePrefix::traceCalls(const std::vector<std::string>& functions) {
  setRegistryValue("HKCU\\Software\\Wine\\Debug", "RelayInclude", joined(functions, ";"));
}

WineRun WinePrefix::run(const std::vector<std::string>& command,
                        const std::filesystem::path& workingDirectory, const std::string& wineDebug,
                        const std::vector<std::pair<std::string, std::string>>& environment) {
  std::vector<std::pair<std::string, std::string>> changes = {
      {"WINEPREFIX", prefix_.string()},
      {"WINEARCH", "win32"},
      {"WINEDEBUG", wineDebug},
      {"WINEDLLOVERRIDES", "mscoree,mshtml="},
      {"DISPLAY", ""},
      {"WAYLAND_DISPLAY", ""},
      // The server's socket directory, removed with the rest.
      {"TMPDIR", (root_ / "tmp").string()},
  };
  changes.insert(changes.end(), environment.begin(), environment.end());
  const auto outputFile = root_ / "output.txt";
  WineRun result;
  result.exitCode = spawn(command, workingDirectory, changes, outputFile);
  result.output = readFile(outputFile);
  return result;
}

std::vector<RelayCall> relayCalls(std::string_view trace) {
  std::vector<RelayCall> calls;
  std::size_t start = 0;
  while (start < trace.size()) {
    std::size_t end = trace.find('\n', start);
    if (end == std::string_view::npos) end = trace.size();
    const std::string_view line = trace.substr(start, end - start);
    start = end + 1;

    // 0024:Call KERNEL32.GetVersionExA(0060fe6c) ret=00401038
    const std::size_t call = line.find(":Call ");
    const std::size_t open = line.find('(');
    const std::size_t ret = line.rfind(") ret=");
    if (call == std::string_view::npos || open == std::string_view::npos || open < call ||
        ret == std::string_view::npos || ret < open) {
      continue;
    }
    const std::string_view function = line.substr(call + 6, open - call - 6);
    if (function.find('.') == std::string_view::npos ||
        function.find(' ') != std::string_view::npos) {
      continue;  // "Call PE DLL (...)", "Call window proc ..."
    }
    RelayCall relayed{std::string(line.substr(0, line.find(':'))), std::string(function), {}};
    std::size_t at = open + 1;
    while (at < line.size() && line[at] != ')') {
      RelayArgument argument;
      const std::size_t digits = line.find_first_not_of("0123456789abcdefABCDEF", at);
      if (digits == at || digits == std::string_view::npos) break;
      argument.value = static_cast<std::uint32_t>(
          std::stoul(std::string(line.substr(at, digits - at)), nullptr, 16));
      at = digits;
      if (at + 1 < line.size() && line[at] == ' ') {
        ++at;
        if (line[at] == 'L') ++at;
        if (line[at] == '"') argument.text = quoted(line, at);
      }
      relayed.arguments.push_back(std::move(argument));
      if (at < line.size() && line[at] == ',') ++at;
    }
    relayed.returnAddress =
        static_cast<std::uint32_t>(std::stoul(std::string(line.substr(ret + 6, 8)), nullptr, 16));
    calls.push_back(std::move(relayed));
  }
  return calls;
}

std::vector<StartedProcess> startedProcesses(std::string_view trace) {
  // ...:trace:process:NtCreateUserProcess L"\\??\\C:\\x.exe" image L"C:\\x.exe" cmdline L"x" parent
  std::vector<StartedProcess> processes;
  std::size_t start = 0;
  while ((start = trace.find(":NtCreateUserProcess ", start)) != std::string_view::npos) {
    const std::size_t lineStart = trace.rfind('\n', start) + 1;  // npos + 1 is 0
    std::size_t end = trace.find('\n', start);
    if (end == std::string_view::npos) end = trace.size();
    const std::string_view line = trace.substr(start, end - start);
    const std::string_view whole = trace.substr(lineStart, end - lineStart);
    start = end;
    const std::size_t image = line.find(" image L\"");
    const std::size_t commandLine = line.find(" cmdline L\"");
    if (image == std::string_view::npos || commandLine == std::string_view::npos) continue;
    std::size_t at = image + 8;
    StartedProcess process;
    process.thread = std::string(whole.substr(0, whole.find(':')));
    process.image = quoted(line, at);
    at = commandLine + 10;
    process.commandLine = quoted(line, at);
    processes.push_back(std::move(process));
  }
  return processes;
}

}  // namespace wine
