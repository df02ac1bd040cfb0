// setup.exe under Wine: every Windows version the launcher tells apart, with
// the package in every place it may be. The calls the launcher makes and
// their arguments come from Wine's relay trace, the process it starts from
// the process trace. One prefix serves the whole run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "wine_suite.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSetupExe = KVAR_SETUP_EXE;

const std::vector<std::string> kTraced = {"GetVersionExA",       "FindFirstFileA", "FindClose",
                                          "GetSystemDirectoryA", "CreateProcessA", "CloseHandle",
                                          "MessageBoxA"};

// Where setup.exe lies in memory, from its image header: Wine loads an
// executable at its ImageBase. Calls returning into this range are its own.
struct ImageRange {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
};

ImageRange imageRange(const fs::path& exe) {
  std::ifstream in(exe, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  const auto u32 = [&](std::size_t at) {
    return at + 4 <= bytes.size()
               ? std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
                     std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24
               : 0;
  };
  const std::uint32_t optionalHeader = u32(0x3C) + 24;  // after "PE\0\0" and the file header
  const std::uint32_t imageBase = u32(optionalHeader + 28);
  return {imageBase, imageBase + u32(optionalHeader + 56)};  // SizeOfImage
}

struct Version {
  const char* name;
  const char* winecfg;
  const char* versionNumber;  // "" keeps the one winecfg sets
  const char* looksFor;       // the package of this platform
  bool accepted;
};

// clang-format off
const Version kVersions[] = {
  {"Windows2000",    "win2k",   "",          "Kvar2000.msi", true},   // NT 5.0
  {"WindowsXp",      "winxp",   "",          "Kvar2000.msi", true},   // NT 5.1
  {"Windows2003",    "win2003", "",          "Kvar2000.msi", true},   // NT 5.2
  {"Nt4",            "nt40",    "",          "Kvar2000.msi", false},  // NT 4.0
  {"Vista",          "vista",   "",          "Kvar2000.msi", false},  // NT 6.0
  {"Windows7",       "win7",    "",          "Kvar2000.msi", false},  // NT 6.1
  {"Windows98",      "win98",   "",          "KvarMill.msi", false},  // 9x 0x040A08AE
  {"Millennium3000", "winme",   "",          "KvarMill.msi", true},   // 9x 0x045A0BB8
  {"Millennium2429", "winme",   "4.90.2429", "KvarMill.msi", true},   // 9x 0x045A097D
  {"Millennium2428", "winme",   "4.90.2428", "KvarMill.msi", false},  // 9x 0x045A097C
};
// clang-format on

enum class Place { CurrentDirectory, Nowhere, BesideLauncher, AsDirectory, OtherPackageOnly };

const char* placeName(Place place) {
  switch (place) {
    case Place::CurrentDirectory:
      return "InCurrentDirectory";
    case Place::Nowhere:
      return "Missing";
    case Place::BesideLauncher:
      return "BesideLauncherOnly";
    case Place::AsDirectory:
      return "AsDirectory";
    case Place::OtherPackageOnly:
      return "OtherPackageOnly";
  }
  return "";
}

const std::string kVersionBox =
    "MessageBoxA 0 | Reikia Windows 2000 arba Windows Millennium norint instaliuoti\n"
    "Millennium priedus Lietuvai. | Kvar Setup | 0x30";
const std::string kMissingBox =
    "MessageBoxA 0 | Nerastas Kvar instaliavimo paketas. | Kvar Setup | 0x30";
const std::string kStartFailedBox =
    "MessageBoxA 0 | Nepavyko paleisti Windows Installer. | Kvar Setup | 0x30";
const std::string kInstaller = "C:\\windows\\system32\\msiexec.exe";

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%#x", value);
  return text;
}

// One traced call as a line: the arguments that matter, not the addresses.
std::string describe(const wine::RelayCall& call) {
  const std::string name = call.function.substr(call.function.find('.') + 1);
  const auto& args = call.arguments;
  const auto text = [&](std::size_t i) {
    return i < args.size() && args[i].text ? *args[i].text : std::string("(no text)");
  };
  const auto value = [&](std::size_t i) { return i < args.size() ? hex(args[i].value) : "(none)"; };
  if (name == "FindFirstFileA") return name + " " + text(0);
  if (name == "GetSystemDirectoryA") return name + " " + value(1);
  if (name == "MessageBoxA") {
    return name + " " + value(0) + " | " + text(1) + " | " + text(2) + " | " + value(3);
  }
  if (name == "CreateProcessA") {
    std::string line = name + " " + text(0) + " | " + text(1) + " |";
    for (std::size_t i = 2; i < 8; ++i) line += " " + value(i);  // all 0
    return line;
  }
  return name;
}

std::vector<std::string> startCalls(const std::string& package) {
  return {"GetVersionExA",
          "FindFirstFileA " + package,
          "FindClose",
          "GetSystemDirectoryA 0x104",
          "CreateProcessA " + kInstaller + " | msiexec.exe /I " + package + " | 0 0 0 0 0 0",
          "CloseHandle",
          "CloseHandle"};
}

