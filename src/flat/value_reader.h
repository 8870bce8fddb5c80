// How converters take numbers from the current token.
#pragma once

#include <array>
#include <cstdint>

#include "ase/token.h"
#include "ase/tokenizer.h"
#include "base/number_limits.h"

namespace kestrun::flat {

/// The real value the current token stands for, in single precision: an
/// integer token counts with its own value (7 reads as 7.0); any other token
/// gives the Token's `real` field, the last real read. A real beyond the
/// float range counts as the largest float of its sign.
float real_value(const Token& token);

/// The real value of a number token read by next_numbers, in single
/// precision, as real_value gives it for the same token.
inline float real_value(const Tokenizer::Number& number) {
  return number.kind == TokenKind::Integer ? static_cast<float>(number.integer) : clamp_to_float(number.real);
}

/// The integer value of a number token read by next_numbers, as
/// integer_value gives it for the same token.
inline std::int32_t integer_value(const Tokenizer::Number& number) {
  return number.kind == TokenKind::Real ? saturate_to_int32(number.real) : number.integer;
}

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

/// Advances three times and returns the three real values read.
inline std::array<float, 3> read_triple(Tokenizer& tokens) {
  std::array<float, 3> values{};
  for (float& value : values) value = read_real(tokens);
  return values;
}

}  // namespace kestrun::flat
