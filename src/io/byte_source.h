// Where the input bytes come from: a file or memory, in blocks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "io/block_ring.h"

namespace kestrun {

class ReadAhead;

/// Hands out the input in blocks. A failed read throws Error(InputRead), after
/// every byte read before it has been handed out.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// The next block of the input; empty at the end. The block stays valid
  /// until the next call, and may be read and written up to kBlockSlack
  /// bytes past its end (the reader keeps a sentinel there).
  virtual std::span<unsigned char> next_block() = 0;
  /// Whether the block handed out last is known to hold no NUL byte; false
  /// where the source did not look.
  [[nodiscard]] virtual bool block_is_nul_free() const { return false; }
  /// How many bytes are still to come after the blocks handed out, where
  /// that is known (a regular file, memory); 0 where it is not.
  [[nodiscard]] virtual std::uint64_t unread_bytes() const { return 0; }
};

/// Reads bytes for a FileSource: a file descriptor, or in tests a reader
/// that fails on purpose.
class ByteReader {
 public:
  virtual ~ByteReader() = default;
  /// Reads up to `capacity` bytes into `buffer`: the count read, 0 at the
  /// end of the input, or a negative number if the read failed.
  virtual long read(unsigned char* buffer, std::size_t capacity) = 0;
};

/// Reads a file descriptor that it owns.
class DescriptorReader final : public ByteReader {
 public:
  explicit DescriptorReader(int descriptor) : descriptor_(descriptor) {}
  DescriptorReader(const DescriptorReader&) = delete;
  DescriptorReader& operator=(const DescriptorReader&) = delete;
  ~DescriptorReader() override;
  long read(unsigned char* buffer, std::size_t capacity) override;
  /// True for a regular file, which answers every read soon.
  [[nodiscard]] bool is_regular_file() const;
  /// The size of a regular file; 0 for anything else.
  [[nodiscard]] std::uint64_t file_size() const;

 private:
  int descriptor_;
};

/// What read_fully read.
struct ReadResult {
  std::size_t count = 0;
  bool failed = false;
};

/// Reads from `reader` until `capacity` bytes are read, the input ends or a
/// read fails; the bytes read before a failure count.
ReadResult read_fully(ByteReader& reader, unsigned char* buffer, std::size_t capacity);

/// Reads through a ByteReader in blocks: ahead, on a background thread, so
/// that the system's copying and the conversion overlap, or as the blocks are
/// asked for. A thread blocked on a silent pipe could not be stopped when a
/// run ends early, so only regular files are read ahead; where no thread can
/// be started, a file is read as asked too.
class FileSource final : public ByteSource {
 public:
  /// Opens `path` for reading; returns null if it cannot be opened. With
  /// `scan_for_nul`, a file read ahead is also searched for NUL bytes there.
  static std::unique_ptr<FileSource> open(const std::string& path, std::size_t block_size = kBlockSize,
                                          bool scan_for_nul = false);

  FileSource(std::unique_ptr<ByteReader> reader, std::size_t block_size, bool read_ahead,
             bool scan_for_nul = false);
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  std::span<unsigned char> next_block() override;
  [[nodiscard]] bool block_is_nul_free() const override;
  [[nodiscard]] std::uint64_t unread_bytes() const override { return unread_; }
  /// Tells how many bytes the reader will deliver, where that is known.
  void expect_bytes(std::uint64_t size) { unread_ = size; }

 private:
  std::span<unsigned char> handed_out(std::span<unsigned char> block) {
    unread_ -= std::min<std::uint64_t>(unread_, block.size());
    return block;
  }

  std::unique_ptr<ByteReader> reader_;
  std::uint64_t unread_ = 0;
  std::size_t block_size_;
  std::unique_ptr<ReadAhead> read_ahead_;  // Null when reading as asked.
  BlockBytes block_;
  bool failed_ = false;  // A read failed after the bytes last handed out.
};

/// Reads from memory that outlives it, in blocks of `block_size` bytes.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes, std::size_t block_size = kBlockSize);
  std::span<unsigned char> next_block() override;
  [[nodiscard]] std::uint64_t unread_bytes() const override { return rest_.size(); }

 private:
  std::string_view rest_;
  std::size_t block_size_;
  BlockBytes block_;
};

}  // namespace kestrun
