// The parts of the PE32 image format and of version resources that our
// layout libraries use: field offsets, sizes and constants, with the format's
// own names. The image writer and the platform stand-in's loader share them.
#pragma once

#include <cstdint>

namespace pe {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;

inline constexpr WORD IMAGE_DOS_SIGNATURE = 0x5A4D;  // "MZ"
inline constexpr DWORD IMAGE_NT_SIGNATURE = 0x00004550;  // "PE\0\0"

struct IMAGE_DOS_HEADER {
  static constexpr DWORD e_magic = 0x00;
  static constexpr DWORD e_lfanew = 0x3C;
  static constexpr DWORD size = 0x40;
};

struct IMAGE_FILE_HEADER {
  static constexpr DWORD Machine = 0;
  static constexpr DWORD NumberOfSections = 2;
  static constexpr DWORD TimeDateStamp = 4;
  static constexpr DWORD PointerToSymbolTable = 8;
  static constexpr DWORD NumberOfSymbols = 12;
  static constexpr DWORD SizeOfOptionalHeader = 16;
  static constexpr DWORD Characteristics = 18;
  static constexpr DWORD size = 20;
};

inline constexpr WORD IMAGE_FILE_MACHINE_I386 = 0x014C;
inline constexpr WORD IMAGE_FILE_RELOCS_STRIPPED = 0x0001;
inline constexpr WORD IMAGE_FILE_EXECUTABLE_IMAGE = 0x0002;
inline constexpr WORD IMAGE_FILE_LINE_NUMS_STRIPPED = 0x0004;
inline constexpr WORD IMAGE_FILE_LOCAL_SYMS_STRIPPED = 0x0008;
inline constexpr WORD IMAGE_FILE_32BIT_MACHINE = 0x0100;
inline constexpr WORD IMAGE_FILE_DLL = 0x2000;

// IMAGE_OPTIONAL_HEADER32, offsets from its start.
struct IMAGE_OPTIONAL_HEADER32 {
  static constexpr DWORD Magic = 0;
  static constexpr DWORD MajorLinkerVersion = 2;
  static constexpr DWORD MinorLinkerVersion = 3;
  static constexpr DWORD SizeOfCode = 4;
  static constexpr DWORD SizeOfInitializedData = 8;
  static constexpr DWORD SizeOfUninitializedData = 12;
  static constexpr DWORD AddressOfEntryPoint = 16;
  static constexpr DWORD BaseOfCode = 20;
  static constexpr DWORD BaseOfData = 24;
  static constexpr DWORD ImageBase = 28;
  static constexpr DWORD SectionAlignment = 32;
  static constexpr DWORD FileAlignment = 36;
  static constexpr DWORD MajorOperatingSystemVersion = 40;
  static constexpr DWORD MinorOperatingSystemVersion = 42;
  static constexpr DWORD MajorImageVersion = 44;
  static constexpr DWORD MinorImageVersion = 46;
  static constexpr DWORD MajorSubsystemVersion = 48;
  static constexpr DWORD MinorSubsystemVersion = 50;
  static constexpr DWORD Win32VersionValue = 52;
  static constexpr DWORD SizeOfImage = 56;
  static constexpr DWORD SizeOfHeaders = 60;
  static constexpr DWORD CheckSum = 64;
  static constexpr DWORD Subsystem = 68;
  static constexpr DWORD DllCharacteristics = 70;
  static constexpr DWORD SizeOfStackReserve = 72;
  static constexpr DWORD SizeOfStackCommit = 76;
  static constexpr DWORD SizeOfHeapReserve = 80;
  static constexpr DWORD SizeOfHeapCommit = 84;
  static constexpr DWORD LoaderFlags = 88;
  static constexpr DWORD NumberOfRvaAndSizes = 92;
  static constexpr DWORD DataDirectory = 96;
  static constexpr DWORD size = 96 + 16 * 8;
};

inline constexpr WORD IMAGE_NT_OPTIONAL_HDR32_MAGIC = 0x010B;
inline constexpr WORD IMAGE_SUBSYSTEM_NATIVE = 1;
inline constexpr DWORD IMAGE_NUMBEROF_DIRECTORY_ENTRIES = 16;

// Data directory entries: 8 bytes each, VirtualAddress then Size.
struct IMAGE_DATA_DIRECTORY {
  static constexpr DWORD VirtualAddress = 0;
  static constexpr DWORD Size = 4;
  static constexpr DWORD size = 8;
};
inline constexpr DWORD IMAGE_DIRECTORY_ENTRY_EXPORT = 0;
inline constexpr DWORD IMAGE_DIRECTORY_ENTRY_IMPORT = 1;
inline constexpr DWORD IMAGE_DIRECTORY_ENTRY_RESOURCE = 2;
inline constexpr DWORD IMAGE_DIRECTORY_ENTRY_BASERELOC = 5;

struct IMAGE_SECTION_HEADER {
  static constexpr DWORD Name = 0;
  static constexpr DWORD VirtualSize = 8;
  static constexpr DWORD VirtualAddress = 12;
  static constexpr DWORD SizeOfRawData = 16;
  static constexpr DWORD PointerToRawData = 20;
  static constexpr DWORD PointerToRelocations = 24;
  static constexpr DWORD PointerToLinenumbers = 28;
  static constexpr DWORD NumberOfRelocations = 32;
  static constexpr DWORD NumberOfLinenumbers = 34;
  static constexpr DWORD Characteristics = 36;
  static constexpr DWORD size = 40;
};

inline constexpr DWORD IMAGE_SCN_CNT_CODE = 0x00000020;
inline constexpr DWORD IMAGE_SCN_CNT_INITIALIZED_DATA = 0x00000040;
inline constexpr DWORD IMAGE_SCN_MEM_DISCARDABLE = 0x02000000;
inline constexpr DWORD IMAGE_SCN_MEM_EXECUTE = 0x20000000;
inline constexpr DWORD IMAGE_SCN_MEM_READ = 0x40000000;
inline constexpr DWORD IMAGE_SCN_MEM_WRITE = 0x80000000;

struct IMAGE_EXPORT_DIRECTORY {
  static constexpr DWORD Characteristics = 0;
  static constexpr DWORD TimeDateStamp = 4;
  static constexpr DWORD MajorVersion = 8;
  static constexpr DWORD MinorVersion = 10;
  static constexpr DWORD Name = 12;
  static constexpr DWORD Base = 16;
  static constexpr DWORD NumberOfFunctions = 20;
  static constexpr DWORD NumberOfNames = 24;
  static constexpr DWORD AddressOfFunctions = 28;
  static constexpr DWORD AddressOfNames = 32;
  static constexpr DWORD AddressOfNameOrdinals = 36;
  static constexpr DWORD size = 40;
};

// A base relocation block: page RVA, block size, then 16-bit entries whose
// top four bits are the type and low twelve the offset in the page.
struct IMAGE_BASE_RELOCATION {
  static constexpr DWORD VirtualAddress = 0;
  static constexpr DWORD SizeOfBlock = 4;
  static constexpr DWORD size = 8;
};
inline constexpr WORD IMAGE_REL_BASED_ABSOLUTE = 0;
inline constexpr WORD IMAGE_REL_BASED_HIGHLOW = 3;

struct IMAGE_RESOURCE_DIRECTORY {
  static constexpr DWORD Characteristics = 0;
  static constexpr DWORD TimeDateStamp = 4;
  static constexpr DWORD MajorVersion = 8;
  static constexpr DWORD MinorVersion = 10;
  static constexpr DWORD NumberOfNamedEntries = 12;
  static constexpr DWORD NumberOfIdEntries = 14;
  static constexpr DWORD size = 16;
};
struct IMAGE_RESOURCE_DIRECTORY_ENTRY {
  static constexpr DWORD Name = 0;
  static constexpr DWORD OffsetToData = 4;
  static constexpr DWORD size = 8;
};
inline constexpr DWORD IMAGE_RESOURCE_DATA_IS_DIRECTORY = 0x80000000;
struct IMAGE_RESOURCE_DATA_ENTRY {
  static constexpr DWORD OffsetToData = 0;
  static constexpr DWORD Size = 4;
  static constexpr DWORD CodePage = 8;
  static constexpr DWORD Reserved = 12;
  static constexpr DWORD size = 16;
};
inline constexpr DWORD RT_VERSION = 16;

// Version resources.
inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x0000003F;
inline constexpr DWORD VOS_NT_WINDOWS32 = 0x00040004;
inline constexpr DWORD VFT_DLL = 2;
inline constexpr DWORD VFT2_UNKNOWN = 0;

struct VS_FIXEDFILEINFO {
  static constexpr DWORD dwSignature = 0;
  static constexpr DWORD dwStrucVersion = 4;
  static constexpr DWORD dwFileVersionMS = 8;
  static constexpr DWORD dwFileVersionLS = 12;
  static constexpr DWORD dwProductVersionMS = 16;
  static constexpr DWORD dwProductVersionLS = 20;
  static constexpr DWORD dwFileFlagsMask = 24;
  static constexpr DWORD dwFileFlags = 28;
  static constexpr DWORD dwFileOS = 32;
  static constexpr DWORD dwFileType = 36;
  static constexpr DWORD dwFileSubtype = 40;
  static constexpr DWORD dwFileDateMS = 44;
  static constexpr DWORD dwFileDateLS = 48;
  static constexpr DWORD size = 52;
};

// Every version-resource block starts with wLength, wValueLength, wType and a
// zero-terminated UTF-16 key; the value and the children follow, each aligned
// to 4 bytes from the start of the resource.
inline constexpr WORD kVersionBlockBinary = 0;
inline constexpr WORD kVersionBlockText = 1;

}  // namespace pe
