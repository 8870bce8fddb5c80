// Buffered output with the exporter's number formats, written by hand so that
// half a gigabyte of text takes seconds and never depends on the locale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun::scenegen {

/// Collects text in a 1 MiB buffer and hands it to a file with fwrite, or only
/// counts it (for measuring how large a block would come out).
class OutBuffer {
 public:
  /// Creates or truncates `path`. Throws std::runtime_error if it cannot.
  static OutBuffer to_file(const std::string& path, bool crlf);
  /// A buffer that writes nothing and only counts bytes.
  static OutBuffer counting(bool crlf);

  /// Appends `piece` as it is.
  void text(std::string_view piece) {
    if (piece.size() > kReserve) {
      write_long(piece);
      return;
    }
    ensure(piece.size());
    std::memcpy(data_ + used_, piece.data(), piece.size());
    used_ += piece.size();
  }
  /// Appends one character.
  void put(char c) {
    ensure(1);
    data_[used_++] = c;
  }
  /// Appends `count` tabs (the exporter indents with one tab per level).
  void tabs(int count) {
    for (int i = 0; i < count; ++i) put('\t');
  }
  /// Ends the line with LF, or CR LF when asked for.
  void end_line() {
    if (crlf_) put('\r');
    put('\n');
  }
  /// Appends `value` in decimal, as %lld would.
  void integer(std::int64_t value) {
    ensure(kNumberRoom);
    if (value < 0) data_[used_++] = '-';
    used_ += write_digits(data_ + used_, magnitude(value));
  }
  /// Appends an unsigned `value` in decimal, as %llu would.
  void natural(std::uint64_t value) {
    ensure(kNumberRoom);
    used_ += write_digits(data_ + used_, value);
  }
  /// Appends `value` right-aligned in `width` columns, as %*d would.
  void padded(std::int64_t value, int width);
  /// Appends a value held in ten-thousandths as %.4f would print it.
  void fixed4(std::int64_t units) { fixed4(units, units < 0); }
  /// Prints `value` with four decimals exactly as printf's %.4f does: rounded
  /// from its exact binary value, ties to even, and a negative value that
  /// rounds to zero keeps its sign ("-0.0000"), as exported normals show.
  void fixed4_rounded(double value);
  /// `value` in ten-thousandths, rounded as fixed4_rounded prints it.
  static std::int64_t round_like_printf(double value);
  /// Writes what is buffered and closes the file. Throws on a write error.
  void finish();
  /// Bytes appended so far, written or still buffered.
  [[nodiscard]] std::uint64_t size() const { return flushed_ + used_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  static constexpr std::size_t kCapacity = std::size_t{1} << 20;
  static constexpr std::size_t kReserve = 256;
  static constexpr std::size_t kNumberRoom = 24;

  OutBuffer(std::FILE* file, bool crlf);
  static std::uint64_t magnitude(std::int64_t value) {
    // Negating in unsigned arithmetic also covers the most negative value.
    return value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  }
  static std::size_t write_digits(char* out, std::uint64_t value) {
    char reversed[20];
    std::size_t count = 0;
    do {
      reversed[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
    return count;
  }
  void fixed4(std::int64_t units, bool negative);
  void ensure(std::size_t room) {
    if (kCapacity - used_ < room) flush();
  }
  void flush();
  void write_long(std::string_view piece);

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::vector<char> storage_;
  char* data_;
  std::size_t used_ = 0;
  std::uint64_t flushed_ = 0;
  bool crlf_;
};

}  // namespace kestrun::scenegen
