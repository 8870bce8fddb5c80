#include "gen/out.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kestrun::scenegen {

namespace {

// Writes at least `at_least` digits of `value` backwards from `end`; returns where they start.
char* digits_before(char* end, std::uint64_t value, int at_least) {
  for (int i = 0; value != 0 || i < at_least; ++i, value /= 10) *--end = static_cast<char>('0' + value % 10);
  return end;
}

}  // namespace

Out::Out(const std::string& path, bool crlf) : buffer_(std::size_t{1} << 20), crlf_(crlf) {
  if (!path.empty()) file_.reset(std::fopen(path.c_str(), "wb"));
  if (!path.empty() && !file_) throw std::runtime_error("cannot open " + path + " for writing");
}

void Out::print_list(std::string_view format, const Arg* args, std::size_t count) {
  std::size_t next = 0;
  for (std::size_t percent = format.find('%'); percent != std::string_view::npos;
       percent = format.find('%')) {
    append(format.substr(0, percent));
    format.remove_prefix(percent + 1);
    int width = 0;
    for (; !format.empty() && format[0] >= '0' && format[0] <= '9'; format.remove_prefix(1)) {
      width = 10 * width + (format[0] - '0');
    }
    const char kind = format.starts_with(".4f") ? 'f' : format.empty() ? '%' : format[0];
    if (next == count || args[next].kind != kind || (width != 0 && kind != 'd') || width > 16) {
      throw std::logic_error("print: the format does not match its arguments");
    }
    format.remove_prefix(kind == 'f' ? 3 : 1);
    const Arg& arg = args[next++];
    if (kind == 'd') integer(arg.integer, width);
    if (kind == 'f') number(arg.real);
    if (kind == 's') append(arg.text);
  }
  if (next != count) throw std::logic_error("print: more arguments than the format uses");
  append(format);
}

void Out::append_slowly(std::string_view piece) {
  for (const char c : piece) {
    if (buffer_.size() - used_ < 2) flush();
    if (crlf_ && c == '\n') buffer_[used_++] = '\r';
    buffer_[used_++] = c;
  }
}

void Out::integer(std::int64_t value, int width) {
  char digits[24];
  char* const end = digits + sizeof digits;
  // Negating in unsigned arithmetic also covers the most negative value.
  const auto bits = static_cast<std::uint64_t>(value);
  char* start = digits_before(end, value < 0 ? 0 - bits : bits, 1);
  if (value < 0) *--start = '-';
  while (start > end - width) *--start = ' ';
  append({start, static_cast<std::size_t>(end - start)});
}

void Out::number(double value) {
  // printf rounds the exact binary value, half to even. The product below is
  // rounded itself, so where it lands on a tie, fma tells which side of the
  // tie the exact product lies.
  const double scaled = std::fabs(value) * 10000.0;  // a scene's values stay far below 2^63 / 10000
  auto units = static_cast<std::uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(units);
  if (fraction > 0.5) {
    ++units;
  } else if (fraction == 0.5) {
    const double lost = std::fma(std::fabs(value), 10000.0, -scaled);
    if (lost > 0 || (lost == 0 && units % 2 == 1)) ++units;
  }
  char digits[32];
  char* const end = digits + sizeof digits;
  char* start = digits_before(end, units % 10000, 4);
  *--start = '.';
  start = digits_before(start, units / 10000, 1);
  if (std::signbit(value)) *--start = '-';  // as printf: "-0.0000" for a small negative value
  append({start, static_cast<std::size_t>(end - start)});
}

void Out::flush() {
  if (file_ && std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_) {
    throw std::runtime_error("writing the scene failed");
  }
  flushed_ += used_;
  used_ = 0;
}

void Out::finish() {
  flush();
  if (file_ && std::fclose(file_.release()) != 0) throw std::runtime_error("closing the scene file failed");
}

}  // namespace kestrun::scenegen
