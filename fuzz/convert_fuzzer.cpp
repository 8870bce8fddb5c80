// libFuzzer entry: one whole in-process conversion per input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "conversion_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = kestrun::fuzzing::check_conversion(std::span<const unsigned char>(data, size));
  if (!broken.empty()) {
    // A broken rule is a finding like a crash: report it and let libFuzzer
    // save the input.
    std::fprintf(stderr, "rule broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
