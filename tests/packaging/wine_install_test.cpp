// The whole install under Wine, on one fresh 32-bit prefix: Kvar2000.msi
// installed quietly, then the way a user does it, by setup.exe from a copy of
// dist/ on Windows 2000, and KvarMill.msi by setup.exe on Windows Millennium.
// After each install the files, the registry values, the guide, its shortcut
// and the Add/Remove Programs entry are checked; after each uninstall the
// prefix's files are exactly those before the install, and neither the
// Keyboard Layouts key nor the rest of the registry holds anything of ours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "expected_contents.h"
#include "wine_suite.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDistDir = KVAR_DIST_DIR;

const std::string kKeyboardLayouts = "HKLM\\" + std::string(packaging::kKeyboardLayouts);
const std::string kUninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kKvar2000Name = "Kvar keyboard layouts";
const std::string kKvarMillName = "Kvar keyboard layout files";
const std::string kShortcut = "Start Menu/Programs/Kvar keyboard layouts.lnk";

// Values by name, of each key by its full name, as `reg query` prints them.
using RegistryValues = std::map<std::string, std::string>;
using RegistryKeys = std::map<std::string, RegistryValues>;

// Reads `reg query` output:
//   HKEY_LOCAL_MACHINE\...\a0000427
//       Layout File    REG_SZ    stdkeys.dll
RegistryKeys parseRegQuery(const std::string& output) {
  RegistryKeys keys;
  std::string key;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.starts_with("HKEY_")) {
      key = line;
      keys[key];
      continue;
    }
    const std::size_t type = line.find("    REG_");
    if (!line.starts_with("    ") || type == std::string::npos) continue;
    const std::string name = line.substr(4, type - 4);
    const std::size_t data = line.find("    ", type + 4);
    keys[key][name] = data == std::string::npos ? "" : line.substr(data + 4);
  }
  return keys;
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

class InstallUnderWine : public wine::WineSuite<> {
 protected:
  // Every Wine program runs without the menu builder, which would write the
  // Start menu shortcut into the desktop of the machine running the test.
  static wine::WineRun run(const std::vector<std::string>& command, const fs::path& directory) {
    return wine_->run(command, directory, "-all",
                      {{"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"}});
  }

  // Waits until every process of the prefix, an installer that setup.exe
  // started included, has ended and the server has written the registry.
  static void waitForWine() { run({"wineserver", "-w"}, wine_->scratch()); }

  static fs::path driveC() { return wine_->path() / "drive_c"; }

  // Every file and folder of drive C:, relative to it; links (the user's
  // folders that lead out of the prefix) are listed, not followed.
  static std::set<std::string> listing() {
    std::set<std::string> paths;
    for (auto it = fs::recursive_directory_iterator(driveC(),
                                                    fs::directory_options::skip_permission_denied);
         it != fs::recursive_directory_iterator(); ++it) {
      paths.insert(fs::relative(it->path(), driveC()).generic_string());
    }
    return paths;
  }

  static RegistryKeys query(const std::string& key) {
    const wine::WineRun result = run({"wine", "reg", "query", key, "/s"}, wine_->scratch());
    return result.exitCode == 0 ? parseRegQuery(result.output) : RegistryKeys{};
  }

  // The Add/Remove Programs entry whose DisplayName is `name`, if any.
  static RegistryValues uninstallEntry(const std::string& name) {
    for (const auto& [key, values] : query(kUninstall)) {
      const auto displayName = values.find("DisplayName");
      if (displayName != values.end() && displayName->second == name) return values;
    }
    return {};
  }

  static void expectSameFile(const fs::path& installed, const std::string& name) {
    ASSERT_TRUE(fs::is_regular_file(installed)) << installed << " is missing";
    EXPECT_EQ(readFile(installed), readFile(kDistDir / name)) << installed;
  }

  // A copy of dist/ on a disc, as a user would have it.
  static fs::path copyOfDist(const std::string& name) {
    const fs::path disc = wine_->scratch() / name;
    fs::copy(kDistDir, disc, fs::copy_options::recursive);
    return disc;
  }

  static void install(const fs::path& package) {
    const wine::WineRun result =
        run({"wine", "msiexec", "/i", package.string(), "/qn"}, package.parent_path());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    waitForWine();
  }

  static void startSetup(const fs::path& disc) {
    const wine::WineRun result = run({"wine", (disc / "setup.exe").string()}, disc);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    waitForWine();
  }

  static void uninstall(const fs::path& package) {
    const wine::WineRun result =
        run({"wine", "msiexec", "/x", package.string(), "/qn"}, package.parent_path());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    waitForWine();
  }

