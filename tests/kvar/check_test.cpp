// kvar check on the built libraries, and on copies with one thing broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "layouts/common/kbd.h"
#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"
#include "tests/kvar/layout_files.h"
#include "tools/kvar/layout_check.h"

namespace kvar {
namespace {

using test::ImageEdit;

std::string allLines(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& f : findings) text += toLine(f) + "\n";
  return text;
}

TEST(Check, OurLibrariesHaveNoFindings) {
  for (const std::string& name : test::kLayoutNames) {
    EXPECT_EQ(allLines(checkLayoutLibrary(test::libraryBytes(name))), "") << name;
  }
}

TEST(Check, AFileThatIsNoImageIsUnusable) {
  const auto& bytes = test::libraryBytes("stdkeys");
  for (std::size_t length : {std::size_t{0}, std::size_t{100}, std::size_t{1000}}) {
    EXPECT_THROW(checkLayoutLibrary({bytes.begin(), bytes.begin() + length}), platform::FormatError)
        << length << " bytes";
  }
}

// Offsets in the file's headers.
std::uint32_t ntHeaders(const std::vector<std::uint8_t>& bytes) {
  return platform::loadU32(bytes, pe::IMAGE_DOS_HEADER::e_lfanew);
}
std::uint32_t fileHeader(const std::vector<std::uint8_t>& bytes) {
  return ntHeaders(bytes) + 4;
}
std::uint32_t optionalHeader(const std::vector<std::uint8_t>& bytes) {
  return fileHeader(bytes) + pe::IMAGE_FILE_HEADER::size;
}

// Turns the base relocation of the pointer at `va` into padding.
void dropRelocation(ImageEdit& edit, std::uint32_t va) {
  std::vector<std::uint8_t>& bytes = edit.bytes();
  const auto file = platform::PeFile::parse(bytes);
  const platform::DataDirectory dir = file.dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_BASERELOC);
  const std::uint32_t site = va - edit.base();
  for (std::uint32_t block = dir.VirtualAddress; block < dir.VirtualAddress + dir.Size;) {
    const std::size_t at = *file.fileOffsetOfRva(block);
    const std::uint32_t page = platform::loadU32(bytes, at);
    const std::uint32_t size = platform::loadU32(bytes, at + 4);
    for (std::uint32_t e = 8; e < size; e += 2) {
      if (page + (platform::loadU16(bytes, at + e) & 0x0FFF) == site) {
        bytes[at + e] = bytes[at + e + 1] = 0;  // IMAGE_REL_BASED_ABSOLUTE: skipped
        return;
      }
    }
    block += size;
  }
  FAIL() << "no relocation for " << platform::hex(va);
}

// The terminating entry of the list at `start` after `count` entries,
// overwritten by the entry before it.
void removeTerminator(ImageEdit& edit, std::uint32_t start, std::size_t count,
                      std::uint32_t entrySize) {
  const auto terminator = static_cast<std::uint32_t>(start + count * entrySize);
  edit.copy(terminator - entrySize, terminator, entrySize);
}

std::uint32_t charTableEntry(const platform::KbdTables& t, std::size_t index) {
  return t.pVkToWcharTable + static_cast<std::uint32_t>(index) * kbd::VK_TO_WCHAR_TABLE::size;
}

struct Broken {
  const char* what;
  const char* library;
  std::function<void(ImageEdit&)> edit;
  const char* record;   // the finding names this record
  const char* problem;  // and says this
};

