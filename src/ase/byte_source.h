// Where the input bytes come from: a file or memory.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kestrun {

/// Hands out the input in blocks. Read failures throw
/// IoFailure(ErrorCode::InputRead).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Fills up to `capacity` bytes at `buffer`; returns how many, 0 at the end.
  virtual std::size_t read(unsigned char* buffer, std::size_t capacity) = 0;
};

/// Reads a file descriptor that it owns.
class FileSource final : public ByteSource {
 public:
  /// Opens `path` for reading; returns null if it cannot be opened.
  static std::unique_ptr<FileSource> open(const std::string& path);

  explicit FileSource(int descriptor) : descriptor_(descriptor) {}
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  std::size_t read(unsigned char* buffer, std::size_t capacity) override;

 private:
  int descriptor_;
};

/// Reads from memory that outlives it.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  std::size_t read(unsigned char* buffer, std::size_t capacity) override;

 private:
  std::string_view rest_;
};

}  // namespace kestrun
