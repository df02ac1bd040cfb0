// stdkeys.dll mapped by the stand-in's loader: relocations, the export and the descriptor.
#include <gtest/gtest.h>

#include <set>

#include "layouts/common/pe.h"
#include "platform/format_error.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using test::stdkeysFile;
using test::stdkeysImage;

constexpr std::uint32_t kImageBase = 0x5FF40000;
constexpr std::uint32_t kOtherBase = 0x00400000;

TEST(LoadedImage, ExportByNameAndOrdinalGiveTheSameDescriptor) {
  const LoadedImage& image = stdkeysImage();
  EXPECT_EQ(image.base(), kImageBase);
  EXPECT_EQ(image.exportedName(), "stdkeys.dll");
  const std::uint32_t byName = image.exportByName("KbdLayerDescriptor");
  EXPECT_EQ(image.exportByOrdinal(1), byName);
  EXPECT_TRUE(image.contains(byName, 6));
  const std::uint32_t tables = image.callDescriptor(byName);
  EXPECT_TRUE(image.contains(tables, 44));
  EXPECT_EQ(image.callDescriptor(byName), tables);

  EXPECT_THROW(image.exportByOrdinal(2), FormatError);
  EXPECT_THROW(image.exportByOrdinal(0), FormatError);
  EXPECT_THROW(image.exportByName("KbdLayerDescriptorEx"), FormatError);
}

TEST(LoadedImage, RelocationsCoverEveryPointerOnce) {
  const LoadedImage& image = stdkeysImage();
  const auto& sites = image.relocationSites();
  EXPECT_EQ(sites.size(), 86u);
  EXPECT_EQ(std::set<std::uint32_t>(sites.begin(), sites.end()).size(), sites.size());
  for (std::uint32_t rva : sites) {
    EXPECT_EQ(rva & ~0xFFFu, 0x1000u) << "fixup at " << std::hex << rva;
    // At the preferred base every relocated value already points into the image.
    EXPECT_TRUE(image.contains(image.u32(kImageBase + rva), 1)) << "fixup at " << std::hex << rva;
  }
  // The descriptor's immediate is one of them.
  const std::uint32_t code = image.exportByName("KbdLayerDescriptor") - kImageBase;
  EXPECT_EQ(std::count(sites.begin(), sites.end(), code + 1), 1);
}

TEST(LoadedImage, AtAnotherBaseEveryFixupMoves) {
  const LoadedImage& here = stdkeysImage();
  const LoadedImage there = LoadedImage::load(stdkeysFile(), kOtherBase);
  EXPECT_EQ(there.relocationSites(), here.relocationSites());
  const std::set<std::uint32_t> sites(here.relocationSites().begin(), here.relocationSites().end());
  for (std::uint32_t rva = 0; rva < here.size(); ++rva) {
    if (sites.contains(rva)) {
      EXPECT_EQ(there.u32(kOtherBase + rva), here.u32(kImageBase + rva) - kImageBase + kOtherBase);
      rva += 3;
    } else {
      ASSERT_EQ(there.u8(kOtherBase + rva), here.u8(kImageBase + rva)) << std::hex << rva;
    }
  }
  const std::uint32_t descriptor = there.exportByOrdinal(1);
  EXPECT_EQ(descriptor - kOtherBase, here.exportByName("KbdLayerDescriptor") - kImageBase);
  EXPECT_TRUE(there.contains(there.callDescriptor(descriptor), 44));
}

TEST(LoadedImage, MappedSectionsMatchTheFile) {
  const LoadedImage& image = stdkeysImage();
  const auto& bytes = stdkeysFile().bytes();
  for (const Section& s : image.sections()) {
    for (std::uint32_t i = 0; i < s.mappedSize(); ++i) {
      const std::uint8_t expected = i < s.SizeOfRawData ? bytes[s.PointerToRawData + i] : 0;
      ASSERT_EQ(image.u8(kImageBase + s.VirtualAddress + i), expected) << s.Name << " + " << i;
    }
  }
}

TEST(LoadedImage, ReadsOutsideTheImageFail) {
  const LoadedImage& image = stdkeysImage();
  EXPECT_TRUE(image.contains(kImageBase, image.size()));
  EXPECT_FALSE(image.contains(kImageBase, image.size() + 1));
  EXPECT_FALSE(image.contains(kImageBase - 1, 1));
  EXPECT_THROW(image.u8(kImageBase + image.size()), FormatError);
  EXPECT_THROW(image.u32(kImageBase + image.size() - 2), FormatError);
  EXPECT_THROW(image.u16(0), FormatError);
  EXPECT_THROW(image.wstring(kImageBase + image.size() - 1), FormatError);  // half a unit
  EXPECT_EQ(image.wstring(kImageBase + image.size() - 2), u"");  // the zero padding ends it
}

TEST(LoadedImage, BaseMustBeAllocationAligned) {
  EXPECT_THROW(LoadedImage::load(stdkeysFile(), 0x10001000), std::invalid_argument);
  EXPECT_EQ(LoadedImage::load(stdkeysFile(), 0xFFFF0000).base(), 0xFFFF0000u);
}

}  // namespace
}  // namespace platform
