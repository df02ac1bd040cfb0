// The headers and sections of the built stdkeys.dll as the stand-in reads them.
#include <gtest/gtest.h>

#include "layouts/common/pe.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using test::stdkeysFile;

TEST(PeFile, Headers) {
  const FileHeader& f = stdkeysFile().fileHeader();
  EXPECT_EQ(f.Machine, pe::IMAGE_FILE_MACHINE_I386);
  EXPECT_EQ(f.Characteristics, 0x210E);
  EXPECT_FALSE(f.Characteristics & pe::IMAGE_FILE_RELOCS_STRIPPED);
  EXPECT_TRUE(f.Characteristics & pe::IMAGE_FILE_DLL);
  EXPECT_EQ(f.NumberOfSections, 3);

  const OptionalHeader& o = stdkeysFile().optionalHeader();
  EXPECT_EQ(o.Magic, pe::IMAGE_NT_OPTIONAL_HDR32_MAGIC);
  EXPECT_EQ(o.AddressOfEntryPoint, 0u);
  EXPECT_EQ(o.ImageBase, 0x5FF40000u);
  EXPECT_EQ(o.MajorOperatingSystemVersion, 5);
  EXPECT_EQ(o.MinorOperatingSystemVersion, 0);
  EXPECT_EQ(o.MajorImageVersion, 5);
  EXPECT_EQ(o.MinorImageVersion, 0);
  EXPECT_EQ(o.MajorSubsystemVersion, 5);
  EXPECT_EQ(o.MinorSubsystemVersion, 0);
  EXPECT_EQ(o.Subsystem, pe::IMAGE_SUBSYSTEM_NATIVE);
  EXPECT_EQ(o.DllCharacteristics, 0);
}

TEST(PeFile, OnlyExportResourceAndRelocationDirectories) {
  for (std::uint32_t i = 0; i < pe::IMAGE_NUMBEROF_DIRECTORY_ENTRIES; ++i) {
    const DataDirectory d = stdkeysFile().dataDirectory(i);
    const bool used = i == pe::IMAGE_DIRECTORY_ENTRY_EXPORT ||
                      i == pe::IMAGE_DIRECTORY_ENTRY_RESOURCE ||
                      i == pe::IMAGE_DIRECTORY_ENTRY_BASERELOC;
    EXPECT_EQ(d.VirtualAddress != 0, used) << "directory " << i;
    EXPECT_EQ(d.Size != 0, used) << "directory " << i;
  }
  // One relocation block of 86 entries.
  EXPECT_EQ(stdkeysFile().dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_BASERELOC).Size, 0xB4u);
}

TEST(PeFile, Sections) {
  struct Expected {
    const char* name;
    std::uint32_t rva;
    std::uint32_t characteristics;
  };
  const Expected expected[] = {
      {".data", 0x1000, 0x60000040}, {".rsrc", 0x2000, 0x42000040}, {".reloc", 0x3000, 0x42000040}};
  const auto& sections = stdkeysFile().sections();
  ASSERT_EQ(sections.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(sections[i].Name, expected[i].name);
    EXPECT_EQ(sections[i].VirtualAddress, expected[i].rva);
    EXPECT_EQ(sections[i].Characteristics, expected[i].characteristics);
    EXPECT_LE(sections[i].mappedSize(), 0x1000u) << sections[i].Name;
    EXPECT_FALSE(sections[i].Characteristics & pe::IMAGE_SCN_MEM_WRITE);
  }
  EXPECT_EQ(stdkeysFile().fileOffsetOfRva(0x1000), sections[0].PointerToRawData);
  EXPECT_EQ(stdkeysFile().fileOffsetOfRva(0x5000), std::nullopt);
}

TEST(PeFile, CheckSumIsTheFilesChecksum) {
  const PeFile& file = stdkeysFile();
  EXPECT_NE(file.optionalHeader().CheckSum, 0u);
  EXPECT_EQ(file.computeChecksum(), file.optionalHeader().CheckSum);

  // The CheckSum field itself is left out; any other byte counts.
  std::vector<std::uint8_t> bytes = file.bytes();
  bytes[file.checkSumOffset()] ^= 0xFF;
  EXPECT_EQ(PeFile::parse(bytes).computeChecksum(), file.optionalHeader().CheckSum);
  bytes.back() ^= 0x01;
  EXPECT_NE(PeFile::parse(bytes).computeChecksum(), file.optionalHeader().CheckSum);
}

TEST(PeFile, UnreadableFile) {
  EXPECT_THROW(PeFile::read("/nonexistent/stdkeys.dll"), std::runtime_error);
}

}  // namespace
}  // namespace platform
