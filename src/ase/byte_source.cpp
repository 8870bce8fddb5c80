#include "ase/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ase/read_ahead.h"
#include "driver/run_error.h"

namespace kestrun {

std::size_t read_fully(int descriptor, unsigned char* buffer, std::size_t capacity) {
  std::size_t filled = 0;
  while (filled < capacity) {
    const ssize_t count = ::read(descriptor, buffer + filled, capacity - filled);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0) {
      throw IoFailure(ErrorCode::InputRead);
    }
    if (count == 0) {
      break;
    }
    filled += static_cast<std::size_t>(count);
  }
  return filled;
}

std::unique_ptr<unsigned char[]> make_block(std::size_t block_size) {
  return std::make_unique_for_overwrite<unsigned char[]>(block_size + kBlockSlack);
}

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::size_t block_size) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return nullptr;
  }
  return std::make_unique<FileSource>(descriptor, block_size);
}

FileSource::FileSource(int descriptor, std::size_t block_size)
    : descriptor_(descriptor), block_size_(block_size) {
  // Only a regular file is sure to answer every read soon: a thread blocked
  // on a silent pipe could not be stopped when the run ends early.
  struct stat status {};
  if (::fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode)) {
    read_ahead_ = std::make_unique<ReadAhead>(descriptor_, block_size_);
  } else {
    block_ = make_block(block_size_);
  }
}

FileSource::~FileSource() {
  read_ahead_.reset();  // Stops the reading thread before the descriptor goes.
  ::close(descriptor_);
}

std::span<unsigned char> FileSource::next_block() {
  if (read_ahead_) {
    return read_ahead_->next_block();
  }
  return {block_.get(), read_fully(descriptor_, block_.get(), block_size_)};
}

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
