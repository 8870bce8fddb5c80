// One whole conversion of arbitrary bytes, with the rules every run must keep.
// The fuzz target and the regression tests share it.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "base/run_options.h"

namespace kestrun::fuzzing {

/// Output a checked run may write before its sink fails as a full disk would:
/// a declared count of two billion entries then costs a few milliseconds.
inline constexpr std::size_t kOutputCap = std::size_t{4} << 20;

/// The switches selected by a fuzz input's first byte: bit 0 animation, 1
/// geometry, 2 lights, 3 cameras, 4 scene; bit 5 is "universal" and turns
/// everything on, as -u does ('?' is thus a run without switches); bit 6
/// chooses the extended mode, and bit 7 with it --z-up.
RunOptions options_from_byte(unsigned char byte);

/// Converts `input` (first byte: the switches; the rest: the ASE text) in
/// memory into a sink capped at kOutputCap, and checks what every run must
/// keep to: it ends with status 0 or with exactly one known message; status
/// 0 means a run whose output opens with the header and closes with the end
/// comment, with no message but, in the extended mode, warnings; a write
/// failure happens only at the cap; a file refused as no ASE text has no
/// output; the extended mode never ends with code 4; no NUL byte, and no
/// "inf" or "nan" as a value, reaches the output; no control character but
/// the line end reaches the console (names are shown escaped); the extended
/// mode's key times strictly increase; and reading the input in small blocks
/// gives the very same run.
/// Returns a description of the first broken rule, or an empty string.
std::string check_conversion(std::span<const unsigned char> input);

}  // namespace kestrun::fuzzing
