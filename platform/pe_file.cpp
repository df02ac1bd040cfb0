#include "platform/pe_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"

namespace platform {
namespace {

// Throws unless [offset, offset + length) lies inside the file.
void requireInFile(const std::vector<std::uint8_t>& bytes, const std::string& structure,
                   std::uint64_t offset, std::uint64_t length) {
  if (offset + length > bytes.size()) {
    throw FormatError(structure, atFileOffset(static_cast<std::uint32_t>(offset)),
                      "its " + std::to_string(length) + " bytes run past the end of the file (" +
                          std::to_string(bytes.size()) + " bytes)");
  }
}

}  // namespace

PeFile PeFile::parse(std::vector<std::uint8_t> bytes) {
  PeFile file(std::move(bytes));
  file.parseHeaders();
  file.parseSections();
  return file;
}

PeFile PeFile::read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path.string() + ": cannot open the file");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxImageSize) {
    throw std::runtime_error(path.string() + ": not a layout library (" + std::to_string(size) +
                             " bytes is larger than any image the stand-in maps)");
  }
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    throw std::runtime_error(path.string() + ": cannot read the file");
  }
  return parse(std::move(bytes));
}

void PeFile::parseHeaders() {
  using pe::IMAGE_DOS_HEADER;
  using pe::IMAGE_FILE_HEADER;
  using pe::IMAGE_OPTIONAL_HEADER32;

  requireInFile(bytes_, "IMAGE_DOS_HEADER", 0, IMAGE_DOS_HEADER::size);
  if (loadU16(bytes_, IMAGE_DOS_HEADER::e_magic) != pe::IMAGE_DOS_SIGNATURE) {
    throw FormatError("IMAGE_DOS_HEADER", atFileOffset(IMAGE_DOS_HEADER::e_magic),
                      "e_magic is not \"MZ\"");
  }
  ntHeadersOffset_ = loadU32(bytes_, IMAGE_DOS_HEADER::e_lfanew);
  const std::uint64_t nt = ntHeadersOffset_;
  if (nt + 4 + IMAGE_FILE_HEADER::size > bytes_.size()) {
    throw FormatError("IMAGE_DOS_HEADER", atFileOffset(IMAGE_DOS_HEADER::e_lfanew),
                      "e_lfanew " + hex(ntHeadersOffset_) + " points past the end of the file (" +
                          std::to_string(bytes_.size()) + " bytes)");
  }
  if (loadU32(bytes_, nt) != pe::IMAGE_NT_SIGNATURE) {
    throw FormatError("IMAGE_NT_HEADERS", atFileOffset(ntHeadersOffset_),
                      "the signature is not \"PE\\0\\0\"");
  }

  const std::size_t fh = nt + 4;
  fileHeader_ = {
      loadU16(bytes_, fh + IMAGE_FILE_HEADER::Machine),
      loadU16(bytes_, fh + IMAGE_FILE_HEADER::NumberOfSections),
      loadU32(bytes_, fh + IMAGE_FILE_HEADER::TimeDateStamp),
      loadU32(bytes_, fh + IMAGE_FILE_HEADER::PointerToSymbolTable),
      loadU32(bytes_, fh + IMAGE_FILE_HEADER::NumberOfSymbols),
      loadU16(bytes_, fh + IMAGE_FILE_HEADER::SizeOfOptionalHeader),
      loadU16(bytes_, fh + IMAGE_FILE_HEADER::Characteristics),
  };

  const std::size_t oh = fh + IMAGE_FILE_HEADER::size;
  if (fileHeader_.SizeOfOptionalHeader < IMAGE_OPTIONAL_HEADER32::DataDirectory) {
    throw FormatError("IMAGE_FILE_HEADER", atFileOffset(static_cast<std::uint32_t>(fh)),
                      "SizeOfOptionalHeader " + std::to_string(fileHeader_.SizeOfOptionalHeader) +
                          " is too small for an IMAGE_OPTIONAL_HEADER32");
  }
  requireInFile(bytes_, "IMAGE_OPTIONAL_HEADER32", oh, fileHeader_.SizeOfOptionalHeader);
  optionalHeader_ = {
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::Magic),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::AddressOfEntryPoint),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::ImageBase),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::SectionAlignment),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::FileAlignment),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MajorOperatingSystemVersion),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MinorOperatingSystemVersion),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MajorImageVersion),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MinorImageVersion),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MajorSubsystemVersion),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::MinorSubsystemVersion),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::SizeOfImage),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::SizeOfHeaders),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::CheckSum),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::Subsystem),
      loadU16(bytes_, oh + IMAGE_OPTIONAL_HEADER32::DllCharacteristics),
      loadU32(bytes_, oh + IMAGE_OPTIONAL_HEADER32::NumberOfRvaAndSizes),
  };
  const OptionalHeader& o = optionalHeader_;
  const auto where = atFileOffset(static_cast<std::uint32_t>(oh));
  if (o.Magic != pe::IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    throw FormatError("IMAGE_OPTIONAL_HEADER32", where,
                      "Magic " + hex(o.Magic) + " is not PE32 (0x10B)");
  }
  if (o.SizeOfImage == 0 || o.SizeOfImage > kMaxImageSize) {
    throw FormatError(
        "IMAGE_OPTIONAL_HEADER32", where,
        "SizeOfImage " + hex(o.SizeOfImage) + " is not between 1 and " + hex(kMaxImageSize));
  }
  // The loader places an image on a 64 KiB boundary and wholly below 4 GiB.
  if (o.ImageBase % 0x10000 != 0 || std::uint64_t{o.ImageBase} + o.SizeOfImage > 1ull << 32) {
    throw FormatError("IMAGE_OPTIONAL_HEADER32", where,
                      "ImageBase " + hex(o.ImageBase) +
                          " is not a multiple of 64 KiB with the image below 4 GiB");
  }
  if (o.SizeOfHeaders > o.SizeOfImage || o.SizeOfHeaders > bytes_.size()) {
    throw FormatError("IMAGE_OPTIONAL_HEADER32", where,
                      "SizeOfHeaders " + hex(o.SizeOfHeaders) + " exceeds SizeOfImage or the file");
  }
  if (o.NumberOfRvaAndSizes > pe::IMAGE_NUMBEROF_DIRECTORY_ENTRIES ||
      IMAGE_OPTIONAL_HEADER32::DataDirectory +
              std::uint64_t{o.NumberOfRvaAndSizes} * pe::IMAGE_DATA_DIRECTORY::size >
          fileHeader_.SizeOfOptionalHeader) {
    throw FormatError("IMAGE_OPTIONAL_HEADER32", where,
                      "NumberOfRvaAndSizes " + std::to_string(o.NumberOfRvaAndSizes) +
                          " does not fit SizeOfOptionalHeader " +
                          std::to_string(fileHeader_.SizeOfOptionalHeader));
  }
  for (std::uint32_t i = 0; i < o.NumberOfRvaAndSizes; ++i) {
    const std::size_t at =
        oh + IMAGE_OPTIONAL_HEADER32::DataDirectory + i * pe::IMAGE_DATA_DIRECTORY::size;
    const DataDirectory d{loadU32(bytes_, at + pe::IMAGE_DATA_DIRECTORY::VirtualAddress),
                          loadU32(bytes_, at + pe::IMAGE_DATA_DIRECTORY::Size)};
    // The security directory (index 4) holds a file offset, not an address in the image.
    if (i != 4 && std::uint64_t{d.VirtualAddress} + d.Size > o.SizeOfImage) {
      throw FormatError("IMAGE_DATA_DIRECTORY " + std::to_string(i),
                        atFileOffset(static_cast<std::uint32_t>(at)),
                        "RVA " + hex(d.VirtualAddress) + " size " + hex(d.Size) +
                            " lies outside the image (SizeOfImage " + hex(o.SizeOfImage) + ")");
    }
    dataDirectories_.push_back(d);
  }
}

