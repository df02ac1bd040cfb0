#include "layouts/common/image_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "layouts/common/byte_writer.h"
#include "layouts/common/layout_records.h"
#include "layouts/common/maker.h"
#include "layouts/common/pe.h"
#include "layouts/common/pe_checksum.h"
#include "layouts/common/version_resource.h"

namespace image {
namespace {

constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kDataRva = 0x1000;
constexpr std::uint32_t kResourceRva = 0x2000;
constexpr std::uint32_t kRelocRva = 0x3000;
constexpr std::uint32_t kSizeOfImage = 0x4000;
constexpr std::uint32_t kLfanew = 0x80;
constexpr std::uint32_t kSizeOfHeaders = 0x200;

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

struct Section {
  const char* name;
  std::uint32_t rva;
  std::uint32_t characteristics;
  std::vector<std::uint8_t> data;
};

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// KbdLayerDescriptor: `mov eax, imm32` with the address of KBDTABLES, `ret`.
std::uint32_t writeDescriptor(ByteWriter& out, std::uint32_t kbdTables) {
  out.alignTo(16);
  std::uint32_t at = out.rva();
  out.u8(0xB8);
  out.pointer(kbdTables);
  out.u8(0xC3);
  return at;
}

// The export directory with its one name, ordinal 1 (base 1, index 0).
DataDirectory writeExports(ByteWriter& out, const std::string& fileName, std::uint32_t function) {
  out.alignTo(4);
  DataDirectory dir{out.rva(), 0};
  std::uint32_t functions = dir.rva + pe::IMAGE_EXPORT_DIRECTORY::size;
  std::uint32_t names = functions + 4;
  std::uint32_t ordinals = names + 4;
  std::uint32_t dllName = ordinals + 2;
  std::uint32_t exportName = dllName + static_cast<std::uint32_t>(fileName.size()) + 1;

  out.u32(0);  // Characteristics
  out.u32(kTimeDateStamp);
  out.u16(0);  // MajorVersion
  out.u16(0);  // MinorVersion
  out.u32(dllName);
  out.u32(1);  // Base
  out.u32(1);  // NumberOfFunctions
  out.u32(1);  // NumberOfNames
  out.u32(functions);
  out.u32(names);
  out.u32(ordinals);
  out.u32(function);
  out.u32(exportName);
  out.u16(0);
  out.asciiz(fileName);
  out.asciiz("KbdLayerDescriptor");
  dir.size = out.rva() - dir.rva;
  return dir;
}

// One directory level holding a single identifier entry.
void writeResourceLevel(ByteWriter& out, std::uint32_t id, std::uint32_t target) {
  out.u32(0);  // Characteristics
  out.u32(0);  // TimeDateStamp
  out.u16(0);  // MajorVersion
  out.u16(0);  // MinorVersion
  out.u16(0);  // NumberOfNamedEntries
  out.u16(1);  // NumberOfIdEntries
  out.u32(id);
  out.u32(target);
}

// RT_VERSION, identifier 1, language 1063 (Lithuanian).
std::vector<std::uint8_t> buildResourceSection(const std::vector<std::uint8_t>& version) {
  constexpr std::uint32_t kLevel = pe::IMAGE_RESOURCE_DIRECTORY::size +
                                   pe::IMAGE_RESOURCE_DIRECTORY_ENTRY::size;
  constexpr std::uint32_t kDataEntry = 3 * kLevel;
  constexpr std::uint32_t kData = kDataEntry + pe::IMAGE_RESOURCE_DATA_ENTRY::size;
  ByteWriter out(kResourceRva, kImageBase);
  writeResourceLevel(out, pe::RT_VERSION, pe::IMAGE_RESOURCE_DATA_IS_DIRECTORY | kLevel);
  writeResourceLevel(out, 1, pe::IMAGE_RESOURCE_DATA_IS_DIRECTORY | 2 * kLevel);
  writeResourceLevel(out, 1063, kDataEntry);
  out.u32(kResourceRva + kData);
  out.u32(static_cast<std::uint32_t>(version.size()));
  out.u32(0);  // CodePage
  out.u32(0);  // Reserved
  out.bytes(version);
  return out.data();
}

// One block for the page of ".data", a HIGHLOW entry for each pointer.
std::vector<std::uint8_t> buildRelocSection(std::vector<std::uint32_t> sites) {
  std::sort(sites.begin(), sites.end());
  ByteWriter out(kRelocRva, kImageBase);
  out.u32(kDataRva);
  out.u32(static_cast<std::uint32_t>(pe::IMAGE_BASE_RELOCATION::size + 2 * sites.size()));
  for (std::uint32_t site : sites) {
    if (site < kDataRva || site + 4 > kDataRva + kSectionAlignment) {
      throw std::logic_error("a pointer lies outside the page of .data");
    }
    out.u16(static_cast<std::uint16_t>(pe::IMAGE_REL_BASED_HIGHLOW << 12 | (site - kDataRva)));
  }
  return out.data();
}

// The MS-DOS header and a stub that says what the file is.
void writeDosHeader(ByteWriter& out) {
  static constexpr std::uint8_t kStubCode[] = {
      0x0E,              // push cs
      0x1F,              // pop ds
      0xBA, 0x0E, 0x00,  // mov dx, message
      0xB4, 0x09,        // mov ah, 9
      0xCD, 0x21,        // int 21h
      0xB8, 0x01, 0x4C,  // mov ax, 4C01h
      0xCD, 0x21,        // int 21h
  };
  out.u16(pe::IMAGE_DOS_SIGNATURE);
  out.u16(0x90);  // e_cblp
  out.u16(3);     // e_cp
  out.u16(0);     // e_crlc
  out.u16(4);     // e_cparhdr
  out.u16(0);     // e_minalloc
  out.u16(0xFFFF);  // e_maxalloc
  out.u16(0);       // e_ss
  out.u16(0xB8);    // e_sp
  out.u16(0);       // e_csum
  out.u16(0);       // e_ip
  out.u16(0);       // e_cs
  out.u16(0x40);    // e_lfarlc
  out.zeros(pe::IMAGE_DOS_HEADER::e_lfanew - out.rva());
  out.u32(kLfanew);
  out.bytes(kStubCode);
  for (char c : std::string_view("This is a Windows keyboard layout library.\r\n$")) {
    out.u8(static_cast<std::uint8_t>(c));
  }
  out.zeros(kLfanew - out.rva());
}

void writeHeaders(ByteWriter& out, const std::vector<Section>& sections,
                  const DataDirectory (&directories)[pe::IMAGE_NUMBEROF_DIRECTORY_ENTRIES]) {
  writeDosHeader(out);
  out.u32(pe::IMAGE_NT_SIGNATURE);

  out.u16(pe::IMAGE_FILE_MACHINE_I386);
  out.u16(static_cast<std::uint16_t>(sections.size()));
  out.u32(kTimeDateStamp);
  out.u32(0);  // PointerToSymbolTable
  out.u32(0);  // NumberOfSymbols
  out.u16(static_cast<std::uint16_t>(pe::IMAGE_OPTIONAL_HEADER32::size));
  out.u16(pe::IMAGE_FILE_EXECUTABLE_IMAGE | pe::IMAGE_FILE_LINE_NUMS_STRIPPED |
          pe::IMAGE_FILE_LOCAL_SYMS_STRIPPED | pe::IMAGE_FILE_32BIT_MACHINE | pe::IMAGE_FILE_DLL);

  std::uint32_t initializedData = 0;
  for (const Section& s : sections) {
    initializedData += alignUp(static_cast<std::uint32_t>(s.data.size()), kFileAlignment);
  }
  out.u16(pe::IMAGE_NT_OPTIONAL_HDR32_MAGIC);
  out.u8(0);  // MajorLinkerVersion
  out.u8(0);  // MinorLinkerVersion
  out.u32(0);  // SizeOfCode: the one function lives in .data
  out.u32(initializedData);
  out.u32(0);  // SizeOfUninitializedData
  out.u32(0);  // AddressOfEntryPoint: no entry routine
  out.u32(kDataRva);  // BaseOfCode
  out.u32(kDataRva);  // BaseOfData
  out.u32(kImageBase);
  out.u32(kSectionAlignment);
  out.u32(kFileAlignment);
  out.u16(5);  // MajorOperatingSystemVersion
  out.u16(0);
  out.u16(5);  // MajorImageVersion
  out.u16(0);
  out.u16(5);  // MajorSubsystemVersion
  out.u16(0);
  out.u32(0);  // Win32VersionValue
  out.u32(kSizeOfImage);
  out.u32(kSizeOfHeaders);
  out.u32(0);  // CheckSum, computed over the finished file
  out.u16(pe::IMAGE_SUBSYSTEM_NATIVE);
  out.u16(0);  // DllCharacteristics
  out.u32(0x00040000);  // SizeOfStackReserve
  out.u32(0x00001000);  // SizeOfStackCommit
  out.u32(0x00100000);  // SizeOfHeapReserve
  out.u32(0x00001000);  // SizeOfHeapCommit
  out.u32(0);  // LoaderFlags
  out.u32(pe::IMAGE_NUMBEROF_DIRECTORY_ENTRIES);
  for (const DataDirectory& d : directories) {
    out.u32(d.rva);
    out.u32(d.size);
  }

  std::uint32_t rawPointer = kSizeOfHeaders;
  for (const Section& s : sections) {
    std::string name(s.name);
    name.resize(8, '\0');
    for (char c : name) out.u8(static_cast<std::uint8_t>(c));
    std::uint32_t rawSize = alignUp(static_cast<std::uint32_t>(s.data.size()), kFileAlignment);
    out.u32(static_cast<std::uint32_t>(s.data.size()));  // VirtualSize
    out.u32(s.rva);
    out.u32(rawSize);
    out.u32(rawPointer);
    out.u32(0);  // PointerToRelocations
    out.u32(0);  // PointerToLinenumbers
    out.u16(0);  // NumberOfRelocations
    out.u16(0);  // NumberOfLinenumbers
    out.u32(s.characteristics);
    rawPointer += rawSize;
  }
  if (out.rva() > kSizeOfHeaders) throw std::logic_error("the headers do not fit");
  out.zeros(kSizeOfHeaders - out.rva());
}

}  // namespace

std::vector<std::uint8_t> buildImage(const layout::LayoutLibrary& library) {
  std::string fileName = std::string(library.name) + ".dll";

  ByteWriter data(kDataRva, kImageBase);
  std::uint32_t kbdTables = writeLayoutRecords(data, library.tables);
  std::uint32_t descriptor = writeDescriptor(data, kbdTables);
  DataDirectory exports = writeExports(data, fileName, descriptor);

  std::vector<Section> sections = {
      {".data", kDataRva,
       pe::IMAGE_SCN_CNT_INITIALIZED_DATA | pe::IMAGE_SCN_MEM_EXECUTE | pe::IMAGE_SCN_MEM_READ,
       data.data()},
      {".rsrc", kResourceRva,
       pe::IMAGE_SCN_CNT_INITIALIZED_DATA | pe::IMAGE_SCN_MEM_DISCARDABLE | pe::IMAGE_SCN_MEM_READ,
       buildResourceSection(buildVersionResource(library))},
      {".reloc", kRelocRva,
       pe::IMAGE_SCN_CNT_INITIALIZED_DATA | pe::IMAGE_SCN_MEM_DISCARDABLE | pe::IMAGE_SCN_MEM_READ,
       buildRelocSection(data.relocationSites())},
  };
  for (const Section& s : sections) {
    if (s.data.size() > kSectionAlignment) {
      throw std::logic_error(std::string(s.name) + " of " + fileName + " is larger than one page");
    }
  }

  DataDirectory directories[pe::IMAGE_NUMBEROF_DIRECTORY_ENTRIES] = {};
  directories[pe::IMAGE_DIRECTORY_ENTRY_EXPORT] = exports;
  directories[pe::IMAGE_DIRECTORY_ENTRY_RESOURCE] = {
      kResourceRva, static_cast<std::uint32_t>(sections[1].data.size())};
  directories[pe::IMAGE_DIRECTORY_ENTRY_BASERELOC] = {
      kRelocRva, static_cast<std::uint32_t>(sections[2].data.size())};

  ByteWriter file(0, kImageBase);
  writeHeaders(file, sections, directories);
  for (const Section& s : sections) {
    file.bytes(s.data);
    file.alignTo(kFileAlignment);
  }

  std::vector<std::uint8_t> bytes = file.data();
  std::uint32_t checksumAt =
      kLfanew + 4 + pe::IMAGE_FILE_HEADER::size + pe::IMAGE_OPTIONAL_HEADER32::CheckSum;
  std::uint32_t checksum = peChecksum(bytes, checksumAt);
  for (int i = 0; i < 4; ++i) bytes[checksumAt + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
  return bytes;
}

}  // namespace image
