#include "msi_tables.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace packaging {
namespace {

std::string quoted(const std::string& word) {
  if (word.find('\'') != std::string::npos) {
    throw std::runtime_error("cannot pass a path with a quote to msiinfo: " + word);
  }
  return "'" + word + "'";
}

// msiinfo export PACKAGE TABLE: the table as idt text.
std::string exportTable(const std::filesystem::path& package, const std::string& table) {
  const std::string command =
      "msiinfo export " + quoted(package.string()) + " " + quoted(table) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  std::string text;
  char buffer[4096];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, count);
  const int status = pclose(pipe);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(command + " failed:\n" + text);
  }
  return text;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> result;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    result.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return result;
    start = tab + 1;
  }
}

}  // namespace

std::vector<MsiRow> readTable(const std::filesystem::path& package, const std::string& table) {
  // Line 1 the column names, line 2 their types, line 3 the table's name
  // and keys; then one row a line, CR LF at the ends.
  std::istringstream text(exportTable(package, table));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() < 3) throw std::runtime_error("msiinfo gave no table " + table);
  const std::vector<std::string> columns = fields(lines[0]);
  std::vector<MsiRow> rows;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    const std::vector<std::string> values = fields(lines[i]);
    if (values.size() != columns.size()) {
      throw std::runtime_error("row of " + table + " with " + std::to_string(values.size()) +
                               " fields, not " + std::to_string(columns.size()));
    }
    MsiRow row;
    for (std::size_t c = 0; c < columns.size(); ++c) row[columns[c]] = values[c];
    rows.push_back(std::move(row));
  }
  return rows;
}

std::map<int, std::string> readSummary(const std::filesystem::path& package) {
  std::map<int, std::string> summary;
  for (const MsiRow& row : readTable(package, "_SummaryInformation")) {
    summary[std::stoi(row.at("PropertyId"))] = row.at("Value");
  }
  return summary;
}

}  // namespace packaging
