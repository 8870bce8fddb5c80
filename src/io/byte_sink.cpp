#include "io/byte_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/error.h"

namespace kestrun {

std::unique_ptr<FileSink> FileSink::create(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    return nullptr;
  }
  return std::make_unique<FileSink>(descriptor);
}

FileSink::~FileSink() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
}

void FileSink::write(std::string_view bytes) {
  if (descriptor_ < 0) {
    throw Error(ErrorCode::OutputWrite);
  }
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      throw Error(ErrorCode::OutputWrite);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void FileSink::close() {
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (descriptor < 0 || ::close(descriptor) != 0) {
    throw Error(ErrorCode::OutputWrite);
  }
}

void MemorySink::write(std::string_view bytes) {
  if (bytes.size() > limit_ - contents_.size()) {
    throw Error(ErrorCode::OutputWrite);
  }
  contents_.append(bytes);
}

}  // namespace kestrun
