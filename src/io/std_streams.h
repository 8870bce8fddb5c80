// The standard library's streams as a byte reader and a byte sink, for
// conversions of streams a caller owns.
#pragma once

#include <iosfwd>
#include <string_view>

#include "io/byte_sink.h"
#include "io/byte_source.h"

namespace kestrun {

/// Reads a std::istream's buffer for a FileSource: its end is the end of the
/// input, an exception from it a failed read (after the bytes read before
/// it), which sets the stream's badbit. The stream's eofbit is set at the end.
class IstreamReader final : public ByteReader {
 public:
  explicit IstreamReader(std::istream& stream) : stream_(stream) {}
  long read(unsigned char* buffer, std::size_t capacity) override;

 private:
  std::istream& stream_;
  bool failed_ = false;
};

/// Writes to a std::ostream on the calling thread; a stream that fails, or
/// throws anything (std::ios_base::failure, or its buffer's own exception
/// where its exception mask passes that on), fails the write or close with
/// Error(OutputWrite). Closing flushes the stream and leaves it open.
class OstreamSink final : public ByteSink {
 public:
  explicit OstreamSink(std::ostream& stream) : stream_(stream) {}
  void write(std::string_view bytes) override;
  void close() override;

 private:
  std::ostream& stream_;
};

}  // namespace kestrun
