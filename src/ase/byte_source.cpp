#include "ase/byte_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "driver/run_error.h"

namespace kestrun {

std::unique_ptr<FileSource> FileSource::open(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return nullptr;
  }
  return std::make_unique<FileSource>(descriptor);
}

FileSource::~FileSource() { ::close(descriptor_); }

std::size_t FileSource::read(unsigned char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t count = ::read(descriptor_, buffer, capacity);
    if (count >= 0) {
      return static_cast<std::size_t>(count);
    }
    if (errno != EINTR) {
      throw IoFailure(ErrorCode::InputRead);
    }
  }
}

std::size_t MemorySource::read(unsigned char* buffer, std::size_t capacity) {
  const std::size_t count = std::min(capacity, rest_.size());
  if (count != 0) {
    std::memcpy(buffer, rest_.data(), count);
  }
  rest_.remove_prefix(count);
  return count;
}

}  // namespace kestrun
