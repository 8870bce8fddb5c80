#include "conversion_check.h"

#include <string_view>

#include "conversion_run.h"
#include "maya/ma_writer.h"

namespace kestrun::fuzzing {
namespace {

using testing::ConversionResult;

constexpr std::string_view kHeaderStart = "//Maya ASCII 3.0 scene\n//Name: out.ma\n";
constexpr std::string_view kEndComment = "// End of out.ma ";
constexpr std::string_view kCompletion = "in.ase Completed\nout.ma Generated\n";

std::string check_success(const ConversionResult& run) {
  if (!run.err.empty()) return "status 0 with a message: " + run.err;
  if (!run.output.starts_with(kHeaderStart)) return "status 0 without the header";
  if (!run.output.ends_with(kEndComment)) return "status 0 without the end comment";
  if (run.out.find(kCompletion) == std::string::npos) return "status 0 without the completion lines";
  return {};
}

std::string check_failure(const ConversionResult& run) {
  const std::string& text = run.output;
  if (run.err == testing::kInvalid) {
    return text.empty() ? std::string() : "a file refused as no ASE text has output";
  }
  if (run.err == testing::kCannotWrite) {
    // Only the cap makes a memory sink fail; the writer hands it at most one
    // buffer at a time, so the output must have come within a buffer of it.
    return text.size() + MaWriter::kDefaultBufferSize >= kOutputCap ? std::string()
                                                                    : "a write failed far below the cap";
  }
  if (run.err != testing::kFatal) return "status 1 with an unknown message: " + run.err;
  if (!text.starts_with(kHeaderStart)) return "a malformed block reported before the header was written";
  if (text.ends_with(kEndComment)) return "a failed run wrote the end comment";
  return {};
}

}  // namespace

RunOptions options_from_byte(unsigned char byte) {
  if ((byte & 0x20U) != 0) return RunOptions::everything();
  RunOptions options;
  options.animation = (byte & 0x01U) != 0;
  options.geometry = (byte & 0x02U) != 0;
  options.lights = (byte & 0x04U) != 0;
  options.cameras = (byte & 0x08U) != 0;
  options.scene = (byte & 0x10U) != 0;
  return options;
}

std::string check_conversion(std::span<const unsigned char> input) {
  if (input.empty()) return {};
  const RunOptions options = options_from_byte(input[0]);
  const std::string_view text(reinterpret_cast<const char*>(input.data() + 1), input.size() - 1);
  const ConversionResult run = testing::convert_text(text, options, kOutputCap);
  // The reader scans its blocks directly: how the input is cut into blocks
  // must change nothing, so a second run reads it in small blocks.
  const ConversionResult small_blocks =
      testing::convert_text(text, options, kOutputCap, 1 + input.size() % 97);
  if (small_blocks.exit_status != run.exit_status || small_blocks.output != run.output ||
      small_blocks.combined != run.combined) {
    return "small blocks convert differently";
  }
  if (run.output.find('\0') != std::string::npos) return "a NUL byte in the output";
  if (run.exit_status == 0) return check_success(run);
  if (run.exit_status == 1) return check_failure(run);
  return "exit status " + std::to_string(run.exit_status);
}

}  // namespace kestrun::fuzzing
