// A file handed to the platform stand-in as a layout library: the loader
// maps it (at its preferred base and moved elsewhere), the reader reads its
// tables and version resource, the keyboard services answer over them, and
// kvar draws the keyboard. Every file gets an answer: a FormatError for a
// file that is wrong, never a crash, a read outside the image or a hang.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/format_error.h"
#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"
#include "platform/typing_session.h"
#include "platform/version_info.h"
#include "tools/kvar/render.h"
#include "tools/kvar/view_builder.h"

namespace {

// Somewhere else than the preferred base, so that the relocations apply.
constexpr std::uint32_t kOtherBase = 0x10000000;

void useServices(const platform::KeyboardLayout& layout) {
  platform::TypingSession session(layout);
  for (unsigned code = 1; code < 0x80; ++code) session.tap({static_cast<std::uint8_t>(code)});
  for (const auto* list : {&layout.tables().vscToVkE0, &layout.tables().vscToVkE1}) {
    for (const platform::VscVk& e : *list) session.tap({e.Vsc, platform::Prefix::E0});
  }
  std::optional<char16_t> pending;
  for (const platform::CharTable& table : layout.tables().vkToWcharTable) {
    for (const platform::CharRow& row : table.rows) {
      for (std::uint8_t bits = 0; bits < 8; ++bits) {
        layout.toUnicode(row.VirtualKey, bits, (bits & 1) != 0, pending);
      }
      layout.mapVirtualKey(row.VirtualKey, platform::MAPVK_VK_TO_CHAR);
      layout.mapVirtualKey(row.VirtualKey, platform::MAPVK_VK_TO_VSC);
      if (!row.wch.empty()) layout.vkKeyScan(row.wch.back());
    }
  }
  for (unsigned code = 0; code < 0x80; code += 7) {
    layout.keyNameText(code << 16);
    layout.keyNameText(code << 16 | 3u << 24);
    layout.mapVirtualKey(code, platform::MAPVK_VSC_TO_VK);
  }
  for (const platform::DeadKey& d : layout.tables().deadKeys) layout.vkKeyScan(d.wchComposed);
  kvar::renderSvg(kvar::keyboardView(layout, "fuzz"));
  kvar::compositions(layout);
}

void load(const platform::PeFile& file, std::optional<std::uint32_t> base) {
  try {
    const platform::LoadedImage image = platform::LoadedImage::load(file, base);
    try {
      platform::VersionInfo::read(image);
    } catch (const platform::FormatError&) {
    }
    useServices(platform::KeyboardLayout::load(image));
  } catch (const platform::FormatError&) {
  } catch (const std::invalid_argument&) {  // an image that cannot be placed at that base
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const platform::PeFile file = platform::PeFile::parse({data, data + size});
    load(file, std::nullopt);
    if (file.optionalHeader().ImageBase != kOtherBase) load(file, kOtherBase);
  } catch (const platform::FormatError&) {
  }
  return 0;
}
