// Shortest round-trip to_chars and from_chars for double and float, as the
// C++17 library gives them (see cxx_fallback.h): the fewest significant
// digits that read back exactly, written fixed or scientific, whichever is
// shorter (fixed on a tie); from_chars reads only the decimal grammar (no
// hexadecimal, no leading '+' or space) and reports overflow and underflow as
// result_out_of_range, as g++'s library does.
#include "cxx_fallback.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace {

template <class Real>
Real read_back(const char* text) {
  if constexpr (sizeof(Real) == sizeof(float)) {
    return std::strtof(text, nullptr);
  } else {
    return std::strtod(text, nullptr);
  }
}

/// The shortest rendering of a finite `value`, fixed or scientific.
template <class Real>
std::string shortest(Real value) {
  constexpr int kMaxDigits = sizeof(Real) == sizeof(float) ? 9 : 17;
  char scientific[64];
  for (int digits = 1; digits <= kMaxDigits; ++digits) {
    std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, static_cast<double>(value));
    if (read_back<Real>(scientific) == value) break;
  }
  // scientific is "-d.ddde+XX": its digits and exponent make the fixed form.
  const char* text = scientific;
  std::string sign = *text == '-' ? (++text, "-") : "";
  std::string digits;
  const char* e = std::strchr(text, 'e');
  for (const char* c = text; c < e; ++c) {
    if (*c != '.') digits += *c;
  }
  const int exponent = std::atoi(e + 1);
  std::string fixed;
  if (exponent >= 0) {
    if (static_cast<int>(digits.size()) <= exponent + 1) {
      fixed = digits + std::string(exponent + 1 - digits.size(), '0');
    } else {
      fixed = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    }
  } else {
    fixed = "0." + std::string(-exponent - 1, '0') + digits;
  }
  fixed = sign + fixed;
  const std::string science = sign + text;
  return science.size() < fixed.size() ? science : fixed;
}

template <class Real>
std::to_chars_result write(char* first, char* last, Real value) {
  std::string text;
  if (std::isnan(value)) {
    text = std::signbit(value) ? "-nan" : "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else if (value == 0) {
    text = std::signbit(value) ? "-0" : "0";
  } else {
    text = shortest(value);
  }
  if (static_cast<std::size_t>(last - first) < text.size()) return {last, std::errc::value_too_large};
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool starts_with_word(const char* first, const char* last, const char* word) {
  const std::size_t length = std::strlen(word);
  if (static_cast<std::size_t>(last - first) < length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if ((first[i] | 0x20) != word[i]) return false;
  }
  return true;
}

/// The end of the longest prefix of [first, last) that the decimal grammar
/// takes (after an optional '-'), or `first` if none.
const char* decimal_end(const char* first, const char* last) {
  const char* p = first;
  if (p < last && *p == '-') ++p;
  if (starts_with_word(p, last, "infinity")) return p + 8;
  if (starts_with_word(p, last, "inf")) return p + 3;
  if (starts_with_word(p, last, "nan")) return p + 3;
  const char* digits_start = p;
  while (p < last && is_digit(*p)) ++p;
  bool any_digit = p > digits_start;
  if (p < last && *p == '.') {
    const char* fraction = ++p;
    while (p < last && is_digit(*p)) ++p;
    any_digit = any_digit || p > fraction;
  }
  if (!any_digit) return first;
  if (p < last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q < last && (*q == '+' || *q == '-')) ++q;
    const char* exponent = q;
    while (q < last && is_digit(*q)) ++q;
    if (q > exponent) p = q;
  }
  return p;
}

}  // namespace

namespace std {

to_chars_result to_chars(char* first, char* last, double value) { return write(first, last, value); }

to_chars_result to_chars(char* first, char* last, float value) { return write(first, last, value); }

from_chars_result from_chars(const char* first, const char* last, double& value) {
  const char* end = decimal_end(first, last);
  if (end == first) return {first, errc::invalid_argument};
  const std::string text(first, end);
  errno = 0;
  const double read = std::strtod(text.c_str(), nullptr);
  if (errno == ERANGE) return {end, errc::result_out_of_range};
  value = read;
  return {end, errc()};
}

}  // namespace std
