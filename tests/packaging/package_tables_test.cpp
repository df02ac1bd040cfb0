// The tables of both packages, read with msiinfo: every component has a key
// path, every file lies where it should, every registry value of Kvar2000
// is where Windows 2000 looks for it and KvarMill registers nothing; the
// summary carries the fixed values that make builds identical.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "expected_contents.h"
#include "msi_tables.h"

namespace {

namespace fs = std::filesystem;
using packaging::MsiRow;
using packaging::readSummary;
using packaging::readTable;

const fs::path kKvar2000 = KVAR_KVAR2000_MSI;
const fs::path kKvarMill = KVAR_KVARMILL_MSI;

const MsiRow* findRow(const std::vector<MsiRow>& rows, const std::string& column,
                      const std::string& value) {
  const auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const MsiRow& r) { return r.at(column) == value; });
  return row == rows.end() ? nullptr : &*row;
}

// A file's long name: the File table writes a name that does not fit 8.3
// with its short form before it, "LAYOUT~1.HTM|layouts.html".
std::string longName(const MsiRow& file) {
  const std::string& name = file.at("FileName");
  return name.substr(name.find('|') + 1);  // npos + 1 is 0
}

const MsiRow* findFile(const std::vector<MsiRow>& files, const std::string& name) {
  const auto row = std::find_if(files.begin(), files.end(),
                                [&](const MsiRow& file) { return longName(file) == name; });
  return row == files.end() ? nullptr : &*row;
}

std::vector<std::string> sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

class BothPackages : public testing::TestWithParam<fs::path> {};

TEST_P(BothPackages, EveryComponentIsKeyedByItsOwnFile) {
  const auto components = readTable(GetParam(), "Component");
  const auto files = readTable(GetParam(), "File");
  ASSERT_FALSE(components.empty());
  std::set<std::string> guids;
  for (const MsiRow& component : components) {
    const std::string& name = component.at("Component");
    EXPECT_FALSE(component.at("KeyPath").empty()) << name << " has no key path";
    const MsiRow* file = findRow(files, "File", component.at("KeyPath"));
    ASSERT_NE(file, nullptr) << name << ": key path is no file";
    EXPECT_EQ(file->at("Component_"), name);
    EXPECT_TRUE(guids.insert(component.at("ComponentId")).second)
        << name << " shares its GUID " << component.at("ComponentId");
    EXPECT_EQ(component.at("ComponentId").size(), 38u) << name << " has no fixed GUID";
  }
}

TEST_P(BothPackages, NamesThatDoNotFit83CarryTheirShortForm) {
  for (const MsiRow& file : readTable(GetParam(), "File")) {
    const std::string& name = file.at("FileName");
    const std::string shortName = name.substr(0, name.find('|'));
    const std::size_t dot = shortName.find('.');
    EXPECT_LE(shortName.substr(0, dot).size(), 8u) << name;
    EXPECT_LE(dot == std::string::npos ? 0 : shortName.size() - dot - 1, 3u) << name;
  }
}

TEST_P(BothPackages, CarriesTheLibrariesAndTheGuide) {
  std::vector<std::string> names;
  for (const MsiRow& file : readTable(GetParam(), "File")) names.push_back(longName(file));
  std::vector<std::string> expected = packaging::kLibraries;
  expected.insert(expected.end(), packaging::kGuide.begin(), packaging::kGuide.end());
  EXPECT_EQ(sorted(names), sorted(expected));
}

TEST_P(BothPackages, SummaryHoldsFixedValuesAndInstallsPerMachine) {
  const auto summary = readSummary(GetParam());
  EXPECT_EQ(summary.at(12), "2026/12/11 00:00:00");  // created
  EXPECT_EQ(summary.at(13), "2026/12/11 00:00:00");  // last saved
  EXPECT_EQ(summary.at(14), "110");      // Windows Installer 1.1, as Windows 2000 has it
  EXPECT_EQ(summary.at(9).size(), 38u);  // {package code}

  std::map<std::string, std::string> properties;
  for (const MsiRow& row : readTable(GetParam(), "Property")) {
    properties[row.at("Property")] = row.at("Value");
  }
  EXPECT_EQ(properties["ALLUSERS"], "1");
  // What Add/Remove Programs shows.
  EXPECT_FALSE(properties["ProductName"].empty());
  EXPECT_EQ(properties["ProductVersion"], "1.0.0");
  EXPECT_EQ(properties["ARPCOMMENTS"], summary.at(6));
}

INSTANTIATE_TEST_SUITE_P(Packages, BothPackages, testing::Values(kKvar2000, kKvarMill),
                         [](const auto& test) { return test.param.stem().string(); });

// Where a component's files go: the directory's chain of (Id, DefaultDir).
std::string directoryPath(const std::vector<MsiRow>& directories, const std::string& id) {
  const MsiRow* row = findRow(directories, "Directory", id);
  if (row == nullptr) return "(no directory " + id + ")";
  const std::string& parent = row->at("Directory_Parent");
  const std::string here = id + ":" + row->at("DefaultDir");
  return parent.empty() ? here : directoryPath(directories, parent) + "/" + here;
}

std::string componentPath(const fs::path& package, const std::string& file) {
  const auto files = readTable(package, "File");
  const MsiRow* row = findFile(files, file);
  if (row == nullptr) return "(no file " + file + ")";
  const auto components = readTable(package, "Component");
  const MsiRow* component = findRow(components, "Component", row->at("Component_"));
  if (component == nullptr) return "(no component for " + file + ")";
  return directoryPath(readTable(package, "Directory"), component->at("Directory_"));
}

