#include "base/fixed_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kestrun {
namespace {

/// What a value that is not finite is written as: the largest float of its
/// sign for an infinity, 0 for NaN. Counted in `*replaced` if given.
double finite_stand_in(double value, std::size_t* replaced) noexcept {
  if (replaced != nullptr) ++*replaced;
  if (std::isnan(value)) return 0.0;
  return std::copysign(static_cast<double>(std::numeric_limits<float>::max()), value);
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// The number of decimal digits of `value`.
int count_digits(std::uint64_t value) noexcept {
  int digits = 1;
  for (; value >= 10000; value /= 10000) digits += 4;
  if (value >= 100) {
    digits += 2;
    value /= 100;
  }
  return value >= 10 ? digits + 1 : digits;
}

/// The eight decimal digits of `value` (below 10^8, leading zeros included)
/// as one byte each, the first digit in the lowest byte, with no division
/// and no loop: the value is split into halves of four digits, each half
/// into pairs, each pair into digits, every lane at once (multiplications by
/// 5243 / 2^19 and 103 / 2^10 divide exactly by 100 and 10 in these ranges).
std::uint64_t eight_digits(std::uint32_t value) noexcept {
  const std::uint64_t halves = (value / 10000) | (std::uint64_t{value % 10000} << 32);
  const std::uint64_t hundreds = ((halves * 5243) >> 19) & 0x0000007F0000007F;
  const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
  const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
  return tens | ((pairs - tens * 10) << 8);
}

/// Writes the decimal digits of `value` (no sign) and returns the end. Eight
/// bytes are stored whatever the length.
char* write_unsigned(std::uint64_t value, char* out) noexcept {
  if (value < 100'000'000) {
    const std::uint64_t digits = eight_digits(static_cast<std::uint32_t>(value));
    // Leading zeros are dropped by a shift; the last digit always stays.
    const int zeros = std::countr_zero(digits | (std::uint64_t{1} << 56)) / 8;
    const std::uint64_t text = (digits + 0x3030303030303030) >> (zeros * 8);
    std::memcpy(out, &text, 8);
    return out + (8 - zeros);
  }
  char* const end = out + count_digits(value);
  char* cursor = end;
  while (value >= 100) {
    cursor -= 2;
    std::memcpy(cursor, kDigitPairs + (value % 100) * 2, 2);
    value /= 100;
  }
  if (value >= 10) {
    std::memcpy(cursor - 2, kDigitPairs + value * 2, 2);
  } else {
    cursor[-1] = static_cast<char>('0' + value);
  }
  return end;
}

/// Writes exactly six digits of `value` (below 1,000,000), zero-padded.
char* write_six_digits(std::uint32_t value, char* out) noexcept {
  const std::uint64_t text = (eight_digits(value) + 0x3030303030303030) >> 16;
  std::memcpy(out, &text, 6);
  return out + 6;
}

/// A float's magnitude in millionths, rounded half to even as printf rounds,
/// or false for values the fast paths do not take (doubles that are no
/// float, 10^12 and beyond, not finite). A single-precision value times 10^6
/// is exact in double (24 + 14 significant bits), so rounding that product
/// gives printf's own digits; the bound keeps it inside 64-bit integers.
bool float_millionths(double value, std::uint64_t& units) noexcept {
  const double magnitude = std::fabs(value);
  if (!(magnitude < 1e12) || static_cast<double>(static_cast<float>(value)) != value) return false;
  const double scaled = magnitude * 1e6;
  units = static_cast<std::uint64_t>(scaled);
  const double rest = scaled - static_cast<double>(units);
  if (rest > 0.5 || (rest == 0.5 && (units & 1U) != 0)) ++units;
  return true;
}

}  // namespace

char* format_fixed(double value, char* out, std::size_t* replaced) noexcept {
  std::uint64_t units = 0;
  if (float_millionths(value, units)) {
    if (std::signbit(value)) *out++ = '-';
    out = write_unsigned(units / 1000000, out);
    *out++ = '.';
    return write_six_digits(static_cast<std::uint32_t>(units % 1000000), out);
  }
  // Anything else (doubles that are no float, huge values) is rare: the C
  // library's own conversion is the reference, so use it.
  if (!std::isfinite(value)) value = finite_stand_in(value, replaced);
  const int length = std::snprintf(out, kMaxFixedLength, "%f", value);
  return out + (length > 0 ? length : 0);
}

char* format_trimmed(double value, char* out, std::size_t* replaced) noexcept {
  std::uint64_t units = 0;
  if (!float_millionths(value, units)) {
    if (!std::isfinite(value)) value = finite_stand_in(value, replaced);
    return std::to_chars(out, out + kMaxFixedLength, value).ptr;
  }
  // A value that rounds to zero is 0, whatever its sign: "-0" says nothing more.
  if (units == 0) {
    *out = '0';
    return out + 1;
  }
  if (std::signbit(value)) *out++ = '-';
  // The six decimals one byte each, the last in byte 5 (eight_digits' bytes 2 to 7).
  std::uint64_t decimals = 0;
  if (units < 100'000'000) {
    // Below 100 (normals, texture coordinates, most keys): whole and decimals in one go.
    const std::uint64_t digits = eight_digits(static_cast<std::uint32_t>(units));
    const int whole_digits = (digits & 0xFF) != 0 ? 2 : 1;
    const std::uint64_t whole = ((digits & 0xFFFF) + 0x3030) >> (16 - 8 * whole_digits);
    std::memcpy(out, &whole, 2);
    out += whole_digits;
    decimals = digits >> 16;
  } else {
    out = write_unsigned(units / 1000000, out);
    decimals = eight_digits(static_cast<std::uint32_t>(units % 1000000)) >> 16;
  }
  if (decimals == 0) return out;
  // The highest byte that is not zero is the last decimal kept.
  const int kept = (64 - std::countl_zero(decimals) + 7) / 8;
  const std::uint64_t text = decimals + 0x3030303030303030;
  *out++ = '.';
  std::memcpy(out, &text, 8);
  return out + kept;
}

char* format_integer(std::int64_t value, char* out) noexcept {
  std::uint64_t magnitude = static_cast<std::uint64_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = ~magnitude + 1;  // Two's complement negation, defined for INT64_MIN.
  }
  return write_unsigned(magnitude, out);
}

}  // namespace kestrun
