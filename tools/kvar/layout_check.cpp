#include "tools/kvar/layout_check.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "layouts/common/kbd.h"
#include "layouts/common/pe.h"
#include "platform/byte_order.h"
#include "platform/format_error.h"
#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace kvar {
namespace {

using platform::hex;
using platform::LoadedImage;

// Directories through which an image imports from other libraries.
constexpr std::pair<std::uint32_t, const char*> kImportDirectories[] = {
    {pe::IMAGE_DIRECTORY_ENTRY_IMPORT, "import directory"},
    {11, "bound import directory"},
    {12, "import address table"},
    {13, "delay import directory"},
};

// A file made to be broken everywhere gets this many findings and a count of the rest.
constexpr std::size_t kMostFindings = 500;

// The loader places images on 64 KiB boundaries.
constexpr std::uint32_t kAllocationGranularity = 0x10000;

std::string offsetText(std::uint32_t offset) {
  char text[16];
  std::snprintf(text, sizeof text, "+0x%08x", static_cast<unsigned>(offset));
  return text;
}

bool holdsDead(const std::vector<char16_t>& cells) {
  return std::find(cells.begin(), cells.end(), kbd::WCH_DEAD) != cells.end();
}

// Walks the records from KBDTABLES. Every walk is bounded twice: by the end
// of the image, and by the start of any other record already known, since a
// list that reaches another record has lost its terminating entry.
class RecordChecker {
 public:
  RecordChecker(const LoadedImage& image, std::vector<Finding>& findings)
      : image_(image), findings_(findings), relocated_(image.relocationSites()) {
    std::sort(relocated_.begin(), relocated_.end());
  }

  void check(std::uint32_t tables, std::uint32_t descriptorCode);

 private:
  struct Extent {
    std::string record;
    std::uint32_t start, end;
    bool reported;  // its overrun is already a finding
  };
  struct Row {
    std::uint32_t va;
    std::uint8_t VirtualKey;
    std::vector<char16_t> wch;
  };
  struct Table {
    std::string record;
    std::uint32_t start;
    std::uint8_t nModifications;
  };
  struct String {
    std::string record;
    std::uint32_t start;
  };

  void find(const std::string& record, std::uint32_t va, std::string problem) {
    if (findings_.size() < kMostFindings) {
      findings_.push_back({record, va - image_.base(), std::move(problem)});
    } else {
      ++leftOut_;
    }
  }
  std::string at(std::uint32_t va) const { return offsetText(va - image_.base()); }
  void addStart(std::uint32_t va, const std::string& record) { starts_.emplace(va, record); }
  // The first other record that starts in [from, to); null when none does.
  const std::pair<const std::uint32_t, std::string>* startInside(std::uint64_t from,
                                                                 std::uint64_t to,
                                                                 std::uint32_t own) const {
    for (auto it = starts_.lower_bound(
             static_cast<std::uint32_t>(std::min<std::uint64_t>(from, 0xFFFFFFFFu)));
         it != starts_.end() && it->first < to; ++it) {
      if (it->first != own) return &*it;
    }
    return nullptr;
  }

  std::optional<std::uint32_t> pointer(const std::string& record, std::uint32_t fieldVa,
                                       const std::string& field, std::uint32_t length,
                                       bool nullable = false);
  void walkList(const std::string& record, std::uint32_t start, std::uint32_t entrySize,
                const std::function<bool(std::uint32_t)>& isEnd,
                const std::function<void(std::uint32_t)>& entry);
  bool allZero(std::uint32_t va, std::uint32_t length) const {
    for (std::uint32_t i = 0; i < length; ++i) {
      if (image_.u8(va + i) != 0) return false;
    }
    return true;
  }

  void modifiers(std::uint32_t va);
  void characterTableList(std::uint32_t va);
  void keyNames(const std::string& record, std::uint32_t va);
  void deadKeyNames(std::uint32_t va);
  void scanCodeMap(std::uint32_t va, std::uint8_t count);
  void strings();
  void characterTables();
  void overruns();

