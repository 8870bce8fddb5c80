// Where the output bytes go: a file, memory, or nowhere.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kestrun {

/// Receives the output writer's buffer whenever it fills. Failures throw
/// Error(ErrorCode::OutputWrite).
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  /// Takes all of `bytes` or throws.
  virtual void write(std::string_view bytes) = 0;
  /// Finishes the output (closes a file); throws if that fails.
  virtual void close() {}
};

/// Writes to a file descriptor that it owns.
class FileSink final : public ByteSink {
 public:
  /// Creates or truncates `path` for writing, as fopen(path, "w") does.
  /// Returns null if the file cannot be opened.
  static std::unique_ptr<FileSink> create(const std::string& path);

  explicit FileSink(int descriptor) : descriptor_(descriptor) {}
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  ~FileSink() override;

  void write(std::string_view bytes) override;
  void close() override;

 private:
  int descriptor_;
};

/// Keeps the output in memory, for tests and the fuzzer. With a limit, a
/// write that would pass it fails as a full disk would.
class MemorySink final : public ByteSink {
 public:
  explicit MemorySink(std::size_t limit = std::string::npos) : limit_(limit) {}
  void write(std::string_view bytes) override;
  [[nodiscard]] const std::string& contents() const { return contents_; }
  /// Hands the output over without copying it; the sink is empty after.
  [[nodiscard]] std::string take_contents() { return std::move(contents_); }

 private:
  std::string contents_;
  std::size_t limit_;
};

/// Discards the output and counts it.
class NullSink final : public ByteSink {
 public:
  void write(std::string_view bytes) override { size_ += bytes.size(); }
  [[nodiscard]] std::size_t size() const { return size_; }

 private:
  std::size_t size_ = 0;
};

}  // namespace kestrun
