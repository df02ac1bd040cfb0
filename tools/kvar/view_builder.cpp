#include "tools/kvar/view_builder.h"

#include "layouts/common/kbd.h"

namespace kvar {
namespace {

Legend legend(const platform::Cell& cell) {
  switch (cell.kind) {
    case platform::Cell::Kind::Character:
      return {std::u16string(1, cell.ch), false};
    case platform::Cell::Kind::Dead:
      return {std::u16string(1, cell.ch), true};
    default:
      return {};
  }
}

}  // namespace

KeyboardView keyboardView(const platform::KeyboardLayout& layout, std::string title) {
  KeyboardView view{std::move(title), layout.altGr(), {}};
  const std::uint8_t third = layout.altGr() ? kbd::KBDCTRL | kbd::KBDALT : kbd::KBDCTRL;
  for (const PhysicalKey& key : mainBlock()) {
    platform::ScanCode scan{key.scanCode,
                            key.extended ? platform::Prefix::E0 : platform::Prefix::None};
    KeyCap cap{key, {}, {}, {}, {}, false};
    std::uint32_t request =
        static_cast<std::uint32_t>(key.scanCode) << 16 | (key.extended ? 1u << 24 : 0);
    cap.name = layout.keyNameText(request);
    if (auto entry = layout.scanCodeEntry(scan)) {
      std::uint8_t vk = static_cast<std::uint8_t>(*entry & 0xFF);
      cap.moved = vk != key.usVirtualKey;
      cap.base = legend(layout.lookup(vk, 0, false));
      cap.shift = legend(layout.lookup(vk, kbd::KBDSHIFT, false));
      cap.third = legend(layout.lookup(vk, third, false));
    } else {
      cap.moved = true;  // the key sends nothing under this layout
    }
    view.keys.push_back(cap);
  }
  return view;
}

std::vector<Composition> compositions(const platform::KeyboardLayout& layout) {
  std::vector<Composition> out;
  for (const platform::DeadKey& d : layout.tables().deadKeys) {
    out.push_back({std::u16string(1, d.deadChar()), std::u16string(1, d.baseChar()),
                   std::u16string(1, d.wchComposed)});
  }
  return out;
}

}  // namespace kvar