void PeFile::parseSections() {
  using pe::IMAGE_SECTION_HEADER;
  const std::uint64_t table = std::uint64_t{ntHeadersOffset_} + 4 + pe::IMAGE_FILE_HEADER::size +
                              fileHeader_.SizeOfOptionalHeader;
  const std::uint64_t tableSize =
      std::uint64_t{fileHeader_.NumberOfSections} * IMAGE_SECTION_HEADER::size;
  requireInFile(bytes_, "section table", table, tableSize);
  if (table + tableSize > optionalHeader_.SizeOfHeaders) {
    throw FormatError("section table", atFileOffset(static_cast<std::uint32_t>(table)),
                      "it ends past SizeOfHeaders " + hex(optionalHeader_.SizeOfHeaders));
  }

  std::uint64_t previousEnd = optionalHeader_.SizeOfHeaders;
  for (std::uint32_t i = 0; i < fileHeader_.NumberOfSections; ++i) {
    const std::size_t at = table + i * IMAGE_SECTION_HEADER::size;
    Section s;
    for (std::size_t c = 0; c < 8 && bytes_[at + c] != 0; ++c) {
      s.Name.push_back(static_cast<char>(bytes_[at + c]));
    }
    s.VirtualSize = loadU32(bytes_, at + IMAGE_SECTION_HEADER::VirtualSize);
    s.VirtualAddress = loadU32(bytes_, at + IMAGE_SECTION_HEADER::VirtualAddress);
    s.SizeOfRawData = loadU32(bytes_, at + IMAGE_SECTION_HEADER::SizeOfRawData);
    s.PointerToRawData = loadU32(bytes_, at + IMAGE_SECTION_HEADER::PointerToRawData);
    s.Characteristics = loadU32(bytes_, at + IMAGE_SECTION_HEADER::Characteristics);
    s.headerOffset = static_cast<std::uint32_t>(at);

    const std::string structure = "IMAGE_SECTION_HEADER " + s.Name;
    if (s.SizeOfRawData != 0 &&
        std::uint64_t{s.PointerToRawData} + s.SizeOfRawData > bytes_.size()) {
      throw FormatError(structure, atFileOffset(s.headerOffset),
                        "raw data at " + hex(s.PointerToRawData) + " size " + hex(s.SizeOfRawData) +
                            " runs past the end of the file (" + std::to_string(bytes_.size()) +
                            " bytes)");
    }
    if (s.VirtualAddress < previousEnd ||
        std::uint64_t{s.VirtualAddress} + s.mappedSize() > optionalHeader_.SizeOfImage) {
      throw FormatError(structure, atFileOffset(s.headerOffset),
                        "RVA " + hex(s.VirtualAddress) + " size " + hex(s.mappedSize()) +
                            " overlaps the headers or the previous section, or ends past "
                            "SizeOfImage " +
                            hex(optionalHeader_.SizeOfImage));
    }
    previousEnd = std::uint64_t{s.VirtualAddress} + s.mappedSize();
    sections_.push_back(std::move(s));
  }
}

