#include "test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "ase/byte_source.h"
#include "driver/convert_stream.h"
#include "driver/run.h"
#include "driver/run_error.h"
#include "maya/byte_sink.h"

namespace kestrun::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrun-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary directory");
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream contents;
  contents << stream.rdbuf();
  return contents.str();
}

void write_file(const std::filesystem::path& path, std::string_view contents) {
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  stream.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

LocalTime fixed_time() {
  LocalTime time;
  time.second = 3;
  time.minute = 7;
  time.hour = 9;
  time.day_of_month = 5;
  time.month = 5;
  time.years_since_1900 = 101;
  time.day_of_week = 2;
  return time;
}

ConversionResult convert_text(std::string_view ase_text, const RunOptions& options,
                              std::size_t output_limit) {
  MemorySource input(ase_text);
  MemorySink output(output_limit);
  CapturedConsole console;
  ConversionResult result;
  try {
    convert_stream(input, output, options, {"in.ase", "out.ma"}, console, fixed_time);
  } catch (const RunEnded& ended) {
    result.exit_status = ended.exit_status();
  }
  result.output = output.contents();
  result.out = console.out();
  result.err = console.err();
  result.combined = console.combined();
  return result;
}

std::string expected_header(std::string_view output_name) {
  std::string header = "//Maya ASCII 3.0 scene\n//Name: ";
  header.append(output_name);
  header.append("\n");
  header.append(kFixedDateLine);
  header.append("requires maya \"3.0\";\ncurrentUnit -l millimeter -a degree -t pal;\n\n");
  return header;
}

}  // namespace kestrun::testing
