// What Emscripten 3.1.6's C++ library (Debian 12) lacks of the C++20 the
// library is written in: std::bit_cast, std::make_unique_for_overwrite and the
// floating-point to_chars and from_chars (integer <charconv> only). Included
// before every source of the WebAssembly build (-include); the conversions are
// defined in cxx_fallback.cpp over the C library's exact printf and strtod.
#pragma once

#include <charconv>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <version>

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t count) {
  return unique_ptr<T>(new remove_extent_t<T>[count]);
}
template <class T>
requires(!is_array_v<T>) unique_ptr<T> make_unique_for_overwrite() { return unique_ptr<T>(new T); }
#endif

to_chars_result to_chars(char* first, char* last, double value);
to_chars_result to_chars(char* first, char* last, float value);
from_chars_result from_chars(const char* first, const char* last, double& value);

}  // namespace std