DataDirectory PeFile::dataDirectory(std::uint32_t index) const {
  return index < dataDirectories_.size() ? dataDirectories_[index] : DataDirectory{0, 0};
}

const Section* PeFile::sectionOfRva(std::uint32_t rva) const {
  for (const Section& s : sections_) {
    if (s.containsRva(rva)) return &s;
  }
  return nullptr;
}

std::optional<std::uint32_t> PeFile::fileOffsetOfRva(std::uint32_t rva) const {
  if (rva < optionalHeader_.SizeOfHeaders) return rva;
  const Section* s = sectionOfRva(rva);
  if (s == nullptr || rva - s->VirtualAddress >= s->SizeOfRawData) return std::nullopt;
  return s->PointerToRawData + (rva - s->VirtualAddress);
}

std::uint32_t PeFile::checkSumOffset() const {
  return ntHeadersOffset_ + 4 + pe::IMAGE_FILE_HEADER::size + pe::IMAGE_OPTIONAL_HEADER32::CheckSum;
}

std::uint32_t PeFile::computeChecksum() const {
  // Sum of the file's 16-bit words with the carries folded back in, then the file size.
  const std::size_t skip = checkSumOffset();
  auto byteAt = [&](std::size_t i) -> std::uint32_t {
    if (i >= bytes_.size() || (i >= skip && i < skip + 4)) return 0;
    return bytes_[i];
  };
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < bytes_.size(); i += 2) {
    sum += byteAt(i) | byteAt(i + 1) << 8;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return sum + static_cast<std::uint32_t>(bytes_.size());
}

}  // namespace platform
