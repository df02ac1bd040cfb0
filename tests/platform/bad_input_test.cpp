// Corrupted copies of stdkeys.dll: each gives one FormatError naming the
// structure and where it lies; none crashes or reads outside its buffers
// (the sanitize build proves the latter).
#include <gtest/gtest.h>

#include <functional>

#include "layouts/common/kbd.h"
#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"
#include "platform/version_info.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kOtherBase = 0x00400000;

// Everything the platform does with a layout library.
void loadEverything(const Bytes& bytes) {
  const PeFile file = PeFile::parse(bytes);
  for (std::optional<std::uint32_t> base : {std::optional<std::uint32_t>{}, {kOtherBase}}) {
    const LoadedImage image = LoadedImage::load(file, base);
    KeyboardLayout::load(image);
    VersionInfo::read(image);
  }
}

std::uint32_t base() {
  return test::stdkeysImage().base();
}

// File offset of an address in the image at its preferred base.
std::uint32_t offsetOf(std::uint32_t va) {
  return *test::stdkeysFile().fileOffsetOfRva(va - base());
}

const Section& section(const std::string& name) {
  for (const Section& s : test::stdkeysFile().sections()) {
    if (s.Name == name) return s;
  }
  throw std::logic_error("no section " + name);
}

std::uint32_t tablesField(std::uint32_t field) {
  return test::stdkeys().tables().address + field;
}

struct Corruption {
  const char* what;
  std::string structure;
  // Corrupts the copy and returns where the error must say the fault lies.
  std::function<std::string(Bytes&)> corrupt;
};

