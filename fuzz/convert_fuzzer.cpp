// libFuzzer entry: one whole in-process conversion per input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "conversion_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // KESTRUN_FUZZ_MODE=default or extended holds every input to that mode (bit 6 of the first
  // byte), so that a campaign can be given to one mode alone.
  static const std::string mode = std::getenv("KESTRUN_FUZZ_MODE") ? std::getenv("KESTRUN_FUZZ_MODE") : "";
  std::basic_string<unsigned char> held;
  std::span<const unsigned char> input(data, size);
  if (size > 0 && (mode == "default" || mode == "extended")) {
    held.assign(data, size);
    held[0] = static_cast<unsigned char>(mode == "extended" ? held[0] | 0x40U : held[0] & ~0x40U);
    input = held;
  }
  const std::string broken = kestrun::fuzzing::check_conversion(input);
  if (!broken.empty()) {
    // A broken rule is a finding like a crash: report it and let libFuzzer
    // save the input.
    std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
