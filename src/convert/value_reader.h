// How converters take numbers from the current token.
#pragma once

#include <cstdint>
#include <limits>

#include "ase/token.h"
#include "ase/tokenizer.h"

namespace kestrun {

/// The real value the current token stands for, in single precision: an
/// integer token counts with its own value (7 reads as 7.0); any other token
/// gives the Token's `real` field, the last real read.
float real_value(const Token& token);

/// The integer value the current token stands for: a real token counts
/// truncated toward zero and saturated to 32 bits; any other token gives the
/// Token's `integer` field, the last integer read.
std::int32_t integer_value(const Token& token);

/// Advances to the next token and returns its real value.
inline float read_real(Tokenizer& tokens) {
  tokens.next_token();
  return real_value(tokens.token());
}

/// Advances to the next token and returns its integer value.
inline std::int32_t read_integer(Tokenizer& tokens) {
  tokens.next_token();
  return integer_value(tokens.token());
}

/// Rounds `value` to single precision; values beyond the float range become
/// infinite, as the hardware conversion gives them.
float narrow_to_float(double value);

/// Truncates `value` toward zero and clamps it to the 32-bit range (NaN gives 0).
inline std::int32_t saturate_to_int32(double value) {
  if (!(value > -2147483648.0)) return value < 0 ? std::numeric_limits<std::int32_t>::min() : 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

}  // namespace kestrun
