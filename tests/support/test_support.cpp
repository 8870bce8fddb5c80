#include "test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "cli/command_line.h"

namespace kestrun::testing {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "kestrun-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, ignored);
  fs::remove_all(path_, ignored);
}

std::string read_file(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream contents;
  contents << stream.rdbuf();
  return contents.str();
}

void write_file(const fs::path& path, std::string_view contents) {
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  stream.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::vector<fs::path> corpus_scenes() {
  std::vector<fs::path> scenes;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".ase" || extension == ".ASE") scenes.push_back(entry.path());
  }
  std::sort(scenes.begin(), scenes.end());
  return scenes;
}

std::string test_name(std::string text) {
  for (char& c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return text;
}

std::string line_reader_characters(std::string input) {
  std::string delivered;
  FILE* stream = fmemopen(input.data(), input.size(), "r");
  if (stream == nullptr) return delivered;  // fmemopen refuses an empty buffer.
  char line[1024];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    for (const char* c = line; *c != '\0'; ++c) {
      delivered.push_back(*c == ' ' || (*c >= '\t' && *c <= '\r') ? ' ' : *c);
    }
  }
  std::fclose(stream);
  return delivered;
}

std::string with_fixed_date(std::string output) {
  static const std::regex date_line(
      R"(//Last modified: ?(Sun|Mon|Tue|Wed|Thu|Fri|Sat), [A-Z][a-z]{2} \d\d, \d{4} \d\d:\d\d:\d\d [AP]M\n)");
  const std::size_t start = output.find("//Last modified:");
  if (start == std::string::npos) return output;
  const std::size_t end = output.find('\n', start) + 1;
  EXPECT_TRUE(std::regex_match(output.substr(start, end - start), date_line)) << output.substr(start, 60);
  return output.replace(start, end - start, kFixedDateLine);
}

std::string expected_header(std::string_view output_name) {
  return "//Maya ASCII 3.0 scene\n//Name: " + std::string(output_name) + "\n" + std::string(kFixedDateLine) +
         "requires maya \"3.0\";\ncurrentUnit -l millimeter -a degree -t pal;\n\n";
}

RunOptions options_for(std::string_view switches) {
  std::istringstream words{std::string(switches)};
  const std::vector<std::string> storage{std::istream_iterator<std::string>(words), {}};
  std::vector<std::string_view> arguments = {"Kestrun", "in.ase", "out.ma"};
  arguments.insert(arguments.end(), storage.begin(), storage.end());
  CapturedConsole console;
  const cli::CommandLine line = cli::read_command_line(arguments, console);
  EXPECT_EQ(line.input_name, "in.ase");
  EXPECT_EQ(line.output_name, "out.ma");
  EXPECT_EQ(console.combined(), "") << switches;
  return line.options;
}

void expect_reviewed_conversion(const fs::path& input, std::string_view switches, const fs::path& expected) {
  const std::string text = read_file(input);
  ASSERT_FALSE(text.empty()) << input;
  const ConversionResult result = convert_text(text, options_for(switches));
  const std::string actual = "exit " + std::to_string(result.exit_status) + "\n--- console\n" +
                             result.combined + "\n--- output\n" + result.output;
  if (std::getenv("KESTRUN_UPDATE_CASES") != nullptr) write_file(expected, actual);
  EXPECT_EQ(actual, read_file(expected));
}

std::string switches_of(const RunOptions& options) {
  return std::string(options.animation ? "a" : "") + (options.geometry ? "g" : "") +
         (options.lights ? "l" : "") + (options.cameras ? "c" : "") + (options.scene ? "s" : "");
}

}  // namespace kestrun::testing
