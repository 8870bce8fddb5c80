// The classes of bytes both modes' lexers start from: what a blank, a digit
// and a name character are is written here once.
#pragma once

#include <array>
#include <cstdint>

namespace kestrun::byte_class {

enum ByteClass : std::uint8_t {
  kBlank = 1,  // space, tab, line feed, vertical tab, form feed, carriage return
  kDigit = 2,
  kLetter = 4,
  kNameChar = 8,     // letter, digit or underscore
  kNumberPart = 16,  // digit or point
};

/// The classes of each byte value.
inline constexpr std::array<std::uint8_t, 256> kByteClasses = [] {
  std::array<std::uint8_t, 256> classes{};
  classes[' '] = kBlank;
  for (int c = '\t'; c <= '\r'; ++c) classes[static_cast<std::size_t>(c)] = kBlank;
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kDigit | kNameChar | kNumberPart;
  for (int c = 'A'; c <= 'Z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kNameChar;
  for (int c = 'a'; c <= 'z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter | kNameChar;
  classes['_'] = kNameChar;
  classes['.'] = kNumberPart;
  return classes;
}();

constexpr bool has_class(unsigned char byte, std::uint8_t wanted) {
  return (kByteClasses[byte] & wanted) != 0;
}

}  // namespace kestrun::byte_class
