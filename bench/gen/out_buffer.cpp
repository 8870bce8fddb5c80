#include "gen/out_buffer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kestrun::scenegen {

OutBuffer::OutBuffer(std::FILE* file, bool crlf)
    : file_(file), storage_(kCapacity), data_(storage_.data()), crlf_(crlf) {}

OutBuffer OutBuffer::to_file(const std::string& path, bool crlf) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    throw std::runtime_error("cannot open " + path + " for writing");
  }
  return OutBuffer(file, crlf);
}

OutBuffer OutBuffer::counting(bool crlf) { return OutBuffer(nullptr, crlf); }

void OutBuffer::padded(std::int64_t value, int width) {
  ensure(kNumberRoom + static_cast<std::size_t>(width > 0 ? width : 0));
  char digits[24];
  std::size_t length = 0;
  if (value < 0) digits[length++] = '-';
  length += write_digits(digits + length, magnitude(value));
  for (std::size_t fill = length; fill < static_cast<std::size_t>(width); ++fill) data_[used_++] = ' ';
  std::memcpy(data_ + used_, digits, length);
  used_ += length;
}

void OutBuffer::fixed4(std::int64_t units, bool negative) {
  ensure(kNumberRoom + 2);
  const std::uint64_t whole = magnitude(units);
  if (negative) data_[used_++] = '-';
  used_ += write_digits(data_ + used_, whole / 10000);
  std::uint64_t fraction = whole % 10000;
  char* out = data_ + used_;
  out[0] = '.';
  for (int i = 4; i >= 1; --i) {
    out[i] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  used_ += 5;
}

std::int64_t OutBuffer::round_like_printf(double value) {
  const double scaled = value * 10000.0;
  // value * 10000 is exactly scaled + error; the error settles the cases that
  // the rounded product makes look like (or hides) a halfway point.
  const double error = std::fma(value, 10000.0, -scaled);
  const double floor_part = std::floor(scaled);
  const double fraction = scaled - floor_part;
  const auto units = static_cast<std::int64_t>(floor_part);
  if (fraction < 0.25) return units;
  const double above_half = fraction - 0.5;  // exact for fractions from 0.25 up
  if (above_half != -error) return units + (above_half > -error ? 1 : 0);
  return units + (units % 2 != 0 ? 1 : 0);  // a true tie goes to the even neighbour, as printf's does
}

void OutBuffer::fixed4_rounded(double value) {
  const std::int64_t units = round_like_printf(value);
  fixed4(units, units < 0 || (units == 0 && std::signbit(value)));
}

void OutBuffer::flush() {
  if (file_ && used_ != 0 && std::fwrite(data_, 1, used_, file_.get()) != used_) {
    throw std::runtime_error("write failed");
  }
  flushed_ += used_;
  used_ = 0;
}

void OutBuffer::write_long(std::string_view piece) {
  while (!piece.empty()) {
    ensure(1);
    const std::size_t take = std::min(piece.size(), kCapacity - used_);
    std::memcpy(data_ + used_, piece.data(), take);
    used_ += take;
    piece.remove_prefix(take);
  }
}

void OutBuffer::finish() {
  flush();
  if (file_) {
    std::FILE* const file = file_.release();
    if (std::fclose(file) != 0) throw std::runtime_error("closing the output failed");
  }
}

}  // namespace kestrun::scenegen
