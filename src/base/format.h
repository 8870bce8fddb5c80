// printf-style formatting with the format checked at compile time.
//
// The output texts stay in the code as the format texts that define them
// ("createNode transform -n \"%s\";\n"); `format_to` renders them into any
// output that offers append/reserve/commit. Supported conversions: %d
// (integers, optional width such as %2d), %f (reals, six decimals, exactly as
// printf), %r (reals with at most six decimals and no trailing zeros:
// format_trimmed) and %s / %c (texts). A wrong argument count or
// type does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/fixed_format.h"

namespace kestrun {

/// A type that renders itself as a text argument: it declares
/// `using formats_as_text = void;` and has `template <class Out> void
/// append_to(Out& out) const`. The writers of a file format keep their
/// quoting rules this way, out of the generic formatting.
template <class T>
concept SelfFormattingText = requires {
  typename T::formats_as_text;
};

namespace format_detail {

enum class ArgClass { Integer, Real, Text };

template <class T>
consteval ArgClass class_of() {
  using U = std::remove_cvref_t<std::decay_t<T>>;
  if constexpr (std::is_same_v<U, float> || std::is_same_v<U, double>) {
    return ArgClass::Real;
  } else if constexpr (std::is_integral_v<U> && !std::is_same_v<U, bool> && !std::is_same_v<U, char>) {
    return ArgClass::Integer;
  } else {
    static_assert(std::is_same_v<U, std::string_view> || std::is_same_v<U, const char*> ||
                      std::is_same_v<U, char*> || std::is_same_v<U, std::string> || SelfFormattingText<U> ||
                      std::is_same_v<U, char>,
                  "unsupported format argument");
    return ArgClass::Text;
  }
}

/// Reports a malformed format at compile time (a throw is not a constant expression).
inline void format_error(const char* /*why*/) { throw 0; }

/// The literal text before one conversion, and the conversion's width and letter.
struct Piece {
  std::size_t begin = 0;
  std::size_t length = 0;
  std::size_t width = 0;
  bool has_width = false;
  char letter = 0;  // Of the conversion after the text.
};

/// The literal pieces of a format text with `Count` conversions, each with
/// the conversion after it; the last piece is the text after the last
/// conversion. The one parser of a format text: the compile-time check,
/// format_text_to and format_to all take their pieces from it. A text that
/// ends inside a conversion, or has other than `Count` conversions, does not
/// compile where it is checked.
template <std::size_t Count>
constexpr std::array<Piece, Count + 1> split_format(std::string_view text) {
  std::array<Piece, Count + 1> pieces{};
  std::size_t begin = 0;
  for (std::size_t index = 0; index <= Count; ++index) {
    // A loop, not string_view::find: g++ does not take find as a constant
    // expression when built with -fsanitize=undefined.
    std::size_t percent = begin;
    while (percent < text.size() && text[percent] != '%') ++percent;
    if (percent == text.size()) {
      if (index < Count) format_error("more arguments than conversions");
      pieces[index] = Piece{begin, text.size() - begin, 0, false, 0};
      break;
    }
    std::size_t letter = percent + 1;
    std::size_t width = 0;
    while (letter < text.size() && text[letter] >= '0' && text[letter] <= '9') {
      width = width * 10 + static_cast<std::size_t>(text[letter] - '0');
      ++letter;
    }
    if (letter == text.size()) format_error("format ends inside a conversion");
    if (index == Count) format_error("more conversions than arguments");
    pieces[index] = Piece{begin, percent - begin, width, letter != percent + 1, text[letter]};
    begin = letter + 1;
  }
  return pieces;
}

}  // namespace format_detail

/// A format text checked against its argument types when it is compiled.
template <class... Args>
class FormatString {
 public:
  template <std::size_t N>
  consteval FormatString(const char (&text)[N]) : text_(text, N - 1) {  // NOLINT: implicit by design
    using format_detail::ArgClass;
    using format_detail::format_error;
    constexpr ArgClass classes[] = {format_detail::class_of<Args>()..., ArgClass::Text};
    const auto pieces = format_detail::split_format<sizeof...(Args)>(text_);
    for (std::size_t arg = 0; arg < sizeof...(Args); ++arg) {
      const format_detail::Piece& piece = pieces[arg];
      const ArgClass wanted = classes[arg];
      if (piece.letter == 'd') {
        if (wanted != ArgClass::Integer) format_error("%d needs an integer");
      } else if (piece.letter == 'f' || piece.letter == 'r') {
        if (piece.has_width || wanted != ArgClass::Real) format_error("%f needs a real");
      } else if (piece.letter == 's' || piece.letter == 'c') {
        if (piece.has_width || wanted != ArgClass::Text) format_error("%s needs a text");
      } else {
        format_error("unsupported conversion");
      }
    }
  }

