// The neutral dump of a loaded layout library: the same at any base, every
// list to its terminator, strings escaped, and a record outside the image
// reported instead of read.
#include "platform/table_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "layouts/common/image_writer.h"
#include "layouts/progkeys/progkeys.h"
#include "platform/format_error.h"
#include "platform/kbd_tables.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace {

using platform::LoadedImage;
using platform::PeFile;

constexpr char kDescriptor[] = "KbdLayerDescriptor";

std::string dumpOf(const PeFile& file, std::optional<std::uint32_t> base = std::nullopt) {
  const LoadedImage image = LoadedImage::load(file, base);
  return platform::dumpTables(image, image.callDescriptor(image.exportByName(kDescriptor)));
}

std::size_t linesStartingWith(const std::string& dump, const std::string& start) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < dump.size(); at = dump.find('\n', at) + 1) {
    if (dump.compare(at, start.size() + 1, start + ' ') == 0) ++count;
  }
  return count;
}

PeFile builtFile(const char* name) {
  return PeFile::read(std::string(KVAR_TEST_DIST_DIR) + "/" + name + ".dll");
}

TEST(TableDump, SameAtAnyBase) {
  for (const char* name : {"stdkeys", "progkeys", "phonkeys"}) {
    SCOPED_TRACE(name);
    const PeFile file = builtFile(name);
    const std::string preferred = dumpOf(file);
    EXPECT_EQ(dumpOf(file, 0x10000000), preferred);
    EXPECT_EQ(dumpOf(file, 0x00010000), preferred);
  }
}

// One line for each record, terminating entries included.
TEST(TableDump, EveryListToItsTerminator) {
  struct Count {
    const char* records;
    std::size_t stdkeys, progkeys, phonkeys;
  };
  const Count counts[] = {
      {"KBDTABLES", 1, 1, 1},
      {"pCharModifiers MODIFIERS", 1, 1, 1},
      {"pVkToBit VK_TO_BIT", 4, 4, 4},
      {"pVkToWcharTable VK_TO_WCHAR_TABLE", 5, 5, 5},
      {"pVkToWchars[0] VK_TO_WCHARS3", 20, 10, 10},
      {"pVkToWchars[1] VK_TO_WCHARS4", 12, 4, 4},
      {"pVkToWchars[2] VK_TO_WCHARS2", 30, 49, 48},
      {"pVkToWchars[3] VK_TO_WCHARS1", 11, 11, 11},
      {"pDeadKey DEADKEY", 0, 47, 0},
      {"pKeyNames VSC_LPWSTR", 52, 52, 52},
      {"pKeyNamesExt VSC_LPWSTR", 23, 23, 23},
      {"pKeyNamesDead LPWSTR", 0, 3, 0},
      {"pusVSCtoVK USHORT", 127, 127, 127},
      {"pVSCtoVK_E0 VSC_VK", 20, 20, 20},
      {"pVSCtoVK_E1 VSC_VK", 2, 2, 2},
  };
  const std::string dumps[] = {dumpOf(builtFile("stdkeys")), dumpOf(builtFile("progkeys")),
                               dumpOf(builtFile("phonkeys"))};
  std::size_t total[3] = {};
  for (const Count& c : counts) {
    SCOPED_TRACE(c.records);
    const std::size_t expected[] = {c.stdkeys, c.progkeys, c.phonkeys};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(linesStartingWith(dumps[i], c.records), expected[i]) << "library " << i;
      total[i] += expected[i];
    }
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(static_cast<std::size_t>(std::count(dumps[i].begin(), dumps[i].end(), '\n')),
              total[i])
        << "library " << i << " has lines of another kind";
  }
}

