// Misuses of a checked format that must not compile: the build of each
// KESTRUN_MISUSE number is expected to fail with the message its test names
// (tests/CMakeLists.txt). Number 0 is the correct use, which must compile.
#include <cstdint>
#include <string>

#include "base/format.h"

namespace kestrun {

template <FormatText Text, class... Args>
void print(const Args&... args) {
  std::string text;
  StringOutput out(text);
  format_text_to<Text>(out, args...);
}

void misuse() {
  const std::int64_t count = 3;
  const double length = 1.5;
  const std::string_view name = "box";
#if KESTRUN_MISUSE == 0
  print<"%s has %d vertices of %f, %r and %3d">(name, count, length, length, count);
#elif KESTRUN_MISUSE == 1
  print<"%d and %d">(count);
#elif KESTRUN_MISUSE == 2
  print<"%d">(count, count);
#elif KESTRUN_MISUSE == 3
  print<"%d">(length);
#elif KESTRUN_MISUSE == 4
  print<"%f">(count);
#elif KESTRUN_MISUSE == 5
  print<"%s">(count);
#elif KESTRUN_MISUSE == 6
  print<"%8f">(length);
#elif KESTRUN_MISUSE == 7
  print<"%x">(count);
#elif KESTRUN_MISUSE == 8
  print<"a %">(count);
#endif
  (void)count;
  (void)length;
  (void)name;
}

}  // namespace kestrun
