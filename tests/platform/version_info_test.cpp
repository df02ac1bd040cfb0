// The version resource of stdkeys.dll, queried the way a version query does.
#include "platform/version_info.h"

#include <gtest/gtest.h>

#include "layouts/common/pe.h"
#include "tests/common/built_files.h"

namespace platform {
namespace {

using test::show;

const VersionInfo& stdkeysVersion() {
  static const VersionInfo info = VersionInfo::read(test::stdkeysImage());
  return info;
}

TEST(VersionInfo, ResourceDirectory) {
  EXPECT_EQ(stdkeysVersion().resourceName(), 1u);
  EXPECT_EQ(stdkeysVersion().resourceLanguage(), 1063u);
  EXPECT_EQ(stdkeysVersion().dataCodePage(), 0u);
}

TEST(VersionInfo, FixedFileInfo) {
  const FixedFileInfo& f = stdkeysVersion().fixedFileInfo();
  EXPECT_EQ(f.dwSignature, pe::VS_FFI_SIGNATURE);
  EXPECT_EQ(f.dwStrucVersion, 0x00010000u);
  EXPECT_EQ(f.dwFileVersionMS, 0x00050000u);  // 5.0
  EXPECT_EQ(f.dwFileVersionLS, 0x08840001u);  // 2180.1
  EXPECT_EQ(f.dwProductVersionMS, 0x00050000u);
  EXPECT_EQ(f.dwProductVersionLS, 0x08840001u);
  EXPECT_EQ(f.dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(f.dwFileFlags, 0u);
  EXPECT_EQ(f.dwFileOS, pe::VOS_NT_WINDOWS32);
  EXPECT_EQ(f.dwFileType, pe::VFT_DLL);
  EXPECT_EQ(f.dwFileSubtype, pe::VFT2_UNKNOWN);
  EXPECT_EQ(f.dwFileDateMS, 0u);
  EXPECT_EQ(f.dwFileDateLS, 0u);
}

TEST(VersionInfo, Strings) {
  struct Case {
    std::u16string key;
    std::u16string value;  // empty: an empty value of length 0
  };
  const Case cases[] = {
      {u"Comments", u""},
      {u"FileDescription", u"Lithuanian Keyboard Layout (Standard)"},
      {u"FileVersion", u"5.00.2180.1"},
      {u"InternalName", u"stdkeys"},
      {u"LegalTrademarks", u""},
      {u"OriginalFilename", u"stdkeys.dll"},
      {u"PrivateBuild", u""},
      {u"ProductName", u"Microsoft(R) Windows (R) 2000 Operating System"},
      {u"ProductVersion", u"5.00.2180.1"},
      {u"SpecialBuild", u""},
  };
  for (const Case& c : cases) {
    const auto found = stdkeysVersion().queryString(u"000004b0", c.key);
    ASSERT_TRUE(found) << show(c.key) << " is missing";
    EXPECT_EQ(found->value, c.value) << show(c.key) << ": " << show(found->value);
    const std::size_t length = c.value.empty() ? 0 : c.value.size() + 1;
    EXPECT_EQ(found->valueLength, length) << show(c.key);
  }
  for (const char16_t* key : {u"CompanyName", u"LegalCopyright"}) {
    const auto found = stdkeysVersion().queryString(u"000004b0", key);
    ASSERT_TRUE(found) << show(key);
    EXPECT_FALSE(found->value.empty()) << show(key);
    EXPECT_EQ(found->valueLength, found->value.size() + 1) << show(key);
  }
  EXPECT_FALSE(stdkeysVersion().queryString(u"000004b0", u"Language"));
  EXPECT_FALSE(stdkeysVersion().queryString(u"040904b0", u"FileVersion"));
}

TEST(VersionInfo, EmptyValuesHoldNoCharacters) {
  const VersionBlock* table = stdkeysVersion().root().child(u"StringFileInfo")->child(u"000004b0");
  ASSERT_NE(table, nullptr);
  const char16_t* order[] = {u"Comments",        u"CompanyName",      u"FileDescription",
                             u"FileVersion",     u"InternalName",     u"LegalCopyright",
                             u"LegalTrademarks", u"OriginalFilename", u"PrivateBuild",
                             u"ProductName",     u"ProductVersion",   u"SpecialBuild"};
  ASSERT_EQ(table->children.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    const VersionBlock& b = table->children[i];
    EXPECT_EQ(b.szKey, order[i]);
    EXPECT_EQ(b.wType, pe::kVersionBlockText) << show(b.szKey);
    // An empty value has no terminating zero either: the block ends with its key.
    if (b.wValueLength == 0) {
      EXPECT_TRUE(b.value.empty()) << show(b.szKey);
      EXPECT_EQ(b.wLength, 6 + 2 * (b.szKey.size() + 1)) << show(b.szKey);
    }
  }
}

TEST(VersionInfo, Translation) {
  const auto pairs = stdkeysVersion().translations();
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].language, 0x0000);
  EXPECT_EQ(pairs[0].codePage, 1200);
}

}  // namespace
}  // namespace platform
