// The launcher's decisions against a fake of its system calls: every case
// checks the whole sequence of calls with their arguments, and exit code 0.
#include "decisions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using setup::OsVersion;

// Records each call as one line: the Win32 call's name and its arguments.
struct FakeSystem {
  OsVersion version;
  std::set<std::string> names;  // what the current directory holds
  std::string systemDirectory = "C:\\WINNT\\system32";
  bool systemDirectoryFails = false;
  bool startFails = false;
  std::vector<std::string> calls;

  OsVersion getVersion() {
    calls.push_back("GetVersionExA");
    return version;
  }
  bool findFirstFile(const char* name) {
    calls.push_back(std::string("FindFirstFileA ") + name);
    return names.contains(name);
  }
  unsigned getSystemDirectory(char* buffer, unsigned size) {
    calls.push_back("GetSystemDirectoryA " + std::to_string(size));
    if (systemDirectoryFails) return 0;
    const auto length = static_cast<unsigned>(systemDirectory.size());
    if (length >= size) return length + 1;
    std::memcpy(buffer, systemDirectory.c_str(), length + 1);
    return length;
  }
  bool createProcess(const char* applicationName, char* commandLine) {
    calls.push_back(std::string("CreateProcessA ") + applicationName + " | " + commandLine);
    return !startFails;
  }
  void messageBox(const char* text, const char* title, unsigned style) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%#x", style);
    calls.push_back(std::string("MessageBoxA ") + text + " | " + title + " | " + hex);
  }
};

static_assert(setup::SystemCalls<FakeSystem>);

const std::string kVersionBox =
    "MessageBoxA Reikia Windows 2000 arba Windows Millennium norint instaliuoti\n"
    "Millennium priedus Lietuvai. | Kvar Setup | 0x30";
const std::string kMissingBox =
    "MessageBoxA Nerastas Kvar instaliavimo paketas. | Kvar Setup | 0x30";
const std::string kStartFailedBox =
    "MessageBoxA Nepavyko paleisti Windows Installer. | Kvar Setup | 0x30";

constexpr std::uint32_t k9x = 1;
constexpr std::uint32_t kNt = 2;

std::vector<std::string> startsInstaller(const std::string& package) {
  return {"GetVersionExA", "FindFirstFileA " + package, "GetSystemDirectoryA 260",
          "CreateProcessA C:\\WINNT\\system32\\msiexec.exe | msiexec.exe /I " + package};
}
std::vector<std::string> packageMissing(const std::string& package) {
  return {"GetVersionExA", "FindFirstFileA " + package, kMissingBox};
}
const std::vector<std::string> kVersionRejected = {"GetVersionExA", kVersionBox};

const std::set<std::string> kBoth = {"Kvar2000.msi", "KvarMill.msi"};

struct Case {
  const char* name;
  OsVersion version;
  std::set<std::string> names;
  std::vector<std::string> calls;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << c.name;
}