TEST(TableDump, LinesReadAsTheRecords) {
  const std::string dump = dumpOf(builtFile("progkeys"));
  for (const char* expected : {
           "VirtualKey=0xc0 Attributes=0x00 wch=0xf001,0xf001\n",
           "VirtualKey=0xff Attributes=0x00 wch=0x0060,0x007e\n",
           "dwBoth=0x00600034 wchComposed=0x20ac uFlags=0x0000\n",
           "dwBoth=0x00000000 wchComposed=0x0000 uFlags=0x0000\n",
           "\"`Grave Accent\"\n",
           "pwsz=null\n",
           "T29=0x00c0\n",
           "Vsc=0x1d Vk=0x0013\n",
           "wMaxModBits=0x0003 ModNumber=0x00,0x01,0x02,0x03\n",
           "bMaxVSCtoVK=0x7f",
           "fLocaleFlags=0x00000000\n",
       }) {
    EXPECT_NE(dump.find(expected), std::string::npos) << expected;
  }
}

// A library written for the test, with key names that need escaping.
std::vector<std::uint8_t> imageWithKeyNames(std::span<const layout::KeyName> names) {
  layout::LayoutLibrary library = layout::progkeys();
  library.tables.keyNames = names;
  return image::buildImage(library);
}

TEST(TableDump, StringsEscapeQuotesBackslashesAndNonAscii) {
  const layout::KeyName names[] = {{0x01, u"say \"\\\" \u00E9\u0001"}};
  const std::string dump = dumpOf(PeFile::parse(imageWithKeyNames(names)));
  EXPECT_NE(dump.find(R"(vsc=0x01 pwsz=+0x)"), std::string::npos);
  EXPECT_NE(dump.find(R"( "say \u0022\u005c\u0022 \u00e9\u0001")"), std::string::npos) << dump;
}

TEST(TableDump, PointerOutsideTheImageIsAFormatError) {
  const layout::KeyName names[] = {{0x01, u"Esc"}};
  std::vector<std::uint8_t> bytes = imageWithKeyNames(names);
  const PeFile file = PeFile::parse(bytes);
  const LoadedImage image = LoadedImage::load(file);
  const std::uint32_t tables = image.callDescriptor(image.exportByName(kDescriptor));
  // pKeyNames now points far beyond the image.
  const std::uint32_t at = *file.fileOffsetOfRva(tables - image.base() + kbd::KBDTABLES::pKeyNames);
  for (int i = 0; i < 4; ++i) bytes[at + i] = 0x7F;
  try {
    dumpOf(PeFile::parse(bytes));
    ADD_FAILURE() << "the dump read past the image";
  } catch (const platform::FormatError& e) {
    EXPECT_NE(std::string(e.what()).find("7F7F7F7F"), std::string::npos) << e.what();
  }
}

}  // namespace

// A list longer than any layout needs is refused before the reader walks it:
// here more character tables than the reader takes, each of one short row.
TEST(TableReader, MoreCharacterTablesThanALayoutNeedsIsAFormatError) {
  static constexpr layout::CharRow<1> kRow[] = {{'A', 0, {u'a'}}};
  layout::LayoutLibrary library = layout::progkeys();
  library.tables.charTables.assign(platform::kMaxCharTables + 1, layout::CharTable::of<1>(kRow));
  const PeFile file = PeFile::parse(image::buildImage(library));
  const LoadedImage image = LoadedImage::load(file);
  try {
    platform::readKbdTables(image, image.callDescriptor(image.exportByName("KbdLayerDescriptor")));
    FAIL() << "the tables were read";
  } catch (const platform::FormatError& e) {
    EXPECT_EQ(e.structure(), "VK_TO_WCHAR_TABLE list");
    EXPECT_NE(std::string(e.what()).find("more than 64 entries"), std::string::npos) << e.what();
  }

  library.tables.charTables.pop_back();
  const PeFile fits = PeFile::parse(image::buildImage(library));
  const LoadedImage loaded = LoadedImage::load(fits);
  EXPECT_EQ(platform::readKbdTables(
                loaded, loaded.callDescriptor(loaded.exportByName("KbdLayerDescriptor")))
                .vkToWcharTable.size(),
            platform::kMaxCharTables);
}
