// The kvar program as people run it: exit codes, what it prints, one-line errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/loaded_image.h"
#include "platform/pe_file.h"
#include "platform/table_dump.h"
#include "tests/kvar/layout_files.h"

extern char** environ;

namespace kvar {
namespace {

struct Outcome {
  int exitCode;
  std::string out, err;
};

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs kvar with the arguments and collects what it printed.
Outcome kvar(std::vector<std::string> args) {
  const std::string out = std::string(KVAR_TEST_SCRATCH_DIR) + "/cli.out";
  const std::string err = std::string(KVAR_TEST_SCRATCH_DIR) + "/cli.err";
  args.insert(args.begin(), KVAR_PROGRAM);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {-1, "", "cannot start " + args[0]};
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readText(out),
          readText(err)};
}

std::size_t lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string lib(const std::string& name) {
  return test::libraryPath(name);
}

TEST(Cli, TypePrintsWhatTheLayoutDelivers) {
  // clang-format off
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"type", lib("phonkeys"), "privet"},                       "привет\n"},
      {{"type", lib("progkeys"), "`s"},                           "š\n"},
      {{"type", lib("phonkeys"), "--caps", "privet"},             "ПРИВЕТ\n"},
      {{"type", lib("stdkeys"), "--keys", "S+0x10 AltGr+0x12", "0x10"}, "Ą€ą\n"},
      {{"type", lib("progkeys"), "--keys", "C+0x1A C+0x1C"},      "<ESC><LF>\n"},
      {{"type", lib("progkeys"), "--", "-`s"},                    "-š\n"},
  };
  // clang-format on
  for (const auto& [args, out] : cases) {
    const Outcome run = kvar(args);
    EXPECT_EQ(run.exitCode, 0) << args[2] << ": " << run.err;
    EXPECT_EQ(run.out, out) << args[2];
  }
}

TEST(Cli, CheckPassesOurLibraries) {
  for (const std::string& name : test::kLayoutNames) {
    const Outcome run = kvar({"check", lib(name)});
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.out;
    EXPECT_EQ(run.out, lib(name) + ": no findings\n");
  }
}

TEST(Cli, CheckFindsAListWithoutItsTerminator) {
  const std::string broken = test::writeScratchFile("stdkeys-without-e1-terminator.dll",
                                                    test::stdkeysWithoutE1Terminator());
  const Outcome run = kvar({"check", broken});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find(broken + ": VSC_VK list pVSCtoVK_E1 at +0x"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("no terminating entry"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(Cli, CheckTellsAProgramFromALayoutLibrary) {
  const Outcome run = kvar({"check", KVAR_SETUP_EXE});
  EXPECT_EQ(run.exitCode, 1);
  for (const char* finding : {"lack IMAGE_FILE_DLL", "no entry routine", "imports nothing"}) {
    EXPECT_NE(run.out.find(finding), std::string::npos) << finding << "\n" << run.out;
  }
  const std::string noExports = "the image has no complete export directory";
  EXPECT_EQ(run.out.find(noExports), run.out.rfind(noExports)) << "said twice:\n" << run.out;
}

TEST(Cli, DumpPrintsThePlatformTableDump) {
  for (const std::string& name : test::kLayoutNames) {
    const auto image =
        platform::LoadedImage::load(platform::PeFile::parse(test::libraryBytes(name)));
    const std::string expected =
        platform::dumpTables(image, image.callDescriptor(image.exportByName("KbdLayerDescriptor")));
    const Outcome run = kvar({"dump", lib(name)});
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
    EXPECT_EQ(run.out, expected) << name;
  }
}

TEST(Cli, UnusableInputIsOneLineAndExitCode2) {
  const auto& bytes = test::libraryBytes("stdkeys");
  const std::string truncated =
      test::writeScratchFile("stdkeys-truncated.dll",
                             {bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)});
  const std::string tiny =
      test::writeScratchFile("stdkeys-100-bytes.dll", {bytes.begin(), bytes.begin() + 100});
  const std::string missing = std::string(KVAR_TEST_SCRATCH_DIR) + "/no-such.dll";
  // clang-format off
  const std::vector<std::string> cases[] = {
      {"check", truncated}, {"show", truncated}, {"dump", truncated}, {"dump", lib("stdkeys"), "x"}, {"type", truncated, "abc"}, {"check", tiny},
      {"show", tiny}, {"check", missing}, {"show", missing}, {"check", KVAR_TEST_SCRATCH_DIR},
      {}, {"frobnicate"}, {"show", "--frobnicate", lib("stdkeys")}, {"check", "--all", lib("stdkeys")},
      {"show"}, {"check"}, {"type", lib("stdkeys")}, {"type", lib("stdkeys"), "caf\xC3\xA9"},
      {"type", lib("stdkeys"), "--keys", "Q+0x10"}, {"type", lib("stdkeys"), "--keys"},
      {"type", lib("stdkeys"), "a", "b"}, {"check", lib("stdkeys"), lib("progkeys")},
      {"show", lib("stdkeys"), "--svg"},
  };
  // clang-format on
  for (const auto& args : cases) {
    const Outcome run = kvar(args);
    const std::string what = args.empty() ? "(nothing)" : args[0] + " " + args.back();
    EXPECT_EQ(run.exitCode, 2) << what;
    EXPECT_EQ(run.out, "") << what;
    if (!args.empty()) {  // without a command, kvar lists the commands
      EXPECT_EQ(lines(run.err), 1u) << what << ": " << run.err;
      EXPECT_EQ(run.err.rfind("kvar", 0), 0u) << what << ": " << run.err;
    }
  }
}

TEST(Cli, HelpForEachCommand) {
  for (const char* command : {"show", "guide", "type", "dump", "check"}) {
    const Outcome run = kvar({command, "--help"});
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_EQ(run.out.rfind(std::string("usage: kvar ") + command, 0), 0u) << run.out;
  }
  const Outcome run = kvar({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* command : {"show", "guide", "type", "dump", "check"}) {
    EXPECT_NE(run.out.find(std::string("  ") + command), std::string::npos) << command;
  }
}

TEST(Cli, ShowDrawsTheKeyboard) {
  // clang-format off
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"stdkeys",  {"Lithuanian Keyboard Layout (Standard)", "│ą", "€", "⇄", "AltGr (Ctrl+Alt)", "Backspace"}},
      {"progkeys", {"Lithuanian Keyboard Layout (Programmers)", "│`*", "│~*", "ESC", "lower right: Ctrl"}},
      {"phonkeys", {"Russian", "│я", "│Я", "№"}},
  };
  // clang-format on
  for (const auto& [name, shown] : cases) {
    const Outcome run = kvar({"show", lib(name)});
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
    for (const std::string& text : shown) {
      EXPECT_NE(run.out.find(text), std::string::npos) << name << " shows no " << text << ":\n"
                                                       << run.out;
    }
  }
}

}  // namespace
}  // namespace kvar