// clang-format off
const Case kCases[] = {
  // Windows 9x: the build value decides alone, compared without sign.
  {"Millennium2429",    {4, 90, 0x045A097D, k9x}, kBoth, startsInstaller("KvarMill.msi")},
  {"Millennium2428",    {4, 90, 0x045A097C, k9x}, kBoth, kVersionRejected},
  {"Windows98",         {4, 10, 0x040A08AE, k9x}, kBoth, kVersionRejected},
  {"BuildAllOnes",      {4, 90, 0xFFFFFFFF, k9x}, kBoth, startsInstaller("KvarMill.msi")},
  {"NineXMajor5",       {5, 0,  0x040A08AE, k9x}, kBoth, kVersionRejected},
  // Windows NT: major version 5 exactly, whatever the minor version.
  {"Nt4",               {4, 0,  1381, kNt},       kBoth, kVersionRejected},
  {"Windows2000",       {5, 0,  2195, kNt},       kBoth, startsInstaller("Kvar2000.msi")},
  {"WindowsXp",         {5, 1,  2600, kNt},       kBoth, startsInstaller("Kvar2000.msi")},
  {"Windows2003",       {5, 2,  3790, kNt},       kBoth, startsInstaller("Kvar2000.msi")},
  {"Vista",             {6, 0,  6000, kNt},       kBoth, kVersionRejected},
  {"Windows10",         {10, 0, 19045, kNt},      kBoth, kVersionRejected},
  // Other platforms, and the cleared record of a failed version query.
  {"Win32s",            {3, 10, 0, 0},            kBoth, kVersionRejected},
  {"WindowsCe",         {5, 0,  0x045A097D, 3},   kBoth, kVersionRejected},
  {"FailedQuery",       {0, 0,  0, 0},            kBoth, kVersionRejected},
  // The package: only the one for this platform counts.
  {"NtPackageMissing",  {5, 0,  2195, kNt},       {},               packageMissing("Kvar2000.msi")},
  {"NtOtherPackage",    {5, 0,  2195, kNt},       {"KvarMill.msi"}, packageMissing("Kvar2000.msi")},
  {"NtOwnPackageOnly",  {5, 1,  2600, kNt},       {"Kvar2000.msi"}, startsInstaller("Kvar2000.msi")},
  {"MillPackageMissing",{4, 90, 0x045A0BB8, k9x}, {},               packageMissing("KvarMill.msi")},
  {"MillOtherPackage",  {4, 90, 0x045A0BB8, k9x}, {"Kvar2000.msi"}, packageMissing("KvarMill.msi")},
};
// clang-format on

class RunSetup : public testing::TestWithParam<Case> {};

TEST_P(RunSetup, MakesExactlyTheseCallsAndExitsWithZero) {
  FakeSystem system;
  system.version = GetParam().version;
  system.names = GetParam().names;
  EXPECT_EQ(setup::runSetup(system), 0);
  EXPECT_EQ(system.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Cases, RunSetup, testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

// Starting the installer can fail before or in CreateProcessA; either way
// the user is told once, and the exit code stays 0.
TEST(RunSetupStart, FailedStartShowsOneMessage) {
  FakeSystem system;
  system.version = {5, 0, 2195, kNt};
  system.names = {"Kvar2000.msi"};
  system.startFails = true;
  EXPECT_EQ(setup::runSetup(system), 0);
  std::vector<std::string> expected = startsInstaller("Kvar2000.msi");
  expected.push_back(kStartFailedBox);
  EXPECT_EQ(system.calls, expected);
}

TEST(RunSetupStart, NoSystemDirectoryMeansNoStart) {
  for (const bool tooLong : {false, true}) {
    SCOPED_TRACE(tooLong ? "directory too long" : "call failed");
    FakeSystem system;
    system.version = {4, 90, 0x045A097D, k9x};
    system.names = {"KvarMill.msi"};
    system.systemDirectoryFails = !tooLong;
    if (tooLong) system.systemDirectory = std::string(260, 'x');
    EXPECT_EQ(setup::runSetup(system), 0);
    const std::vector<std::string> expected = {"GetVersionExA", "FindFirstFileA KvarMill.msi",
                                               "GetSystemDirectoryA 260", kStartFailedBox};
    EXPECT_EQ(system.calls, expected);
  }
}

// The longest directory that fits still gives a whole application name.
TEST(RunSetupStart, LongestSystemDirectory) {
  FakeSystem system;
  system.version = {5, 2, 3790, kNt};
  system.names = {"Kvar2000.msi"};
  system.systemDirectory = "C:\\" + std::string(256, 'd');
  EXPECT_EQ(setup::runSetup(system), 0);
  ASSERT_EQ(system.calls.size(), 4u);
  EXPECT_EQ(system.calls[3], "CreateProcessA " + system.systemDirectory +
                                 "\\msiexec.exe | msiexec.exe /I Kvar2000.msi");
}

}  // namespace
