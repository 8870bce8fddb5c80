// Console: the run's standard output and standard error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/format.h"

namespace kestrun {

/// A name from a scene or the command line as the console shows it: each
/// byte of a control character (below 32, DEL, and the C1 controls U+0080
/// to U+009F in UTF-8) is written as \xHH, so that no name can ring, move
/// the cursor, recolour the terminal or forge a further line. Any other
/// name is written as it is.
struct ShownName {
  using formats_as_text = void;
  std::string_view text;

  template <class Out>
  void append_to(Out& out) const {
    constexpr std::string_view kHex = "0123456789abcdef";
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
      const std::size_t length = control_length(i);
      if (length == 0) {
        ++i;
        continue;
      }
      out.append(text.substr(start, i - start));
      for (const std::size_t end = i + length; i < end; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const char escaped[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
        out.append(std::string_view(escaped, 4));
      }
      start = i;
    }
    out.append(text.substr(start));
  }

  /// The bytes of the control character at `i`: 1, 2 for a C1 control, or 0.
  [[nodiscard]] std::size_t control_length(std::size_t i) const {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return 1;
    const bool c1 =
        c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
    return c1 ? 2 : 0;
  }
};

/// Progress lines go to standard output, messages to standard error. A line
/// of standard output is flushed as soon as it is complete, so progress shows
/// as it happens, and whatever is still waiting there is flushed before
/// anything goes to standard error, so a combined capture keeps the order in
/// which the lines were produced.
class Console {
 public:
  virtual ~Console() = default;

  /// Writes `text` to standard output.
  void write_out(std::string_view text) {
    put_out(text);
    unflushed_ = true;
    if (text.ends_with('\n')) {
      flush_out();
    }
  }
  /// Flushes standard output if anything waits there.
  void flush_out() {
    if (unflushed_) {
      unflushed_ = false;
      flush_stdout();
    }
  }
  /// Flushes standard output, then writes `text` to standard error.
  void write_err(std::string_view text) {
    flush_out();
    put_err(text);
  }

  /// Tells a problem that does not end the run: "Warning: <text>" and a line
  /// end on standard error.
  virtual void warn(std::string_view text) {
    write_err("Warning: ");
    write_err(text);
    write_err("\n");
  }

  /// Writes `format` with `args` to standard output.
  template <class... Args>
  void print(Format<Args...> format, const Args&... args) {
    write_out(format_string(format, args...));
  }

 protected:
  virtual void put_out(std::string_view text) = 0;
  virtual void flush_stdout() = 0;
  virtual void put_err(std::string_view text) = 0;

 private:
  bool unflushed_ = false;
};

/// The process's own stdout and stderr.
class StandardConsole final : public Console {
 protected:
  void put_out(std::string_view text) override;
  void flush_stdout() override;
  void put_err(std::string_view text) override;
};

/// Keeps everything in memory, for tests and the fuzzer.
class CapturedConsole final : public Console {
 public:
  [[nodiscard]] const std::string& out() const { return out_; }
  [[nodiscard]] const std::string& err() const { return err_; }
  /// Both streams interleaved in the order they were written.
  [[nodiscard]] const std::string& combined() const { return combined_; }

 protected:
  void put_out(std::string_view text) override;
  void flush_stdout() override {}
  void put_err(std::string_view text) override;

 private:
  std::string out_;
  std::string err_;
  std::string combined_;
};

}  // namespace kestrun
