// The layout libraries under a real Win32 loader. Wine loads each built file
// at its preferred base and again relocated; loader_probe walks the records
// in process through the loader's pointers. Its dump must equal, line for
// line, the stand-in's dump of the same file, and the version resource must
// read back through GetFileVersionInfo and VerQueryValue as the library's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/loaded_image.h"
#include "platform/pe_file.h"
#include "platform/table_dump.h"
#include "wine_suite.h"

namespace {

namespace fs = std::filesystem;

// The name Wine gives a file of the host (drive Z: is the root).
std::string windowsPath(const fs::path& path) {
  std::string p = "Z:" + fs::absolute(path).string();
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// What loader_probe printed: the dump at each base, the relocated base, and
// the version report.
struct ProbeReport {
  std::string preferredDump;
  std::uint32_t relocatedBase = 0;
  std::string relocatedDump;
  std::vector<std::string> version;
};

ProbeReport parse(const std::string& out) {
  ProbeReport report;
  std::string* dump = nullptr;
  for (const std::string& line : lines(out)) {
    if (line.starts_with("load preferred ")) {
      dump = &report.preferredDump;
    } else if (line.starts_with("load relocated ")) {
      report.relocatedBase = static_cast<std::uint32_t>(std::stoul(line.substr(15), nullptr, 16));
      dump = &report.relocatedDump;
    } else if (line.starts_with("version ")) {
      report.version.push_back(line);
      dump = nullptr;
    } else if (dump != nullptr) {
      *dump += line + '\n';
    }
  }
  return report;
}

std::string standInDump(const fs::path& file, std::optional<std::uint32_t> base) {
  const platform::LoadedImage image =
      platform::LoadedImage::load(platform::PeFile::read(file), base);
  return platform::dumpTables(image,
                              image.callDescriptor(image.exportByName("KbdLayerDescriptor")));
}

// Compares two dumps line by line and names the first line that differs.
void expectSameDump(const std::string& wine, const std::string& standIn) {
  const std::vector<std::string> a = lines(wine), b = lines(standIn);
  ASSERT_FALSE(a.empty()) << "the probe printed no dump";
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    ASSERT_EQ(a[i], b[i]) << "first difference at line " << i + 1;
  }
  EXPECT_EQ(a.size(), b.size()) << "the dumps differ in length";
}

// The probe's line for a string of the version resource: its value length in
// UTF-16 units with the terminating zero, or 0 and no text for an empty value.
std::string versionString(const std::string& key, const std::string& value) {
  if (value.empty()) return "version " + key + " length=0";
  return "version " + key + " length=" + std::to_string(value.size() + 1) + " \"" + value + "\"";
}

const std::string kMakersText = "(the maker's text)";

struct Library {
  const char* name;
  const char* numericVersion;  // as VS_FIXEDFILEINFO gives it
  const char* version;         // as the version strings write it
  const char* description;
};

void PrintTo(const Library& library, std::ostream* out) {
  *out << library.name;
}

// One fresh prefix serves the three libraries.
class WineLoader : public wine::WineSuite<::testing::TestWithParam<Library>> {
 protected:
  static fs::path file(const Library& library) {
    return fs::path(KVAR_TEST_DIST_DIR) / (std::string(library.name) + ".dll");
  }
};

TEST_P(WineLoader, RecordsAndVersionResourceReadBackThroughTheRealLoader) {
  const Library& library = GetParam();
  const fs::path dll = file(library);
  const wine::WineRun probe =
      wine_->run({"wine", KVAR_LOADER_PROBE, windowsPath(dll)}, wine_->scratch());
  ASSERT_EQ(probe.exitCode, 0) << "loader_probe failed on " << dll << "; its output:\n"
                               << probe.output;
  const ProbeReport report = parse(probe.output);

  {
    SCOPED_TRACE("at the preferred base");
    expectSameDump(report.preferredDump, standInDump(dll, std::nullopt));
  }
  {
    SCOPED_TRACE("relocated");
    ASSERT_NE(report.relocatedBase, 0u);
    expectSameDump(report.relocatedDump, standInDump(dll, report.relocatedBase));
  }

  const std::string numeric = library.numericVersion, name = library.name;
  const std::vector<std::string> expected = {
      "version fixed signature=0xfeef04bd strucversion=0x00010000 file=" + numeric + " product=" +
          numeric + " flagsmask=0x3f flags=0x00 os=0x00040004 type=2 subtype=0 date=0.0",
      "version Translation length=4 0x0000/1200",
      versionString("Comments", ""),
      kMakersText,
      versionString("FileDescription", library.description),
      versionString("FileVersion", library.version),
      versionString("InternalName", name),
      kMakersText,
      versionString("LegalTrademarks", ""),
      versionString("OriginalFilename", name + ".dll"),
      versionString("PrivateBuild", ""),
      versionString("ProductName", "Microsoft(R) Windows (R) 2000 Operating System"),
      versionString("ProductVersion", library.version),
      versionString("SpecialBuild", ""),
  };
  ASSERT_EQ(report.version.size(), expected.size());
  // CompanyName and LegalCopyright carry the maker's own text: any, but not empty.
  const std::regex makersText(R"(version (CompanyName|LegalCopyright) length=[1-9][0-9]* ".+")");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == kMakersText) {
      EXPECT_TRUE(std::regex_match(report.version[i], makersText)) << report.version[i];
    } else {
      EXPECT_EQ(report.version[i], expected[i]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Libraries, WineLoader,
                         ::testing::Values(Library{"stdkeys", "5.0.2180.1", "5.00.2180.1",
                                                   "Lithuanian Keyboard Layout (Standard)"},
                                           Library{"progkeys", "5.0.1999.1", "5.00.1999.1",
                                                   "Lithuanian Keyboard Layout (Programmers)"},
                                           Library{"phonkeys", "5.0.1999.1", "5.00.1999.1",
                                                   "Russian (Phonetic) Keyboard Layout"}),
                         [](const ::testing::TestParamInfo<Library>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