  const LoadedImage& image_;
  std::vector<Finding>& findings_;
  std::vector<std::uint32_t> relocated_;  // RVAs of the base relocation sites
  std::map<std::uint32_t, std::string> starts_;
  std::vector<Extent> extents_;
  std::vector<Table> tables_;
  std::vector<String> strings_;
  std::set<std::uint32_t> stringStarts_;
  std::optional<std::pair<std::uint32_t, std::uint8_t>> scanCodeMap_;
  std::size_t leftOut_ = 0;
};

std::optional<std::uint32_t> RecordChecker::pointer(const std::string& record,
                                                    std::uint32_t fieldVa, const std::string& field,
                                                    std::uint32_t length, bool nullable) {
  const std::uint32_t target = image_.u32(fieldVa);
  if (target == 0) {
    if (!nullable) find(record, fieldVa, field + " is null");
    return std::nullopt;
  }
  if (!std::binary_search(relocated_.begin(), relocated_.end(), fieldVa - image_.base())) {
    find(record, fieldVa,
         field +
             " is not covered by a base relocation, so it is wrong wherever the loader "
             "moves the library");
  }
  if (!image_.contains(target, length)) {
    find(record, fieldVa,
         field + " " + hex(target) + " points outside the image " + hex(image_.base()) + ".." +
             hex(image_.base() + image_.size() - 1));
    return std::nullopt;
  }
  return target;
}

void RecordChecker::walkList(const std::string& record, std::uint32_t start,
                             std::uint32_t entrySize,
                             const std::function<bool(std::uint32_t)>& isEnd,
                             const std::function<void(std::uint32_t)>& entry) {
  for (std::uint32_t va = start;; va += entrySize) {
    if (!image_.contains(va, entrySize)) {
      find(record, start, "no terminating entry before the end of the image");
      extents_.push_back({record, start, image_.base() + image_.size(), true});
      return;
    }
    if (const auto* other = startInside(va, std::uint64_t{va} + entrySize, start)) {
      find(record, start,
           "no terminating entry: the list runs into the " + other->second + " at " +
               at(other->first));
      extents_.push_back({record, start, va, true});
      return;
    }
    if (isEnd(va)) {
      if (!allZero(va, entrySize)) {
        find(record, va, "the terminating entry is not all zero");
      }
      extents_.push_back({record, start, va + entrySize, false});
      return;
    }
    entry(va);
  }
}

void RecordChecker::modifiers(std::uint32_t va) {
  using kbd::MODIFIERS;
  const std::string record = "MODIFIERS";
  const auto pVkToBit = pointer(record, va + MODIFIERS::pVkToBit, "pVkToBit", kbd::VK_TO_BIT::size);
  if (pVkToBit) addStart(*pVkToBit, "VK_TO_BIT list");
  const std::uint16_t wMaxModBits = image_.u16(va + MODIFIERS::wMaxModBits);
  const std::uint32_t size = MODIFIERS::ModNumber + wMaxModBits + 1u;
  if (!image_.contains(va, size)) {
    find(record, va,
         "wMaxModBits " + std::to_string(wMaxModBits) +
             " makes ModNumber run past the end of the image");
  } else {
    extents_.push_back({record, va, va + size, false});
    for (std::uint32_t bits = 0; bits <= wMaxModBits; ++bits) {
      const std::uint8_t number = image_.u8(va + MODIFIERS::ModNumber + bits);
      if (number > kbd::SHFT_INVALID) {
        find(record, va + MODIFIERS::ModNumber + bits,
             "ModNumber[" + std::to_string(bits) + "] is " + std::to_string(number) +
                 "; modification numbers go up to 15 (SHFT_INVALID)");
      }
    }
  }
  if (pVkToBit) {
    walkList(
        "VK_TO_BIT list", *pVkToBit, kbd::VK_TO_BIT::size,
        [&](std::uint32_t e) { return image_.u8(e + kbd::VK_TO_BIT::Vk) == 0; },
        [](std::uint32_t) {});
  }
}

void RecordChecker::characterTableList(std::uint32_t va) {
  using kbd::VK_TO_WCHAR_TABLE;
  const std::string record = "VK_TO_WCHAR_TABLE list";
  walkList(
      record, va, VK_TO_WCHAR_TABLE::size,
      [&](std::uint32_t e) { return image_.u32(e + VK_TO_WCHAR_TABLE::pVkToWchars) == 0; },
      [&](std::uint32_t e) {
        const std::uint8_t n = image_.u8(e + VK_TO_WCHAR_TABLE::nModifications);
        const std::uint8_t cbSize = image_.u8(e + VK_TO_WCHAR_TABLE::cbSize);
        const auto rows = pointer(record, e + VK_TO_WCHAR_TABLE::pVkToWchars, "pVkToWchars",
                                  std::max<std::uint32_t>(cbSize, 1));
        bool usable = rows.has_value();
        if (n == 0) {
          find(record, e, "nModifications is 0: the rows hold no character cells");
          usable = false;
        } else if (cbSize != kbd::VK_TO_WCHARS::sizeFor(n)) {
          find(record, e,
               "cbSize " + std::to_string(cbSize) + " is not 2 + 2 x nModifications (" +
                   std::to_string(kbd::VK_TO_WCHARS::sizeFor(n)) + " for " + std::to_string(n) +
                   " cells)");
          usable = false;
        }
        if (!usable) return;
        const std::string name = "VK_TO_WCHARS" + std::to_string(n) + " table";
        addStart(*rows, name);
        tables_.push_back({name, *rows, n});
      });
}

void RecordChecker::keyNames(const std::string& record, std::uint32_t va) {
  using kbd::VSC_LPWSTR;
  walkList(
      record, va, VSC_LPWSTR::size,
      [&](std::uint32_t e) { return image_.u8(e + VSC_LPWSTR::vsc) == 0; },
      [&](std::uint32_t e) {
        const std::uint8_t vsc = image_.u8(e + VSC_LPWSTR::vsc);
        if (const auto name = pointer(record, e + VSC_LPWSTR::pwsz, "pwsz", 2)) {
          strings_.push_back({"name of scan code " + hex(vsc), *name});
        }
      });
}

void RecordChecker::deadKeyNames(std::uint32_t va) {
  const std::string record = "dead-key name list";
  walkList(
      record, va, kbd::kDeadKeyNameSize, [&](std::uint32_t e) { return image_.u32(e) == 0; },
      [&](std::uint32_t e) {
        if (const auto name = pointer(record, e, "the pointer", 2)) {
          strings_.push_back({"dead-key name", *name});
        }
      });
}

void RecordChecker::scanCodeMap(std::uint32_t va, std::uint8_t count) {
  const std::string record = "scan-code map";
  if (count == 0) return;  // KBDTABLES reports the empty map
  if (!image_.contains(va, 2u * count)) {
    find(record, va,
         "bMaxVSCtoVK " + std::to_string(count) + " entries run past the end of the image");
    return;
  }
  extents_.push_back({record, va, va + 2u * count, false});
  scanCodeMap_ = {va, count};
}

void RecordChecker::strings() {
  for (const String& s : strings_) addStart(s.start, s.record);
  for (const String& s : strings_) {
    if (!stringStarts_.insert(s.start).second) continue;
    for (std::uint32_t va = s.start;; va += 2) {
      if (!image_.contains(va, 2)) {
        find(s.record, s.start, "the string has no terminating zero before the end of the image");
        break;
      }
      if (const auto* other = startInside(va, std::uint64_t{va} + 2, s.start)) {
        find(s.record, s.start,
             "the string has no terminating zero: it runs into the " + other->second + " at " +
                 at(other->first));
        break;
      }
      if (image_.u16(va) == 0) {
        extents_.push_back({s.record, s.start, va + 2, false});
        break;
      }
    }
  }
}

void RecordChecker::characterTables() {
  std::array<std::optional<std::uint32_t>, 256> rowOf{};  // the first row of each virtual key
  std::set<std::uint32_t> walked;
  for (const Table& t : tables_) {
    if (!walked.insert(t.start).second) continue;
    const std::uint32_t cbSize = kbd::VK_TO_WCHARS::sizeFor(t.nModifications);
    std::vector<Row> rows;
    walkList(
        t.record, t.start, cbSize,
        [&](std::uint32_t r) { return image_.u8(r + kbd::VK_TO_WCHARS::VirtualKey) == 0; },
        [&](std::uint32_t r) {
          Row row{r, image_.u8(r + kbd::VK_TO_WCHARS::VirtualKey), {}};
          for (std::uint32_t i = 0; i < t.nModifications; ++i) {
            row.wch.push_back(image_.u16(r + kbd::VK_TO_WCHARS::wch + 2 * i));
          }
          rows.push_back(std::move(row));
        });
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const Row& row = rows[i];
      if (row.VirtualKey == kbd::kNoVirtualKey) {
        if (i == 0 || rows[i - 1].VirtualKey == kbd::kNoVirtualKey || !holdsDead(rows[i - 1].wch)) {
          find(t.record, row.va,
               "a dead-character row (VirtualKey 0xFF) follows no row with WCH_DEAD");
          continue;
        }
        for (std::size_t c = 0; c < row.wch.size(); ++c) {
          const char16_t dead = row.wch[c];
          if (rows[i - 1].wch[c] == kbd::WCH_DEAD &&
              (dead == 0 || dead == kbd::WCH_NONE || dead == kbd::WCH_DEAD)) {
            find(t.record, row.va,
                 "cell " + std::to_string(c) +
                     " of the dead-character row holds no dead character for "
                     "the WCH_DEAD above it");
          }
        }
        continue;
      }
      if (holdsDead(row.wch) &&
          (i + 1 == rows.size() || rows[i + 1].VirtualKey != kbd::kNoVirtualKey)) {
        find(t.record, row.va,
             "the row of virtual key " + hex(row.VirtualKey) +
                 " holds WCH_DEAD but no dead-character row follows it");
      }
      if (rowOf[row.VirtualKey]) {
        find(t.record, row.va,
             "a second row for virtual key " + hex(row.VirtualKey) +
                 "; the platform reads only the first, at " + at(*rowOf[row.VirtualKey]));
      } else {
        rowOf[row.VirtualKey] = row.va;
      }
    }
  }
}

