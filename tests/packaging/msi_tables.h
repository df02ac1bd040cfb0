// Reads the tables of a Windows Installer package with msitools' msiinfo,
// a reader that is not ours.
//
//   const auto rows = readTable("Kvar2000.msi", "Registry");
//   rows[0].at("Key");  // the column by its name, "" for a null value
//
// The summary reads as the table "_SummaryInformation", with the columns
// PropertyId and Value. A package msiinfo cannot read, or a table it does
// not hold, throws std::runtime_error.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace packaging {

using MsiRow = std::map<std::string, std::string>;

std::vector<MsiRow> readTable(const std::filesystem::path& package, const std::string& table);

// The summary as property number to value: 9 the package code, 12 and 13
// the creation and last-saved times, 14 the installer version.
std::map<int, std::string> readSummary(const std::filesystem::path& package);

}  // namespace packaging