  [[nodiscard]] constexpr std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

/// Format text for the argument types `Args`, deduced from the arguments only.
template <class... Args>
using Format = FormatString<std::type_identity_t<std::decay_t<Args>>...>;

namespace format_detail {

template <class Out>
void append_text(Out& out, std::string_view text) {
  out.append(text);
}

template <class Out>
void append_text(Out& out, char c) {
  out.append(std::string_view(&c, 1));
}

/// Where `out` counts the values that were not finite and so were written
/// otherwise (see format_fixed), if it counts them.
template <class Out>
std::size_t* non_finite_tally(Out& out) {
  if constexpr (requires { out.non_finite_tally(); }) {
    return out.non_finite_tally();
  } else {
    return nullptr;
  }
}

/// Writes `value` as %f or, for letter 'r', as %f without its trailing zeros.
template <class T>
char* write_real(char* cursor, const T& value, char letter, std::size_t* non_finite) {
  if (letter == 'r') return format_trimmed(static_cast<double>(value), cursor, non_finite);
  return format_fixed(static_cast<double>(value), cursor, non_finite);
}

template <class Out, class T>
void append_argument(Out& out, const T& value, std::size_t width, char letter) {
  constexpr ArgClass kind = class_of<T>();
  if constexpr (kind == ArgClass::Real) {
    char* start = out.reserve(kMaxFixedLength);
    out.commit(write_real(start, value, letter, non_finite_tally(out)));
  } else if constexpr (kind == ArgClass::Integer) {
    char* start = out.reserve(kMaxIntegerLength + 64);
    char* end = format_integer(static_cast<std::int64_t>(value), start);
    const std::size_t length = static_cast<std::size_t>(end - start);
    if (width > length && width <= 64) {  // Right-align in `width` columns, as printf pads.
      std::memmove(start + (width - length), start, length);
      std::memset(start, ' ', width - length);
      end = start + width;
    }
    out.commit(end);
  } else if constexpr (SelfFormattingText<std::decay_t<T>>) {
    value.append_to(out);
  } else if constexpr (std::is_same_v<std::decay_t<T>, char>) {
    append_text(out, value);
  } else {
    append_text(out, std::string_view(value));
  }
}

/// Copies the literal text of `piece`, then renders `value` for its conversion.
template <class Out, class T>
void render_piece(Out& out, std::string_view format, const Piece& piece, const T& value) {
  out.append(format.substr(piece.begin, piece.length));
  append_argument(out, value, piece.width, piece.letter);
}

}  // namespace format_detail

/// Renders `format` with `args` into `out` (append, reserve and commit).
template <class Out, class... Args>
void format_to(Out& out, Format<Args...> format, const Args&... args) {
  const std::string_view text = format.text();
  const auto pieces = format_detail::split_format<sizeof...(Args)>(text);
  std::size_t index = 0;
  (format_detail::render_piece(out, text, pieces[index++], args), ...);
  out.append(text.substr(pieces[index].begin, pieces[index].length));
}

/// A format text given as a template argument, so that its literal pieces and
/// conversions are known when the program is compiled.
template <std::size_t N>
struct FormatText {
  char chars[N]{};
  consteval FormatText(const char (&text)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
  [[nodiscard]] constexpr std::string_view view() const { return {chars, N - 1}; }
};

namespace format_detail {

template <class T>
consteval std::size_t widest_text_of() {
  return class_of<T>() == ArgClass::Real ? kMaxFixedLength : kMaxIntegerLength;
}

template <auto Text, Piece P>
char* copy_piece(char* cursor) {
  std::memcpy(cursor, Text.chars + P.begin, P.length);  // A constant size: no library call.
  return cursor + P.length;
}

template <class T>
char* write_number(char* cursor, const T& value, char letter, std::size_t* non_finite) {
  if constexpr (class_of<T>() == ArgClass::Real) {
    return write_real(cursor, value, letter, non_finite);
  } else {
    return format_integer(static_cast<std::int64_t>(value), cursor);
  }
}

}  // namespace format_detail

/// Renders the format `Text` with `args` into `out`. A format of numbers
/// without widths, such as a vertex line, is written straight into the
/// output's buffer with one room check; any other goes through format_to.
template <FormatText Text, class Out, class... Args>
void format_text_to(Out& out, const Args&... args) {
  using namespace format_detail;
  [[maybe_unused]] constexpr Format<Args...> kChecked(Text.chars);
  constexpr std::size_t kCount = sizeof...(Args);
  constexpr auto kPieces = split_format<kCount>(Text.view());
  constexpr bool kDirect = ((class_of<Args>() != ArgClass::Text) && ... && true) && [&] {
    for (const Piece& piece : kPieces) {
      if (piece.has_width) return false;
    }
    return true;
  }();
  if constexpr (kDirect) {
    constexpr std::size_t kRoom = Text.view().size() + (widest_text_of<Args>() + ... + 0);
    char* cursor = out.reserve(kRoom);
    std::size_t* const non_finite = non_finite_tally(out);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      ((cursor = write_number(copy_piece<Text, kPieces[I]>(cursor), args, kPieces[I].letter, non_finite)),
       ...);
    }
    (std::make_index_sequence<kCount>{});
    out.commit(copy_piece<Text, kPieces[kCount]>(cursor));
  } else {
    format_to(out, kChecked, args...);
  }
}

/// An output over a std::string, for console lines and tests.
class StringOutput {
 public:
  explicit StringOutput(std::string& target) : target_(target) {}
  void append(std::string_view text) { target_.append(text); }
  char* reserve(std::size_t size) {
    reserved_from_ = target_.size();
    target_.resize(reserved_from_ + size);
    return target_.data() + reserved_from_;
  }
  void commit(char* end) { target_.resize(static_cast<std::size_t>(end - target_.data())); }

 private:
  std::string& target_;
  std::size_t reserved_from_ = 0;
};

/// Renders `format` with `args` into a new string.
template <class... Args>
std::string format_string(Format<Args...> format, const Args&... args) {
  std::string result;
  StringOutput output(result);
  format_to(output, format, args...);
  return result;
}

}  // namespace kestrun
