#include "io/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/error.h"
#include "io/read_ahead.h"

namespace kestrun {

DescriptorReader::~DescriptorReader() { ::close(descriptor_); }

long DescriptorReader::read(unsigned char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t count = ::read(descriptor_, buffer, capacity);
    if (count >= 0 || errno != EINTR) {
      return count;
    }
  }
}

bool DescriptorReader::is_regular_file() const {
  struct stat status {};
  return ::fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode);
}

std::uint64_t DescriptorReader::file_size() const {
  struct stat status {};
  if (::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) return 0;
  return static_cast<std::uint64_t>(status.st_size);
}

ReadResult read_fully(ByteReader& reader, unsigned char* buffer, std::size_t capacity) {
  ReadResult result;
  while (result.count < capacity) {
    const long count = reader.read(buffer + result.count, capacity - result.count);
    if (count <= 0) {
      result.failed = count < 0;
      break;
    }
    result.count += static_cast<std::size_t>(count);
  }
  return result;
}

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::size_t block_size,
                                             bool scan_for_nul) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return nullptr;
  }
  auto reader = std::make_unique<DescriptorReader>(descriptor);
  const bool read_ahead = reader->is_regular_file();
  const std::uint64_t size = reader->file_size();
  auto source = std::make_unique<FileSource>(std::move(reader), block_size, read_ahead, scan_for_nul);
  source->expect_bytes(size);
  return source;
}

FileSource::FileSource(std::unique_ptr<ByteReader> reader, std::size_t block_size, bool read_ahead,
                       bool scan_for_nul)
    : reader_(std::move(reader)), block_size_(block_size) {
  if (read_ahead) {
    try {
      read_ahead_ = std::make_unique<ReadAhead>(*reader_, block_size_, scan_for_nul);
    } catch (const std::system_error&) {
      // No thread to be had (a limit on processes or memory): read as asked.
    }
  }
  if (!read_ahead_) block_ = make_block(block_size_);
}

FileSource::~FileSource() {
  read_ahead_.reset();  // Stops the reading thread before the reader goes.
}

std::span<unsigned char> FileSource::next_block() {
  if (read_ahead_) {
    return handed_out(read_ahead_->next_block());
  }
  if (failed_) {
    throw Error(ErrorCode::InputRead);
  }
  const ReadResult read = read_fully(*reader_, block_.get(), block_size_);
  failed_ = read.failed;
  if (read.failed && read.count == 0) {
    throw Error(ErrorCode::InputRead);
  }
  return handed_out({block_.get(), read.count});
}

bool FileSource::block_is_nul_free() const { return read_ahead_ && read_ahead_->block_is_nul_free(); }

MemorySource::MemorySource(std::string_view bytes, std::size_t block_size)
    : rest_(bytes), block_size_(block_size), block_(make_block(block_size)) {}

std::span<unsigned char> MemorySource::next_block() {
  const std::size_t count = std::min(block_size_, rest_.size());
  if (count != 0) {
    std::memcpy(block_.get(), rest_.data(), count);
  }
  rest_.remove_prefix(count);
  return {block_.get(), count};
}

}  // namespace kestrun
