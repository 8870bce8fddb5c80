#include "convert/value_reader.h"

#include <cmath>
#include <limits>

namespace kestrun {

float narrow_to_float(double value) {
  // Half an ulp above the largest float: from here on the conversion rounds
  // to infinity. Spelling it out keeps the conversion inside defined behaviour.
  constexpr double kOverflow = 3.4028235677973366e38;
  if (std::fabs(value) >= kOverflow) {
    return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                               : std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

float real_value(const Token& token) {
  if (token.kind == TokenKind::Integer) {
    return static_cast<float>(token.integer);
  }
  return narrow_to_float(token.real);
}

std::int32_t integer_value(const Token& token) {
  if (token.kind == TokenKind::Real) {
    return saturate_to_int32(token.real);
  }
  return token.integer;
}

}  // namespace kestrun