// clang-format off
const Broken kBroken[] = {
    {"E1 list without its terminator", "stdkeys",
     [](ImageEdit& e) { e.bytes() = test::stdkeysWithoutE1Terminator(); },
     "VSC_VK list pVSCtoVK_E1", "no terminating entry"},
    {"E0 list without its terminator", "phonkeys",
     [](ImageEdit& e) { removeTerminator(e, e.tables().pVSCtoVK_E0, e.tables().vscToVkE0.size(), kbd::VSC_VK::size); },
     "VSC_VK list pVSCtoVK_E0", "terminating"},
    {"character table without its terminating row", "stdkeys",
     [](ImageEdit& e) {
       const auto& table = e.tables().vkToWcharTable[0];
       removeTerminator(e, table.pVkToWchars, table.rows.size(), table.cbSize);
     },
     "VK_TO_WCHARS", "terminating"},
    {"DEADKEY list without its terminator", "progkeys",
     [](ImageEdit& e) { removeTerminator(e, e.tables().pDeadKey, e.tables().deadKeys.size(), kbd::DEADKEY::size); },
     "DEADKEY list", "terminating"},
    {"key-name list without its terminator", "progkeys",
     [](ImageEdit& e) { removeTerminator(e, e.tables().pKeyNames, e.tables().keyNames.size(), kbd::VSC_LPWSTR::size); },
     "VSC_LPWSTR list pKeyNames", "terminating"},
    {"bMaxVSCtoVK short of the map", "stdkeys",
     [](ImageEdit& e) { e.setU8(e.tables().address + kbd::KBDTABLES::bMaxVSCtoVK, 126); },
     "scan-code map", "bMaxVSCtoVK is 126 but a further entry"},
    {"bMaxVSCtoVK zero", "stdkeys",
     [](ImageEdit& e) { e.setU8(e.tables().address + kbd::KBDTABLES::bMaxVSCtoVK, 0); },
     "KBDTABLES", "bMaxVSCtoVK is 0"},
    {"cbSize that does not fit nModifications", "stdkeys",
     [](ImageEdit& e) { e.setU8(charTableEntry(e.tables(), 1) + kbd::VK_TO_WCHAR_TABLE::cbSize, 12); },
     "VK_TO_WCHAR_TABLE list", "cbSize 12 is not 2 + 2 x nModifications"},
    {"pointer outside the image", "stdkeys",
     [](ImageEdit& e) { e.setU32(e.tables().address + kbd::KBDTABLES::pKeyNames, 0x10); },
     "KBDTABLES", "pKeyNames 0x10 points outside the image"},
    {"pointer without a base relocation", "stdkeys",
     [](ImageEdit& e) { dropRelocation(e, e.tables().address + kbd::KBDTABLES::pKeyNamesExt); },
     "KBDTABLES", "pKeyNamesExt is not covered by a base relocation"},
    {"row pointer without a base relocation", "phonkeys",
     [](ImageEdit& e) { dropRelocation(e, charTableEntry(e.tables(), 2)); },
     "VK_TO_WCHAR_TABLE list", "pVkToWchars is not covered by a base relocation"},
    {"modification number beyond 15", "stdkeys",
     [](ImageEdit& e) { e.setU8(e.tables().pCharModifiers + kbd::MODIFIERS::ModNumber + 1, 16); },
     "MODIFIERS", "ModNumber[1] is 16"},
    {"WCH_DEAD without a dead-character row", "stdkeys",
     [](ImageEdit& e) { e.setU16(e.tables().vkToWcharTable[0].rows[0].address + kbd::VK_TO_WCHARS::wch, kbd::WCH_DEAD); },
     "VK_TO_WCHARS", "holds WCH_DEAD but no dead-character row follows it"},
    {"dead-character row taken for a key", "progkeys",
     [](ImageEdit& e) {
       for (const auto& table : e.tables().vkToWcharTable) {
         for (const auto& row : table.rows) {
           if (row.VirtualKey == kbd::kNoVirtualKey) e.setU8(row.address, 0x07);
         }
       }
     },
     "VK_TO_WCHARS", "holds WCH_DEAD but no dead-character row follows it"},
    {"second row for one virtual key", "stdkeys",
     [](ImageEdit& e) {
       const auto& rows = e.tables().vkToWcharTable[2].rows;
       e.setU8(rows[1].address, rows[0].VirtualKey);
     },
     "VK_TO_WCHARS", "a second row for virtual key"},
    {"key name without its terminating zero", "stdkeys",
     [](ImageEdit& e) {
       const auto& name = e.tables().keyNames[0];
       e.setU16(name.pwsz + 2 * static_cast<std::uint32_t>(name.name.size()), u'X');
     },
     "name of scan code", "no terminating zero"},
    {"an entry routine", "stdkeys",
     [](ImageEdit& e) { platform::storeU32(e.bytes(), optionalHeader(e.bytes()) + pe::IMAGE_OPTIONAL_HEADER32::AddressOfEntryPoint, 0x1000); },
     "IMAGE_OPTIONAL_HEADER32", "AddressOfEntryPoint is 0x1000"},
    {"no DLL", "stdkeys",
     [](ImageEdit& e) { e.bytes()[fileHeader(e.bytes()) + pe::IMAGE_FILE_HEADER::Characteristics + 1] &= 0xDF; },
     "IMAGE_FILE_HEADER", "lack IMAGE_FILE_DLL"},
    {"another machine", "stdkeys",
     [](ImageEdit& e) { e.bytes()[fileHeader(e.bytes()) + pe::IMAGE_FILE_HEADER::Machine] = 0x64; },
     "IMAGE_FILE_HEADER", "is not i386"},
    {"PE32+", "stdkeys",
     [](ImageEdit& e) { e.bytes()[optionalHeader(e.bytes()) + pe::IMAGE_OPTIONAL_HEADER32::Magic + 1] = 0x02; },
     "IMAGE_OPTIONAL_HEADER32", "Magic 0x20B is not PE32"},
    {"an import directory", "stdkeys",
     [](ImageEdit& e) {
       const std::uint32_t dir = optionalHeader(e.bytes()) + pe::IMAGE_OPTIONAL_HEADER32::DataDirectory + pe::IMAGE_DATA_DIRECTORY::size;
       platform::storeU32(e.bytes(), dir, 0x1000);
       platform::storeU32(e.bytes(), dir + 4, 20);
     },
     "IMAGE_DATA_DIRECTORY 1", "a layout library imports nothing"},
    {"export under another name", "stdkeys",
     [](ImageEdit& e) {
       const std::string name = "KbdLayerDescriptor";
       auto at = std::search(e.bytes().begin(), e.bytes().end(), name.begin(), name.end());
       at[3] = 'l';
     },
     "KbdLayerDescriptor export", "no export is named \"KbdLayerDescriptor\""},
    {"descriptor that is no constant", "stdkeys",
     [](ImageEdit& e) {
       const auto file = platform::PeFile::parse(e.bytes());
       const auto image = platform::LoadedImage::load(file);
       e.setU8(image.exportByName("KbdLayerDescriptor"), 0xA1);  // mov eax, [imm32]
     },
     "KbdLayerDescriptor code", "expected mov eax, imm32"},
    {"descriptor address without a base relocation", "stdkeys",
     [](ImageEdit& e) {
       const auto file = platform::PeFile::parse(e.bytes());
       const auto image = platform::LoadedImage::load(file);
       dropRelocation(e, image.exportByName("KbdLayerDescriptor") + 1);
     },
     "KbdLayerDescriptor code", "not covered by a base relocation"},
};
// clang-format on

TEST(Check, EachBrokenRuleIsAFindingNamingTheRecord) {
  for (const Broken& b : kBroken) {
    SCOPED_TRACE(b.what);
    ImageEdit edit(b.library);
    b.edit(edit);
    const std::vector<Finding> findings = checkLayoutLibrary(edit.bytes());
    const bool named = std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
      return f.record.find(b.record) != std::string::npos &&
             f.problem.find(b.problem) != std::string::npos;
    });
    EXPECT_TRUE(named) << "expected a finding on " << b.record << " saying \"" << b.problem
                       << "\"; found:\n"
                       << allLines(findings);
  }
}

TEST(Check, AFindingLineNamesRecordAndOffset) {
  EXPECT_EQ(toLine({"VSC_VK list pVSCtoVK_E1", 0x2a4, "no terminating entry"}),
            "VSC_VK list pVSCtoVK_E1 at +0x000002a4: no terminating entry");
}

}  // namespace
}  // namespace kvar