// Records of a fixed size, and lists that met a record only found later:
// none may reach into another record.
void RecordChecker::overruns() {
  for (const Extent& e : extents_) {
    if (e.reported) continue;
    if (const auto* other = startInside(e.start, e.end, e.start)) {
      find(e.record, e.start, "it runs into the " + other->second + " at " + at(other->first));
    }
  }
  if (scanCodeMap_) {
    // Past the last entry lies padding or another record: another entry
    // there means the map is longer than bMaxVSCtoVK says.
    const auto [va, count] = *scanCodeMap_;
    const std::uint32_t after = va + 2u * count;
    if (image_.contains(after, 2) && !startInside(after, after + 2u, va) &&
        image_.u16(after) != 0) {
      find("scan-code map", va,
           "bMaxVSCtoVK is " + std::to_string(count) + " but a further entry " +
               hex(image_.u16(after)) + " follows the last one at " + at(after));
    }
  }
}

void RecordChecker::check(std::uint32_t tables, std::uint32_t descriptorCode) {
  using kbd::KBDTABLES;
  const std::string record = "KBDTABLES";
  addStart(tables, record);
  addStart(descriptorCode, "KbdLayerDescriptor code");
  extents_.push_back({record, tables, tables + KBDTABLES::size, false});
  auto field = [&](std::uint32_t offset, const char* name, std::uint32_t length,
                   bool nullable = false) {
    return pointer(record, tables + offset, name, length, nullable);
  };
  const auto pCharModifiers =
      field(KBDTABLES::pCharModifiers, "pCharModifiers", kbd::MODIFIERS::ModNumber + 1);
  const auto pVkToWcharTable =
      field(KBDTABLES::pVkToWcharTable, "pVkToWcharTable", kbd::VK_TO_WCHAR_TABLE::size);
  const auto pDeadKey = field(KBDTABLES::pDeadKey, "pDeadKey", kbd::DEADKEY::size, true);
  const auto pKeyNames = field(KBDTABLES::pKeyNames, "pKeyNames", kbd::VSC_LPWSTR::size);
  const auto pKeyNamesExt = field(KBDTABLES::pKeyNamesExt, "pKeyNamesExt", kbd::VSC_LPWSTR::size);
  const auto pKeyNamesDead =
      field(KBDTABLES::pKeyNamesDead, "pKeyNamesDead", kbd::kDeadKeyNameSize, true);
  const auto pusVSCtoVK = field(KBDTABLES::pusVSCtoVK, "pusVSCtoVK", 2);
  const auto pVSCtoVK_E0 = field(KBDTABLES::pVSCtoVK_E0, "pVSCtoVK_E0", kbd::VSC_VK::size);
  const auto pVSCtoVK_E1 = field(KBDTABLES::pVSCtoVK_E1, "pVSCtoVK_E1", kbd::VSC_VK::size);
  const std::uint8_t bMaxVSCtoVK = image_.u8(tables + KBDTABLES::bMaxVSCtoVK);
  if (bMaxVSCtoVK == 0) {
    find(record, tables + KBDTABLES::bMaxVSCtoVK, "bMaxVSCtoVK is 0: the scan-code map is empty");
  }

  const std::pair<const std::optional<std::uint32_t>&, const char*> named[] = {
      {pCharModifiers, "MODIFIERS"},
      {pVkToWcharTable, "VK_TO_WCHAR_TABLE list"},
      {pDeadKey, "DEADKEY list"},
      {pKeyNames, "VSC_LPWSTR list pKeyNames"},
      {pKeyNamesExt, "VSC_LPWSTR list pKeyNamesExt"},
      {pKeyNamesDead, "dead-key name list"},
      {pusVSCtoVK, "scan-code map"},
      {pVSCtoVK_E0, "VSC_VK list pVSCtoVK_E0"},
      {pVSCtoVK_E1, "VSC_VK list pVSCtoVK_E1"},
  };
  for (const auto& [va, name] : named) {
    if (va) addStart(*va, name);
  }

  if (pCharModifiers) modifiers(*pCharModifiers);
  if (pVkToWcharTable) characterTableList(*pVkToWcharTable);
  if (pDeadKey) {
    walkList(
        "DEADKEY list", *pDeadKey, kbd::DEADKEY::size,
        [&](std::uint32_t e) { return image_.u32(e + kbd::DEADKEY::dwBoth) == 0; },
        [](std::uint32_t) {});
  }
  if (pKeyNames) keyNames("VSC_LPWSTR list pKeyNames", *pKeyNames);
  if (pKeyNamesExt && pKeyNamesExt != pKeyNames)
    keyNames("VSC_LPWSTR list pKeyNamesExt", *pKeyNamesExt);
  if (pKeyNamesDead) deadKeyNames(*pKeyNamesDead);
  if (pusVSCtoVK) scanCodeMap(*pusVSCtoVK, bMaxVSCtoVK);
  for (const auto& [list, name] : {std::pair{pVSCtoVK_E0, "VSC_VK list pVSCtoVK_E0"},
                                   std::pair{pVSCtoVK_E1, "VSC_VK list pVSCtoVK_E1"}}) {
    if (!list) continue;
    walkList(
        name, *list, kbd::VSC_VK::size,
        [&](std::uint32_t e) { return image_.u8(e + kbd::VSC_VK::Vsc) == 0; },
        [](std::uint32_t) {});
  }
  strings();
  characterTables();
  overruns();
  if (leftOut_ != 0) {
    findings_.push_back(
        {record, tables - image_.base(), std::to_string(leftOut_) + " more findings are left out"});
  }
}

