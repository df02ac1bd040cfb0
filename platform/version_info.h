// The RT_VERSION resource of an image, answered the way a version query
// answers: the VS_FIXEDFILEINFO, the strings of a StringFileInfo table and
// the Translation pairs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/loaded_image.h"

namespace platform {

struct FixedFileInfo {
  std::uint32_t dwSignature;
  std::uint32_t dwStrucVersion;
  std::uint32_t dwFileVersionMS;
  std::uint32_t dwFileVersionLS;
  std::uint32_t dwProductVersionMS;
  std::uint32_t dwProductVersionLS;
  std::uint32_t dwFileFlagsMask;
  std::uint32_t dwFileFlags;
  std::uint32_t dwFileOS;
  std::uint32_t dwFileType;
  std::uint32_t dwFileSubtype;
  std::uint32_t dwFileDateMS;
  std::uint32_t dwFileDateLS;
};

// One block of a VS_VERSIONINFO: wLength, wValueLength, wType, szKey, the
// value and the child blocks.
struct VersionBlock {
  std::uint32_t offset;  // from the start of the resource data
  std::uint16_t wLength;
  std::uint16_t wValueLength;
  std::uint16_t wType;
  std::u16string szKey;
  std::vector<std::uint8_t> value;
  std::vector<VersionBlock> children;

  const VersionBlock* child(std::u16string_view key) const;  // ASCII case ignored
};

struct VersionString {
  std::u16string value;       // up to the terminating zero, if any
  std::uint16_t valueLength;  // wValueLength: UTF-16 units, the zero included
};

struct Translation {
  std::uint16_t language;
  std::uint16_t codePage;
};

class VersionInfo {
 public:
  static VersionInfo read(const LoadedImage& image);  // throws FormatError

  // Where the resource directory led: identifier, language and data entry.
  std::uint32_t resourceName() const { return name_; }
  std::uint32_t resourceLanguage() const { return language_; }
  std::uint32_t dataCodePage() const { return codePage_; }

  const VersionBlock& root() const { return root_; }
  const FixedFileInfo& fixedFileInfo() const { return fixed_; }
  // "\StringFileInfo\<table>\<key>": nullopt when the table or the key is absent.
  std::optional<VersionString> queryString(std::u16string_view table,
                                           std::u16string_view key) const;
  // "\VarFileInfo\Translation"; empty when absent.
  std::vector<Translation> translations() const;

 private:
  std::uint32_t name_ = 0;
  std::uint32_t language_ = 0;
  std::uint32_t codePage_ = 0;
  VersionBlock root_;
  FixedFileInfo fixed_{};
};

}  // namespace platform
