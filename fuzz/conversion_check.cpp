#include "conversion_check.h"

#include <string_view>

#include "ase/byte_source.h"
#include "driver/console.h"
#include "driver/convert_stream.h"
#include "driver/run_error.h"
#include "maya/byte_sink.h"
#include "maya/ma_writer.h"

namespace kestrun::fuzzing {
namespace {

constexpr std::string_view kHeaderStart = "//Maya ASCII 3.0 scene\n//Name: out.ma\n";
constexpr std::string_view kEndComment = "// End of out.ma ";
constexpr std::string_view kCompletion = "in.ase Completed\nout.ma Generated\n";

constexpr std::string_view kFatal = "Some Fatal Error just occurred";
constexpr std::string_view kInvalid = "Invalid Input File";
constexpr std::string_view kWriteFailed = "Error: Unable to write Output File\n";

LocalTime fixed_clock() { return LocalTime{3, 7, 9, 5, 5, 101, 2}; }

std::string check_success(const MemorySink& output, const CapturedConsole& console) {
  const std::string& text = output.contents();
  if (!console.err().empty()) return "status 0 with a message: " + console.err();
  if (!text.starts_with(kHeaderStart)) return "status 0 without the header";
  if (!text.ends_with(kEndComment)) return "status 0 without the end comment";
  if (console.out().find(kCompletion) == std::string::npos) return "status 0 without the completion lines";
  return {};
}

std::string check_failure(const MemorySink& output, const CapturedConsole& console) {
  const std::string& text = output.contents();
  const std::string& message = console.err();
  if (message == kInvalid) {
    return text.empty() ? std::string() : "a file refused as no ASE text has output";
  }
  if (message == kWriteFailed) {
    // Only the cap makes a memory sink fail; the writer hands it at most one
    // buffer at a time, so the output must have come within a buffer of it.
    return text.size() + MaWriter::kDefaultBufferSize >= kOutputCap ? std::string()
                                                                    : "a write failed far below the cap";
  }
  if (message != kFatal) return "status 1 with an unknown message: " + message;
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

namespace {

struct Run {
  int status = 0;
  MemorySink output{kOutputCap};
  CapturedConsole console;
};

void convert(std::string_view text, const RunOptions& options, std::size_t block_size, Run& run) {
  MemorySource source(text, block_size);
  try {
    convert_stream(source, run.output, options, {"in.ase", "out.ma"}, run.console, fixed_clock);
  } catch (const RunEnded& ended) {
    run.status = ended.exit_status();
  }
}

}  // namespace

std::string check_conversion(std::span<const unsigned char> input) {
  if (input.empty()) return {};
  const RunOptions options = options_from_byte(input[0]);
  const std::string_view text(reinterpret_cast<const char*>(input.data() + 1), input.size() - 1);
  Run run;
  convert(text, options, kDefaultBlockSize, run);
  // The reader scans its blocks directly: how the input is cut into blocks
  // must change nothing, so a second run reads it in small blocks.
  Run small_blocks;
  convert(text, options, 1 + input.size() % 97, small_blocks);
  if (small_blocks.status != run.status || small_blocks.output.contents() != run.output.contents() ||
      small_blocks.console.combined() != run.console.combined()) {
    return "small blocks convert differently";
  }
  const int status = run.status;
  const MemorySink& output = run.output;
  const CapturedConsole& console = run.console;
  if (output.contents().find('\0') != std::string::npos) return "a NUL byte in the output";
  if (status == 0) return check_success(output, console);
  if (status == 1) return check_failure(output, console);
  return "exit status " + std::to_string(status);
}

}  // namespace kestrun::fuzzing
