// kvar dump FILE.dll
#include <iostream>
#include <optional>

#include "platform/format_error.h"
#include "platform/keyboard_layout.h"
#include "platform/loaded_image.h"
#include "platform/pe_file.h"
#include "platform/table_dump.h"
#include "tools/kvar/command.h"
#include "tools/kvar/library.h"

namespace kvar {

int runDump(const Args& args) {
  std::optional<std::string> file;
  for (std::string_view a : args) {
    if (a.starts_with("-")) throw UsageError("unknown option " + std::string(a));
    if (file) throw UsageError("one layout library at a time");
    file = std::string(a);
  }
  if (!file) throw UsageError("which layout library? kvar dump FILE.dll");

  std::string dump;
  try {
    const auto image = platform::LoadedImage::load(platform::PeFile::parse(readLibraryFile(*file)));
    const std::uint32_t descriptor = image.exportByName(platform::KeyboardLayout::kDescriptorName);
    dump = platform::dumpTables(image, image.callDescriptor(descriptor));
  } catch (const platform::FormatError& e) {
    throw InputError(*file + ": " + e.what());
  } catch (const std::invalid_argument& e) {  // an image the loader cannot place
    throw InputError(*file + ": " + e.what());
  }
  std::cout << dump;
  return kExitFine;
}

}  // namespace kvar
