#include "maya/ma_writer.h"

#include <cstring>

namespace kestrun {

MaWriter::MaWriter(ByteSink& sink, std::size_t buffer_size)
    : sink_(sink),
      buffer_(std::make_unique_for_overwrite<char[]>(buffer_size)),  // Written before read.
      next_(buffer_.get()),
      limit_(buffer_.get() + buffer_size) {}

MaWriter::~MaWriter() {
  if (finished_) {
    return;
  }
  try {
    flush();
  } catch (...) {  // NOLINT(bugprone-empty-catch): the run is already ending with its own error.
  }
}

void MaWriter::append(std::string_view text) {
  const std::size_t room = static_cast<std::size_t>(limit_ - next_);
  if (text.size() > room) {
    flush();
    if (text.size() > static_cast<std::size_t>(limit_ - next_)) {
      sink_.write(text);
      return;
    }
  }
  std::memcpy(next_, text.data(), text.size());
  next_ += text.size();
}

void MaWriter::flush() {
  char* const start = buffer_.get();
  const std::size_t size = static_cast<std::size_t>(next_ - start);
  next_ = start;  // A failed write does not leave the same bytes to be written again.
  if (size != 0) {
    sink_.write(std::string_view(start, size));
  }
}

void MaWriter::finish() {
  finished_ = true;
  flush();
  sink_.close();
}

}  // namespace kestrun
