// Where the input bytes come from: a file or memory, in blocks.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kestrun {

class ReadAhead;

/// Block size of the input: large reads, few system calls.
inline constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 18;

/// Bytes after every block that may be read and written: room for the
/// reader's sentinel and for copies of a fixed size that run past the data.
inline constexpr std::size_t kBlockSlack = 64;

/// Hands out the input in blocks. Read failures throw
/// IoFailure(ErrorCode::InputRead).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// The next block of the input; empty at the end. The block stays valid
  /// until the next call, and may be read and written up to kBlockSlack
  /// bytes past its end (the reader keeps a sentinel there).
  virtual std::span<unsigned char> next_block() = 0;
};

/// Reads a file descriptor that it owns. A regular file is read ahead on a
/// background thread, so that the disk and the conversion overlap; anything
/// else (a pipe, a device) is read as the blocks are asked for.
class FileSource final : public ByteSource {
 public:
  /// Opens `path` for reading; returns null if it cannot be opened.
  static std::unique_ptr<FileSource> open(const std::string& path,
                                          std::size_t block_size = kDefaultBlockSize);

  FileSource(int descriptor, std::size_t block_size);
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  std::span<unsigned char> next_block() override;

 private:
  int descriptor_;
  std::size_t block_size_;
  std::unique_ptr<ReadAhead> read_ahead_;  // Null when reading as asked.
  std::unique_ptr<unsigned char[]> block_;
};

/// Reads from memory that outlives it, in blocks of `block_size` bytes.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes, std::size_t block_size = kDefaultBlockSize);
  std::span<unsigned char> next_block() override;

 private:
  std::string_view rest_;
  std::size_t block_size_;
  std::unique_ptr<unsigned char[]> block_;
};

/// A block buffer of `block_size` bytes and the slack, not cleared: the reader
/// writes every byte before it reads it (clearing megabytes of buffers would
/// cost every small run a millisecond).
std::unique_ptr<unsigned char[]> make_block(std::size_t block_size);

/// Reads `descriptor` into `buffer` until it is full or the input ends,
/// retrying interrupted calls. Returns the count; throws IoFailure on error.
std::size_t read_fully(int descriptor, unsigned char* buffer, std::size_t capacity);

}  // namespace kestrun