// A PE file of another kind than PE32 cannot be mapped as one; say so as a finding.
std::optional<Finding> notPe32(const std::vector<std::uint8_t>& bytes) {
  using platform::loadU16;
  using platform::loadU32;
  if (bytes.size() < pe::IMAGE_DOS_HEADER::size ||
      loadU16(bytes, pe::IMAGE_DOS_HEADER::e_magic) != pe::IMAGE_DOS_SIGNATURE) {
    return std::nullopt;
  }
  const std::uint64_t nt = loadU32(bytes, pe::IMAGE_DOS_HEADER::e_lfanew);
  const std::uint64_t magic = nt + 4 + pe::IMAGE_FILE_HEADER::size;
  if (magic + 2 > bytes.size() || loadU32(bytes, nt) != pe::IMAGE_NT_SIGNATURE) {
    return std::nullopt;
  }
  const std::uint16_t value = loadU16(bytes, magic);
  if (value == pe::IMAGE_NT_OPTIONAL_HDR32_MAGIC) return std::nullopt;
  return Finding{
      "IMAGE_OPTIONAL_HEADER32", static_cast<std::uint32_t>(magic),
      "Magic " + hex(value) + " is not PE32 (0x10B): a layout library is a 32-bit image"};
}

void checkImage(const platform::PeFile& file, std::vector<Finding>& findings) {
  const std::uint32_t fileHeader = file.ntHeadersOffset() + 4;
  const std::uint32_t optionalHeader = fileHeader + pe::IMAGE_FILE_HEADER::size;
  const auto& fh = file.fileHeader();
  if (fh.Machine != pe::IMAGE_FILE_MACHINE_I386) {
    findings.push_back(
        {"IMAGE_FILE_HEADER", fileHeader, "Machine " + hex(fh.Machine) + " is not i386 (0x14C)"});
  }
  if (!(fh.Characteristics & pe::IMAGE_FILE_DLL)) {
    findings.push_back({"IMAGE_FILE_HEADER", fileHeader,
                        "Characteristics " + hex(fh.Characteristics) +
                            " lack IMAGE_FILE_DLL (0x2000): the image is no library"});
  }
  if (file.optionalHeader().AddressOfEntryPoint != 0) {
    findings.push_back({"IMAGE_OPTIONAL_HEADER32", optionalHeader,
                        "AddressOfEntryPoint is " + hex(file.optionalHeader().AddressOfEntryPoint) +
                            ": a layout library has no entry routine (0)"});
  }
  for (const auto& [index, name] : kImportDirectories) {
    const platform::DataDirectory d = file.dataDirectory(index);
    if (d.VirtualAddress != 0 || d.Size != 0) {
      findings.push_back({"IMAGE_DATA_DIRECTORY " + std::to_string(index),
                          optionalHeader + pe::IMAGE_OPTIONAL_HEADER32::DataDirectory +
                              index * pe::IMAGE_DATA_DIRECTORY::size,
                          std::string("the ") + name + " is not empty (RVA " +
                              hex(d.VirtualAddress) + ", size " + hex(d.Size) +
                              "): a layout library imports nothing"});
    }
  }
}

