// Console: the run's standard output and standard error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "maya/format.h"

namespace kestrun {

/// Progress lines go to standard output, messages to standard error. Standard
/// output is always flushed before anything is written to standard error, so
/// a combined capture keeps the order in which lines were produced.
class Console {
 public:
  virtual ~Console() = default;

  /// Writes `text` to standard output (buffered until flush_out).
  virtual void write_out(std::string_view text) = 0;
  /// Flushes standard output.
  virtual void flush_out() = 0;
  /// Flushes standard output, then writes `text` to standard error.
  virtual void write_err(std::string_view text) = 0;

  /// Writes `format` with `args` to standard output.
  template <class... Args>
  void print(Format<Args...> format, const Args&... args) {
    write_out(format_string(format, args...));
  }
};

/// The process's own stdout and stderr.
class StandardConsole final : public Console {
 public:
  void write_out(std::string_view text) override;
  void flush_out() override;
  void write_err(std::string_view text) override;

 private:
  bool unflushed_ = false;
};

/// Keeps everything in memory, for tests and the fuzzer.
class CapturedConsole final : public Console {
 public:
  void write_out(std::string_view text) override;
  void flush_out() override { ++flush_count_; }
  void write_err(std::string_view text) override;

  [[nodiscard]] const std::string& out() const { return out_; }
  [[nodiscard]] const std::string& err() const { return err_; }
  /// Both streams interleaved in the order they were written.
  [[nodiscard]] const std::string& combined() const { return combined_; }
  [[nodiscard]] int flush_count() const { return flush_count_; }

 private:
  std::string out_;
  std::string err_;
  std::string combined_;
  int flush_count_ = 0;
};

}  // namespace kestrun
