// Runs a fuzz target's entry point once on each file named on the command
// line, without libFuzzer: the seeds and the inputs that once failed stay
// tests of every build, also under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::cerr << argv[i] << ": cannot open the file\n";
      return 1;
    }
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::cout << "replayed " << argc - 1 << " inputs\n";
  return 0;
}
