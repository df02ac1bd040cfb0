// How fast the platform stand-in turns a key press into characters: one
// ToUnicode per press, over the typing keys of the main block with and
// without Shift, on each built layout library.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "layouts/common/kbd.h"
#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"

namespace {

struct Press {
  std::uint8_t virtualKey;
  std::uint8_t modifierBits;
};

void toUnicodePerPress(benchmark::State& state, const std::string& name) {
  const auto image = platform::LoadedImage::load(
      platform::PeFile::read(std::string(KVAR_BENCH_DIST_DIR) + "/" + name + ".dll"));
  const auto layout = platform::KeyboardLayout::load(image);
  std::vector<Press> presses;
  for (std::uint8_t scan = 0x02; scan <= 0x35; ++scan) {  // number row to the slash key
    for (std::uint8_t bits : {std::uint8_t{0}, kbd::KBDSHIFT}) {
      if (const auto vk = layout.virtualKey({scan}, bits, false)) presses.push_back({*vk, bits});
    }
  }
  std::optional<char16_t> pending;
  std::size_t next = 0;
  for (auto _ : state) {
    const Press& p = presses[next];
    benchmark::DoNotOptimize(layout.toUnicode(p.virtualKey, p.modifierBits, false, pending));
    next = next + 1 == presses.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(std::to_string(presses.size()) + " presses in turn");
}

}  // namespace

BENCHMARK_CAPTURE(toUnicodePerPress, stdkeys, std::string("stdkeys"));
BENCHMARK_CAPTURE(toUnicodePerPress, progkeys, std::string("progkeys"));
BENCHMARK_CAPTURE(toUnicodePerPress, phonkeys, std::string("phonkeys"));

BENCHMARK_MAIN();
