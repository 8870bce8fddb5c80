#include "flat/value_reader.h"

#include "base/number_limits.h"

namespace kestrun::flat {

float real_value(const Token& token) {
  if (token.kind == TokenKind::Integer) {
    return static_cast<float>(token.integer);
  }
  return clamp_to_float(token.real);
}

std::int32_t integer_value(const Token& token) {
  if (token.kind == TokenKind::Real) {
    return saturate_to_int32(token.real);
  }
  return token.integer;
}

}  // namespace kestrun::flat
