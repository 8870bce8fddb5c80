// How texts from the input stand in a Maya ASCII file.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrun {

/// A name from the input that stands between double quotes in the output:
/// each backslash is written twice, so a name cannot end the quoted text.
struct QuotedName {
  using formats_as_text = void;
  std::string_view text;

  template <class Out>
  void append_to(Out& out) const {
    std::string_view rest = text;
    for (std::size_t slash = rest.find('\\'); slash != std::string_view::npos; slash = rest.find('\\')) {
      out.append(rest.substr(0, slash + 1));
      out.append("\\");
      rest.remove_prefix(slash + 1);
    }
    out.append(rest);
  }
};

/// Text that stands in a "//" comment line: carriage returns and line feeds
/// are written as spaces, so the text cannot end the comment.
struct CommentText {
  using formats_as_text = void;
  std::string_view text;

  template <class Out>
  void append_to(Out& out) const {
    std::string_view rest = text;
    for (std::size_t line_end = rest.find_first_of("\r\n"); line_end != std::string_view::npos;
         line_end = rest.find_first_of("\r\n")) {
      out.append(rest.substr(0, line_end));
      out.append(" ");
      rest.remove_prefix(line_end + 1);
    }
    out.append(rest);
  }
};

/// Any text as the contents of a MEL string: a backslash and a double quote
/// get a backslash before them, line ends and tabs are written as \n, \r and
/// \t, and other control characters, which no MEL string can hold, as '?'.
struct MelString {
  using formats_as_text = void;
  std::string_view text;

  template <class Out>
  void append_to(Out& out) const {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (c >= 0x20 && c != '\\' && c != '"') continue;
      out.append(text.substr(start, i - start));
      out.append(c == '\n'   ? "\\n"
                 : c == '\r' ? "\\r"
                 : c == '\t' ? "\\t"
                 : c == '"'  ? "\\\""
                 : c == '\\' ? "\\\\"
                             : "?");
      start = i + 1;
    }
    out.append(text.substr(start));
  }
};

}  // namespace kestrun
