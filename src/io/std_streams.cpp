#include "io/std_streams.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "base/error.h"

namespace kestrun {

long IstreamReader::read(unsigned char* buffer, std::size_t capacity) {
  std::streambuf* const source = stream_.rdbuf();
  if (failed_ || source == nullptr) return -1;
  try {
    // Only what the stream's buffer holds, refilled once if it is empty: a
    // buffer that throws then loses no byte that was read before.
    std::streamsize available = source->in_avail();
    if (available == 0) {
      if (std::streambuf::traits_type::eq_int_type(source->sgetc(), std::streambuf::traits_type::eof())) {
        stream_.setstate(std::ios_base::eofbit);
        return 0;
      }
      available = std::max<std::streamsize>(source->in_avail(), 1);
    }
    if (available < 0) {
      stream_.setstate(std::ios_base::eofbit);
      return 0;
    }
    const auto wanted =
        static_cast<std::streamsize>(std::min<std::size_t>(capacity, static_cast<std::size_t>(available)));
    return static_cast<long>(source->sgetn(reinterpret_cast<char*>(buffer), wanted));
  } catch (...) {  // Whatever a stream's buffer throws, the read failed.
    failed_ = true;
    try {
      stream_.setstate(std::ios_base::badbit);
    } catch (const std::ios_base::failure&) {  // The stream's exception mask asked for it.
    }
    return -1;
  }
}

void OstreamSink::write(std::string_view bytes) {
  try {
    if (stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return;
  } catch (...) {  // Whatever the stream or its buffer throws, the write failed.
  }
  throw Error(ErrorCode::OutputWrite);
}

void OstreamSink::close() {
  try {
    if (stream_.flush()) return;
  } catch (...) {
  }
  throw Error(ErrorCode::OutputWrite);
}

}  // namespace kestrun
