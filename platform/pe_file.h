// A PE32 file as it lies on disk: its headers, section table and data
// directories, read with every offset checked against the file's size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileHeader {
  std::uint16_t Machine;
  std::uint16_t NumberOfSections;
  std::uint32_t TimeDateStamp;
  std::uint32_t PointerToSymbolTable;
  std::uint32_t NumberOfSymbols;
  std::uint16_t SizeOfOptionalHeader;
  std::uint16_t Characteristics;
};

struct OptionalHeader {
  std::uint16_t Magic;
  std::uint32_t AddressOfEntryPoint;
  std::uint32_t ImageBase;
  std::uint32_t SectionAlignment;
  std::uint32_t FileAlignment;
  std::uint16_t MajorOperatingSystemVersion;
  std::uint16_t MinorOperatingSystemVersion;
  std::uint16_t MajorImageVersion;
  std::uint16_t MinorImageVersion;
  std::uint16_t MajorSubsystemVersion;
  std::uint16_t MinorSubsystemVersion;
  std::uint32_t SizeOfImage;
  std::uint32_t SizeOfHeaders;
  std::uint32_t CheckSum;
  std::uint16_t Subsystem;
  std::uint16_t DllCharacteristics;
  std::uint32_t NumberOfRvaAndSizes;
};

struct DataDirectory {
  std::uint32_t VirtualAddress;
  std::uint32_t Size;
};

struct Section {
  std::string Name;  // up to eight characters, without the zero padding
  std::uint32_t VirtualSize;
  std::uint32_t VirtualAddress;
  std::uint32_t SizeOfRawData;
  std::uint32_t PointerToRawData;
  std::uint32_t Characteristics;
  std::uint32_t headerOffset;  // file offset of the section's IMAGE_SECTION_HEADER

  // The span the section covers once mapped (a VirtualSize of 0 means "as on disk").
  std::uint32_t mappedSize() const { return VirtualSize != 0 ? VirtualSize : SizeOfRawData; }
  bool containsRva(std::uint32_t rva) const {
    return rva >= VirtualAddress && rva - VirtualAddress < mappedSize();
  }
};

class PeFile {
 public:
  // The largest image the stand-in maps; layout libraries are a few pages.
  static constexpr std::uint32_t kMaxImageSize = 64u << 20;

  static PeFile parse(std::vector<std::uint8_t> bytes);  // throws FormatError
  // Reads and parses a file; a file that cannot be read is a std::runtime_error.
  static PeFile read(const std::filesystem::path& path);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::uint32_t ntHeadersOffset() const { return ntHeadersOffset_; }  // e_lfanew
  const FileHeader& fileHeader() const { return fileHeader_; }
  const OptionalHeader& optionalHeader() const { return optionalHeader_; }
  // The directory entry at the given index; address 0 and size 0 where the
  // header has fewer entries.
  DataDirectory dataDirectory(std::uint32_t index) const;
  const std::vector<DataDirectory>& dataDirectories() const { return dataDirectories_; }
  const std::vector<Section>& sections() const { return sections_; }

  const Section* sectionOfRva(std::uint32_t rva) const;
  std::optional<std::uint32_t> fileOffsetOfRva(std::uint32_t rva) const;

  std::uint32_t checkSumOffset() const;  // file offset of the CheckSum field
  // The PE image checksum of the file, computed with the CheckSum field as zero.
  std::uint32_t computeChecksum() const;

 private:
  explicit PeFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  void parseHeaders();
  void parseSections();

  std::vector<std::uint8_t> bytes_;
  std::uint32_t ntHeadersOffset_ = 0;
  FileHeader fileHeader_{};
  OptionalHeader optionalHeader_{};
  std::vector<DataDirectory> dataDirectories_;
  std::vector<Section> sections_;
};

}  // namespace platform
