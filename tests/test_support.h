// Helpers shared by the tests: temporary directories, files, and in-process runs.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "driver/run_options.h"
#include "maya/header.h"

namespace kestrun::testing {

/// A fresh directory, removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view contents);

/// Tuesday, 5 June 2001, 09:07:03: the clock of every golden file.
LocalTime fixed_time();
inline constexpr std::string_view kFixedDateLine = "//Last modified:Tue, Jun 05, 2001 09:07:03 AM\n";

/// What an in-process conversion printed and wrote.
struct ConversionResult {
  int exit_status = 0;
  std::string output;
  std::string out;
  std::string err;
  std::string combined;
};

/// Converts `ase_text` in memory with `options`, as the program would with
/// the names "in.ase" and "out.ma" and the fixed clock. The console lines
/// include neither "Entering files" nor the farewell, which the file-level
/// run prints.
ConversionResult convert_text(std::string_view ase_text, const RunOptions& options = RunOptions::everything(),
                              std::size_t output_limit = std::string::npos);

/// The text the header writes for "out.ma" at the fixed time.
std::string expected_header(std::string_view output_name = "out.ma");

}  // namespace kestrun::testing