const Corruption kCorruptions[] = {
    {"truncated inside the MS-DOS header", "IMAGE_DOS_HEADER",
     [](Bytes& b) {
       b.resize(0x30);
       return atFileOffset(0);
     }},
    {"one byte short", "IMAGE_SECTION_HEADER .reloc",
     [](Bytes& b) {
       b.pop_back();
       return atFileOffset(section(".reloc").headerOffset);
     }},
    {"e_lfanew past the end", "IMAGE_DOS_HEADER",
     [](Bytes& b) {
       storeU32(b, pe::IMAGE_DOS_HEADER::e_lfanew, 0xFFFFFFF0);
       return atFileOffset(pe::IMAGE_DOS_HEADER::e_lfanew);
     }},
    {"no PE signature", "IMAGE_NT_HEADERS",
     [](Bytes& b) {
       const std::uint32_t nt = loadU32(b, pe::IMAGE_DOS_HEADER::e_lfanew);
       b[nt + 1] = 'X';
       return atFileOffset(nt);
     }},
    {"an ImageBase the loader cannot use", "IMAGE_OPTIONAL_HEADER32",
     [](Bytes& b) {
       const std::uint32_t optional =
           loadU32(b, pe::IMAGE_DOS_HEADER::e_lfanew) + 4 + pe::IMAGE_FILE_HEADER::size;
       storeU32(b, optional + pe::IMAGE_OPTIONAL_HEADER32::ImageBase, 0x5FF41000);
       return atFileOffset(optional);
     }},
    {"a section outside the file", "IMAGE_SECTION_HEADER .rsrc",
     [](Bytes& b) {
       const Section& s = section(".rsrc");
       storeU32(b, s.headerOffset + pe::IMAGE_SECTION_HEADER::PointerToRawData,
                static_cast<std::uint32_t>(b.size()));
       return atFileOffset(s.headerOffset);
     }},
    {"a relocation block running past its section", "IMAGE_BASE_RELOCATION",
     [](Bytes& b) {
       storeU32(b, offsetOf(base() + 0x3000) + pe::IMAGE_BASE_RELOCATION::SizeOfBlock, 0x1000);
       return atRva(0x3000);
     }},
    {"a relocation of a type a 32-bit image does not use", "IMAGE_BASE_RELOCATION",
     [](Bytes& b) {
       const std::uint32_t entry = offsetOf(base() + 0x3000) + pe::IMAGE_BASE_RELOCATION::size;
       b[entry + 1] = static_cast<std::uint8_t>((b[entry + 1] & 0x0F) | 0xA0);
       return atRva(0x3000 + pe::IMAGE_BASE_RELOCATION::size);
     }},
    {"a pointer in KBDTABLES outside the image", "KBDTABLES.pKeyNames",
     [](Bytes& b) {
       storeU32(b, offsetOf(tablesField(kbd::KBDTABLES::pKeyNames)), 0x10);
       return atAddress(tablesField(kbd::KBDTABLES::pKeyNames));
     }},
    {"a descriptor that returns an address outside the image", "KBDTABLES",
     [](Bytes& b) {
       const std::uint32_t code = test::stdkeysImage().exportByName("KbdLayerDescriptor");
       storeU32(b, offsetOf(code) + 1, base() + 0x3FF0);
       return atAddress(base() + 0x3FF0);
     }},
    {"a character table whose cbSize does not fit", "VK_TO_WCHAR_TABLE",
     [](Bytes& b) {
       const std::uint32_t entry = test::stdkeys().tables().pVkToWcharTable;
       b[offsetOf(entry) + kbd::VK_TO_WCHAR_TABLE::cbSize] = 9;
       return atAddress(entry);
     }},
    {"a key name pointing outside the image", "VSC_LPWSTR.pwsz",
     [](Bytes& b) {
       const std::uint32_t field = test::stdkeys().tables().pKeyNamesExt + kbd::VSC_LPWSTR::pwsz;
       storeU32(b, offsetOf(field), base() - 2);
       return atAddress(field);
     }},
    {"a list terminator removed", "VSC_VK list",
     [](Bytes& b) {
       // The E1 list moves to the end of a grown .reloc section, where the
       // image ends before any terminating entry.
       const Section& s = section(".reloc");
       const std::uint32_t list = base() + s.VirtualAddress + 0x100;
       b.resize(s.PointerToRawData + 0x1000);
       for (std::uint32_t at = s.PointerToRawData + 0x100; at < b.size(); at += 4) {
         storeU32(b, at, 0x00130000 | 0x1D);
       }
       storeU32(b, s.headerOffset + pe::IMAGE_SECTION_HEADER::SizeOfRawData, 0x1000);
       storeU32(b, s.headerOffset + pe::IMAGE_SECTION_HEADER::VirtualSize, 0x1000);
       storeU32(b, offsetOf(tablesField(kbd::KBDTABLES::pVSCtoVK_E1)), list);
       return atAddress(list);
     }},
    {"an export whose code is not mov/ret", "descriptor code",
     [](Bytes& b) {
       const std::uint32_t code = test::stdkeysImage().exportByName("KbdLayerDescriptor");
       b[offsetOf(code)] = 0x90;
       return atAddress(code);
     }},
    {"an export name array outside the image", "IMAGE_EXPORT_DIRECTORY",
     [](Bytes& b) {
       const DataDirectory d = test::stdkeysFile().dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_EXPORT);
       storeU32(b, offsetOf(base() + d.VirtualAddress) + pe::IMAGE_EXPORT_DIRECTORY::NumberOfNames,
                0x40000000);
       return atAddress(base() + d.VirtualAddress);
     }},
    {"a version block longer than the resource", "version resource block",
     [](Bytes& b) {
       // The VS_VERSIONINFO is the only data in .rsrc that starts with its key.
       const Section& s = section(".rsrc");
       const auto begin = b.begin() + s.PointerToRawData;
       const std::u16string key = u"VS_VERSION_INFO";
       const auto found = std::search(begin, begin + s.SizeOfRawData,
                                      reinterpret_cast<const std::uint8_t*>(key.data()),
                                      reinterpret_cast<const std::uint8_t*>(key.data()) + 30);
       const auto root = static_cast<std::uint32_t>(found - b.begin()) - 6;
       b[root] = 0xFF;
       b[root + 1] = 0x7F;
       return atAddress(base() + s.VirtualAddress + (root - s.PointerToRawData));
     }},
};

TEST(BadInput, EachCorruptionGivesOneFormatError) {
  for (const Corruption& c : kCorruptions) {
    Bytes bytes = test::stdkeysBytes();
    const std::string where = c.corrupt(bytes);
    try {
      loadEverything(bytes);
      ADD_FAILURE() << c.what << ": loaded without an error";
    } catch (const FormatError& e) {
      const std::string message = e.what();
      EXPECT_EQ(e.structure(), c.structure) << c.what << ": " << message;
      EXPECT_EQ(message.rfind(c.structure + " at " + where + ": ", 0), 0u)
          << c.what << ": " << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
    }
  }
}

TEST(BadInput, TheUncorruptedCopyLoads) {
  EXPECT_NO_THROW(loadEverything(test::stdkeysBytes()));
}

TEST(BadInput, EveryTruncationIsAFormatError) {
  const Bytes& whole = test::stdkeysBytes();
  for (std::size_t size = 0; size < whole.size(); size += 7) {
    const Bytes truncated(whole.begin(), whole.begin() + size);
    EXPECT_THROW(loadEverything(truncated), FormatError) << size << " bytes";
  }
}

}  // namespace
}  // namespace platform
