// Numbers from the input brought into the 32-bit types the converters keep,
// inside defined behaviour whatever their size.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrun {

/// Truncates `value` toward zero and clamps it to the 32-bit range (NaN gives 0).
inline std::int32_t saturate_to_int32(double value) {
  if (!(value > -2147483648.0)) return value < 0 ? std::numeric_limits<std::int32_t>::min() : 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

/// Rounds `value` to single precision; values beyond the float range become
/// infinite, as the hardware conversion gives them (for the intermediate
/// results of a computation kept as floats).
inline float narrow_to_float(double value) {
  // Half an ulp above the largest float: from here on the conversion rounds
  // to infinity. Spelling it out keeps the conversion inside defined behaviour.
  constexpr double kOverflow = 3.4028235677973366e38;
  if (std::fabs(value) >= kOverflow) {
    return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                               : std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

/// Rounds `value`, read from the input, to single precision; a value beyond
/// the float range becomes the largest float of its sign: no Maya file may
/// hold an infinity.
inline float clamp_to_float(double value) {
  constexpr double kOverflow = 3.4028235677973366e38;  // As in narrow_to_float.
  if (std::fabs(value) >= kOverflow) {
    return std::signbit(value) ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
  }
  return static_cast<float>(value);
}

}  // namespace kestrun