struct Case {
  Version version;
  Place place;
  bool startFails = false;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.version.name << " " << placeName(c.place) << (c.startFails ? " start fails" : "");
}

class SetupUnderWine : public wine::WineSuite<testing::TestWithParam<Case>> {
 protected:
  static void SetUpTestSuite() {
    makePrefix([](wine::WinePrefix& prefix) { prefix.traceCalls(kTraced); });
  }

  void SetUp() override {
    WineSuite::SetUp();
    if (HasFatalFailure()) return;
    const Version& version = GetParam().version;
    const std::string wanted = std::string(version.winecfg) + " " + version.versionNumber;
    if (wanted != currentVersion_) {
      currentVersion_.clear();
      ASSERT_NO_THROW(wine_->setWindowsVersion(version.winecfg, version.versionNumber));
      currentVersion_ = wanted;
    }
  }

  static std::string currentVersion_;
};

std::string SetupUnderWine::currentVersion_;

TEST_P(SetupUnderWine, DecidesAsOnWindows) {
  const Case& c = GetParam();
  const std::string package = c.version.looksFor;
  const std::string other = package == "Kvar2000.msi" ? "KvarMill.msi" : "Kvar2000.msi";

  // The launcher and the current directory apart; a planted msiexec.exe in
  // both must never be what runs.
  const fs::path dir =
      wine_->scratch() / testing::UnitTest::GetInstance()->current_test_info()->name();
  const fs::path launcher = dir / "launcher";
  const fs::path current = dir / "current";
  fs::create_directories(launcher);
  fs::create_directories(current);
  fs::copy_file(kSetupExe, launcher / "setup.exe");
  fs::copy_file(kSetupExe, launcher / "msiexec.exe");
  fs::copy_file(kSetupExe, current / "msiexec.exe");
  switch (c.place) {
    case Place::CurrentDirectory:
      fs::copy_file(kSetupExe, current / package);
      break;
    case Place::Nowhere:
      break;
    case Place::BesideLauncher:
      fs::copy_file(kSetupExe, launcher / package);
      break;
    case Place::AsDirectory:
      fs::create_directory(current / package);
      break;
    case Place::OtherPackageOnly:
      fs::copy_file(kSetupExe, current / other);
      break;
  }

  std::vector<std::pair<std::string, std::string>> environment;
  if (c.startFails) environment.emplace_back("WINEDLLOVERRIDES", "mscoree,mshtml=;msiexec.exe=d");
  const wine::WineRun run = wine_->run({"wine", (launcher / "setup.exe").string()}, current,
                                       "+relay,+process", environment);
  EXPECT_EQ(run.exitCode, 0);

  // Wine's own DLLs make some of the same calls, in this process and in the
  // installer it starts.
  static const ImageRange image = imageRange(kSetupExe);
  ASSERT_LT(image.begin, image.end);
  std::vector<std::string> calls;
  std::string thread;
  for (const auto& call : wine::relayCalls(run.output)) {
    if (call.returnAddress < image.begin || call.returnAddress >= image.end) continue;
    if (thread.empty()) thread = call.thread;
    calls.push_back(describe(call));
  }
  ASSERT_FALSE(calls.empty()) << run.output;
  std::vector<wine::StartedProcess> installers;
  for (const auto& process : wine::startedProcesses(run.output)) {
    if (process.thread == thread && process.image.ends_with("msiexec.exe")) {
      installers.push_back(process);
    }
  }

  const bool found = c.place == Place::CurrentDirectory || c.place == Place::AsDirectory;
  std::vector<std::string> expected;
  if (!c.version.accepted) {
    expected = {"GetVersionExA", kVersionBox};
  } else if (!found) {
    expected = {"GetVersionExA", "FindFirstFileA " + package, kMissingBox};
  } else if (c.startFails) {
    expected = startCalls(package);
    expected.resize(5);  // no handles to close
    expected.push_back(kStartFailedBox);
  } else {
    expected = startCalls(package);
  }
  EXPECT_EQ(calls, expected);

  // The installer the platform was asked for is the one the system directory
  // holds, with the exact command line.
  if (c.version.accepted && found) {
    ASSERT_EQ(installers.size(), 1u);
    EXPECT_EQ(installers[0].image, kInstaller);
    EXPECT_EQ(installers[0].commandLine, "msiexec.exe /I " + package);
  } else {
    EXPECT_TRUE(installers.empty());
  }
}

std::vector<Case> matrix() {
  std::vector<Case> cases;
  for (const Version& version : kVersions) {
    for (const Place place : {Place::CurrentDirectory, Place::Nowhere, Place::BesideLauncher,
                              Place::AsDirectory, Place::OtherPackageOnly}) {
      cases.push_back({version, place});
    }
  }
  // The installer cannot be started: Wine is told not to load msiexec.exe.
  cases.push_back({kVersions[0], Place::CurrentDirectory, true});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Matrix, SetupUnderWine, testing::ValuesIn(matrix()), [](const auto& test) {
  return std::string(test.param.version.name) + "_" + placeName(test.param.place) +
         (test.param.startFails ? "_StartFails" : "");
});

}  // namespace