// The descriptor's address, found by name and by ordinal 1; nullopt when neither finds it.
std::optional<std::uint32_t> descriptor(const LoadedImage& image, std::vector<Finding>& findings) {
  const std::uint32_t exports =
      image.dataDirectory(pe::IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress;
  std::optional<std::uint32_t> byName, byOrdinal;
  try {
    byName = image.exportByName(platform::KeyboardLayout::kDescriptorName);
  } catch (const platform::FormatError& e) {
    findings.push_back({"KbdLayerDescriptor export", exports, e.what()});
  }
  try {
    byOrdinal = image.exportByOrdinal(1);
  } catch (const platform::FormatError& e) {
    // Without an export directory both ways fail alike; say it once.
    if (byName || findings.empty() || findings.back().problem != e.what()) {
      findings.push_back({"KbdLayerDescriptor export", exports, e.what()});
    }
  }
  if (byName && byOrdinal && *byName != *byOrdinal) {
    findings.push_back({"KbdLayerDescriptor export", exports,
                        "ordinal 1 is the function at " + offsetText(*byOrdinal - image.base()) +
                            ", not KbdLayerDescriptor at " + offsetText(*byName - image.base())});
  }
  return byName ? byName : byOrdinal;
}

}  // namespace

std::string toLine(const Finding& finding) {
  return finding.record + " at " + offsetText(finding.offset) + ": " + finding.problem;
}

