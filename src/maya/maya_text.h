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
/// get a backslash before them, a line end is written as \n, so that every
/// byte of a path or a name arrives as it was.
struct MelString {
  using formats_as_text = void;
  std::string_view text;

  template <class Out>
  void append_to(Out& out) const {
    std::string_view rest = text;
    for (std::size_t special = rest.find_first_of("\\\"\n\r"); special != std::string_view::npos;
         special = rest.find_first_of("\\\"\n\r")) {
      out.append(rest.substr(0, special));
      const char c = rest[special];
      out.append(c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '"' ? "\\\"" : "\\\\");
      rest.remove_prefix(special + 1);
    }
    out.append(rest);
  }
};

}  // namespace kestrun
