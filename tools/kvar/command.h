// The subcommands of kvar. Each takes its own arguments (the command name
// not included), writes its answer to standard output and returns the exit
// code: 0 fine, 1 findings, 2 unusable input or arguments.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvar {

using Args = std::vector<std::string_view>;

inline constexpr int kExitFine = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitUnusable = 2;

// Arguments the command cannot use; main prints the message and the hint to
// run --help, and exits with kExitUnusable.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Command {
  std::string_view name;
  std::string_view summary;
  std::string_view help;  // printed by `kvar NAME --help`
  int (*run)(const Args& args);
};

int runShow(const Args& args);
int runGuide(const Args& args);
int runType(const Args& args);
int runDump(const Args& args);
int runCheck(const Args& args);

// Writes `text` to `path`; throws InputError when it cannot.
void writeFile(const std::string& path, const std::string& text);

}  // namespace kvar