  static void expectKvar2000Installed() {
    const fs::path system32 = driveC() / "windows" / "system32";
    for (const std::string& library : packaging::kLibraries) {
      expectSameFile(system32 / library, library);
      const auto& registration = packaging::registrationOf(library);
      const RegistryKeys keys = query(kKeyboardLayouts + "\\" + registration.key);
      ASSERT_EQ(keys.size(), 1u) << registration.key << " is not registered";
      const RegistryValues expected = {{"Layout File", library},
                                       {"Layout Text", registration.layoutText},
                                       {"Layout Id", registration.layoutId}};
      EXPECT_EQ(keys.begin()->second, expected) << registration.key;
    }
    for (const std::string& file : packaging::kGuide) {
      expectSameFile(driveC() / "Program Files" / "Kvar" / file, file);
    }
    const std::set<std::string> files = listing();
    const auto shortcuts = std::count_if(files.begin(), files.end(), [](const std::string& path) {
      return path.ends_with("/" + kShortcut);
    });
    EXPECT_FALSE(packaging::kGuide.empty());
    EXPECT_EQ(shortcuts, 1);
    const RegistryValues entry = uninstallEntry(kKvar2000Name);
    EXPECT_FALSE(entry.empty()) << "no Add/Remove Programs entry " << kKvar2000Name;
    EXPECT_EQ(entry.count("DisplayVersion") ? entry.at("DisplayVersion") : "", "1.0.0");
  }

  // Nothing of ours is left: the files are those before the install, and no
  // key or value of the registry names a layout, a library or a product.
  static void expectNothingLeft(const std::set<std::string>& before) {
    const std::set<std::string> after = listing();
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    // The Windows Installer's own folder for the packages it keeps, made by
    // Wine's installer the first time it runs (Windows has it from the
    // start). A package kept there would be listed as a file inside it.
    std::erase_if(added, [](const std::string& path) {
      return path == "windows/Installer" && fs::is_empty(driveC() / path);
    });
    EXPECT_TRUE(added.empty()) << "left behind: " << testing::PrintToString(added);

    std::vector<std::string> markers = {lowered(kKvar2000Name), lowered(kKvarMillName)};
    for (const auto& registration : packaging::kRegistrations) {
      markers.push_back(registration.key);
      markers.push_back(registration.library);
      markers.push_back(lowered(registration.layoutText));
    }
    for (const std::string& file : packaging::kGuide) markers.push_back(lowered(file));
    for (const char* hive : {"system.reg", "user.reg"}) {
      const std::string registry = lowered(readFile(wine_->path() / hive));
      ASSERT_FALSE(registry.empty()) << hive;
      for (const std::string& marker : markers) {
        EXPECT_EQ(registry.find(marker), std::string::npos) << hive << " still names " << marker;
      }
    }
    for (const auto& [key, values] : query(kKeyboardLayouts)) {
      for (const auto& registration : packaging::kRegistrations) {
        EXPECT_EQ(lowered(key).find(registration.key), std::string::npos) << key;
      }
    }
    EXPECT_TRUE(uninstallEntry(kKvar2000Name).empty());
    EXPECT_TRUE(uninstallEntry(kKvarMillName).empty());
  }
};

TEST_F(InstallUnderWine, Kvar2000QuietlyThenUninstalled) {
  ASSERT_NO_THROW(wine_->setWindowsVersion("win2k"));
  const fs::path disc = copyOfDist("quiet");
  const std::set<std::string> before = listing();

  install(disc / "Kvar2000.msi");
  expectKvar2000Installed();

  uninstall(disc / "Kvar2000.msi");
  expectNothingLeft(before);
}

TEST_F(InstallUnderWine, Kvar2000BySetupOnWindows2000ThenUninstalled) {
  ASSERT_NO_THROW(wine_->setWindowsVersion("win2k"));
  const fs::path disc = copyOfDist("windows2000");
  const std::set<std::string> before = listing();

  startSetup(disc);
  expectKvar2000Installed();

  uninstall(disc / "Kvar2000.msi");
  expectNothingLeft(before);
}

TEST_F(InstallUnderWine, KvarMillBySetupOnMillenniumThenUninstalled) {
  ASSERT_NO_THROW(wine_->setWindowsVersion("winme", "4.90.2429"));
  const fs::path disc = copyOfDist("millennium");
  const std::set<std::string> before = listing();

  startSetup(disc);
  std::vector<std::string> files = packaging::kLibraries;
  files.insert(files.end(), packaging::kGuide.begin(), packaging::kGuide.end());
  for (const std::string& file : files) {
    expectSameFile(driveC() / "Program Files" / "Kvar" / file, file);
  }
  // Registered nothing, and Kvar2000.msi was not the package that ran.
  for (const std::string& library : packaging::kLibraries) {
    EXPECT_FALSE(fs::exists(driveC() / "windows" / "system32" / library)) << library;
  }
  for (const auto& [key, values] : query(kKeyboardLayouts)) {
    for (const auto& registration : packaging::kRegistrations) {
      EXPECT_EQ(lowered(key).find(registration.key), std::string::npos) << key;
    }
  }
  const std::set<std::string> after = listing();
  for (const std::string& path : after) {
    if (before.count(path) == 0) {
      EXPECT_FALSE(path.ends_with(".lnk")) << "a shortcut: " << path;
    }
  }
  EXPECT_TRUE(uninstallEntry(kKvar2000Name).empty());
  const RegistryValues entry = uninstallEntry(kKvarMillName);
  EXPECT_FALSE(entry.empty()) << "no Add/Remove Programs entry " << kKvarMillName;

  uninstall(disc / "KvarMill.msi");
  expectNothingLeft(before);
}

}  // namespace