TEST(Kvar2000, LibrariesGoToTheSystemDirectoryAndTheGuideToItsOwnFolder) {
  for (const std::string& library : packaging::kLibraries) {
    EXPECT_EQ(componentPath(kKvar2000, library), "TARGETDIR:SourceDir/SystemFolder:.") << library;
  }
  for (const std::string& file : packaging::kGuide) {
    EXPECT_EQ(componentPath(kKvar2000, file),
              "TARGETDIR:SourceDir/ProgramFilesFolder:./GuideFolder:Kvar")
        << file;
  }
}

TEST(Kvar2000, RegistersEachLayoutWithItsLibrary) {
  const auto registry = readTable(kKvar2000, "Registry");
  const auto files = readTable(kKvar2000, "File");
  std::set<std::string> expected;
  for (const std::string& library : packaging::kLibraries) {
    const auto& registration = packaging::registrationOf(library);
    const std::string key = std::string(packaging::kKeyboardLayouts) + "\\" + registration.key;
    const std::string component = findFile(files, library)->at("Component_");
    for (const auto& [name, value] : {std::pair{"Layout File", library},
                                      {"Layout Text", registration.layoutText},
                                      {"Layout Id", registration.layoutId}}) {
      expected.insert("2 | " + key + " | " + name + " | " + value + " | " + component);
    }
  }
  std::set<std::string> found;
  for (const MsiRow& row : registry) {
    std::string key = row.at("Key");
    if (key.ends_with('\\')) key.pop_back();  // wixl ends every key with one
    found.insert(row.at("Root") + " | " + key + " | " + row.at("Name") + " | " + row.at("Value") +
                 " | " + row.at("Component_"));
  }
  EXPECT_EQ(found, expected);  // root 2: HKEY_LOCAL_MACHINE
}

TEST(Kvar2000, LayoutIdsAreFourHexDigitsAboveThePlatformsOwnAndDistinct) {
  std::set<std::string> ids;
  for (const auto& registration : packaging::kRegistrations) {
    const std::string& id = registration.layoutId;
    ASSERT_EQ(id.size(), 4u) << id;
    EXPECT_TRUE(std::all_of(id.begin(), id.end(), [](char c) { return std::isxdigit(c) != 0; }));
    // The platform's own layouts number from 0001 and stay below 0100; the
    // handle of a layout keeps twelve bits of it.
    const unsigned value = std::stoul(id, nullptr, 16);
    EXPECT_GE(value, 0x100u) << id;
    EXPECT_LE(value, 0xFFFu) << id;
    EXPECT_TRUE(ids.insert(id).second) << id << " twice";
  }
}

TEST(Kvar2000, StartMenuShortcutOpensTheGuide) {
  const auto shortcuts = readTable(kKvar2000, "Shortcut");
  ASSERT_FALSE(packaging::kGuide.empty());
  ASSERT_EQ(shortcuts.size(), 1u);
  const MsiRow& shortcut = shortcuts[0];
  EXPECT_EQ(shortcut.at("Directory_"), "ProgramMenuFolder");
  EXPECT_EQ(shortcut.at("Name"), "KVARLAYT.LNK|Kvar keyboard layouts.lnk");
  // A formatted target, not a feature: a plain shortcut to the file.
  const auto files = readTable(kKvar2000, "File");
  const MsiRow* guide = findFile(files, "layouts.html");
  ASSERT_NE(guide, nullptr);
  EXPECT_EQ(shortcut.at("Target"), "[#" + guide->at("File") + "]");
  EXPECT_EQ(shortcut.at("Component_"), guide->at("Component_"));
}

TEST(KvarMill, PutsEverythingIntoItsOwnFolderAndRegistersNothing) {
  for (const MsiRow& row : readTable(kKvarMill, "File")) {
    const std::string file = longName(row);
    EXPECT_EQ(componentPath(kKvarMill, file),
              "TARGETDIR:SourceDir/ProgramFilesFolder:./FilesFolder:Kvar")
        << file;
  }
  EXPECT_TRUE(readTable(kKvarMill, "Registry").empty());
  EXPECT_TRUE(readTable(kKvarMill, "Shortcut").empty());
  const std::string comments = readSummary(kKvarMill).at(6);
  EXPECT_NE(comments.find("registers nothing"), std::string::npos) << comments;
  EXPECT_NE(comments.find("Windows Millennium cannot use"), std::string::npos) << comments;
}

TEST(BothPackagesApart, HaveTheirOwnProductAndPackageCodes) {
  std::map<std::string, std::string> product[2];
  const fs::path packages[2] = {kKvar2000, kKvarMill};
  for (int i = 0; i < 2; ++i) {
    for (const MsiRow& row : readTable(packages[i], "Property")) {
      product[i][row.at("Property")] = row.at("Value");
    }
  }
  EXPECT_NE(product[0]["ProductCode"], product[1]["ProductCode"]);
  EXPECT_NE(product[0]["UpgradeCode"], product[1]["UpgradeCode"]);
  EXPECT_NE(product[0]["ProductName"], product[1]["ProductName"]);
  EXPECT_NE(readSummary(kKvar2000).at(9), readSummary(kKvarMill).at(9));
}

}  // namespace