std::vector<Finding> checkLayoutLibrary(std::vector<std::uint8_t> bytes) {
  if (auto finding = notPe32(bytes)) return {*finding};
  const platform::PeFile file = platform::PeFile::parse(std::move(bytes));
  std::vector<Finding> findings;
  checkImage(file, findings);
  const std::uint32_t imageBase = file.optionalHeader().ImageBase;
  if (imageBase % kAllocationGranularity != 0 ||
      std::uint64_t{imageBase} + file.optionalHeader().SizeOfImage > std::uint64_t{1} << 32) {
    findings.push_back(
        {"IMAGE_OPTIONAL_HEADER32", file.ntHeadersOffset() + 4 + pe::IMAGE_FILE_HEADER::size,
         "ImageBase " + hex(imageBase) +
             " is no multiple of 64 KiB below 4 GiB, where the loader places images"});
    return findings;
  }
  const LoadedImage image = LoadedImage::load(file);

  const auto function = descriptor(image, findings);
  if (!function) return findings;
  const std::string code = "KbdLayerDescriptor code";
  std::uint32_t tables = 0;
  try {
    tables = image.callDescriptor(*function);
  } catch (const platform::FormatError& e) {
    findings.push_back({code, *function - image.base(), e.what()});
    return findings;
  }
  const std::vector<std::uint32_t>& sites = image.relocationSites();
  if (std::find(sites.begin(), sites.end(), *function - image.base() + 1) == sites.end()) {
    findings.push_back({code, *function - image.base(),
                        "the address it returns is not covered by a base relocation, so it is "
                        "wrong wherever the loader moves the library"});
  }
  if (!image.contains(tables, kbd::KBDTABLES::size)) {
    findings.push_back({code, *function - image.base(),
                        "it returns " + hex(tables) + ", where no KBDTABLES of " +
                            std::to_string(kbd::KBDTABLES::size) + " bytes fits in the image"});
    return findings;
  }
  try {
    RecordChecker(image, findings).check(tables, *function);
  } catch (const platform::FormatError& e) {
    // Every read above is checked first; this is the last guard against a missed one.
    findings.push_back({"KBDTABLES", tables - image.base(), e.what()});
  }
  return findings;
}

}  // namespace kvar
