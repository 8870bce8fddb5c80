// Buffered output with a small printf of its own for the exporter's formats:
// %d, %4d (any width), %s and %.4f. Numbers are written by hand, as a printf
// per number would make a 400 MB scene slow and a locale could change the
// decimal point. Text uses "\n"; with crlf, the file gets CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun::scenegen {

class Out {
 public:
  /// Writes to `path`, created or truncated; an empty path only counts bytes.
  Out(const std::string& path, bool crlf);

  /// A value for print; implicit, so that print's arguments convert.
  struct Arg {
    Arg(std::int64_t value) : kind('d'), integer(value) {}
    Arg(int value) : kind('d'), integer(value) {}
    Arg(double value) : kind('f'), real(value) {}
    Arg(std::string_view value) : kind('s'), text(value) {}
    char kind;
    std::int64_t integer = 0;
    double real = 0.0;
    std::string_view text;
  };
  /// Appends `format` with its directives replaced by `args`; throws
  /// std::logic_error if they do not match.
  template <typename... Args>
  void print(std::string_view format, const Args&... args) {
    const std::array<Arg, sizeof...(Args)> list{Arg(args)...};
    print_list(format, list.data(), list.size());
  }

  /// Writes what is buffered and closes the file; throws if that fails.
  void finish();
  [[nodiscard]] std::uint64_t size() const { return flushed_ + used_; }

 private:
  void print_list(std::string_view format, const Arg* args, std::size_t count);
  void append(std::string_view piece) {
    if (crlf_ || buffer_.size() - used_ < piece.size()) return append_slowly(piece);
    std::memcpy(buffer_.data() + used_, piece.data(), piece.size());
    used_ += piece.size();
  }
  void append_slowly(std::string_view piece);  // across a flush, or with CR LF for "\n"
  void integer(std::int64_t value, int width);
  void number(double value);
  void flush();

  struct Close {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Close> file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t flushed_ = 0;
  bool crlf_;
};

}  // namespace kestrun::scenegen
