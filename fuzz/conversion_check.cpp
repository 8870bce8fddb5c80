#include "conversion_check.h"

#include <cmath>
#include <sstream>
#include <string_view>

#include "conversion_run.h"
#include "maya/ma_writer.h"

namespace kestrun::fuzzing {
namespace {

using testing::after_warnings;
using testing::ConversionResult;

constexpr std::string_view kCompletion = "in.ase Completed\nout.ma Generated\n";

/// How a complete output of the mode begins and ends.
struct Frame {
  std::string_view header;
  std::string_view end;
};
constexpr Frame kDefaultFrame = {"//Maya ASCII 3.0 scene\n//Name: out.ma\n", "// End of out.ma "};
constexpr Frame kExtendedFrame = {"//Maya ASCII 8.5 scene\n//Name: out.ma\n", "// End of out.ma\n"};

std::string check_success(const ConversionResult& run, bool extended) {
  const Frame& frame = extended ? kExtendedFrame : kDefaultFrame;
  if (!(extended ? after_warnings(run.err) : std::string_view(run.err)).empty())
    return "status 0 with a message: " + run.err;
  if (!run.output.starts_with(frame.header)) return "status 0 without the header";
  if (!run.output.ends_with(frame.end)) return "status 0 without the end comment";
  if (run.out.find(kCompletion) == std::string::npos) return "status 0 without the completion lines";
  return {};
}

std::string check_failure(const ConversionResult& run, bool extended) {
  const Frame& frame = extended ? kExtendedFrame : kDefaultFrame;
  const std::string& text = run.output;
  // The extended mode may warn before it gives up (a UTF-16 file, say).
  const std::string_view err = extended ? after_warnings(run.err) : std::string_view(run.err);
  if (err == testing::kInvalid) {
    return text.empty() ? std::string() : "a file refused as no ASE text has output";
  }
  if (err == testing::kCannotWrite) {
    // Only the cap makes a memory sink fail; the writer hands it at most one
    // buffer at a time, so the output must have come within a buffer of it.
    return text.size() + MaWriter::kDefaultBufferSize >= kOutputCap ? std::string()
                                                                    : "a write failed far below the cap";
  }
  if (err != testing::kFatal) return "status 1 with an unknown message: " + run.err;
  if (extended) return "the extended mode gave up on its input";
  if (!text.starts_with(frame.header)) return "a malformed block reported before the header was written";
  if (text.ends_with(frame.end)) return "a failed run wrote the end comment";
  return {};
}

/// Every animation curve's key times (the first of each pair in its ".ktv"
/// lists) strictly increase, as Maya needs them to.
std::string check_key_times(std::string_view output) {
  for (std::size_t curve = output.find("createNode animCurve"); curve != std::string_view::npos;) {
    const std::size_t next = output.find("createNode ", curve + 1);
    std::string_view body = output.substr(curve, next == std::string_view::npos ? next : next - curve);
    double previous = -HUGE_VAL;
    bool first_of_pair = true;
    for (std::size_t list = body.find(".ktv["); list != std::string_view::npos;
         list = body.find(".ktv[", list)) {
      list = body.find('"', list) + 1;
      const std::size_t end = body.find(';', list);
      std::istringstream numbers{std::string(body.substr(list, end - list))};
      for (double number = 0; numbers >> number; first_of_pair = !first_of_pair) {
        if (!first_of_pair) continue;
        if (!(number > previous)) return "key times that do not increase: " + std::string(body.substr(0, 60));
        previous = number;
      }
    }
    curve = next;
  }
  return {};
}

/// Whether an "inf" or a "nan" (perhaps signed) stands as a value of its own
/// in the output, outside every quoted name or string: no Maya file may hold
/// one. (A quote is escaped by an odd number of backslashes before it.)
bool holds_non_finite_value(std::string_view output) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  bool quoted = false;
  std::size_t backslashes = 0;
  for (std::size_t i = 0; i < output.size(); ++i) {
    const char c = output[i];
    if (c == '"' && backslashes % 2 == 0) quoted = !quoted;
    backslashes = c == '\\' ? backslashes + 1 : 0;
    if (quoted || (c != 'i' && c != 'n') ||
        (i > 0 && !blank(output[i - 1]) && output[i - 1] != '-' && output[i - 1] != '+')) {
      continue;
    }
    const std::string_view word = output.substr(i, 3);
    if (word != "inf" && word != "nan") continue;
    const std::size_t start = i > 0 && !blank(output[i - 1]) ? i - 1 : i;  // The sign, if any.
    const std::size_t end = i + 3;
    if ((start == 0 || blank(output[start - 1])) &&
        (end == output.size() || blank(output[end]) || output[end] == ';')) {
      return true;
    }
  }
  return false;
}

/// A control character printed on the console, where a name could otherwise
/// recolour the terminal or forge a line: any byte below 32 but the line
/// end, DEL, or a C1 control in UTF-8. Empty if there is none.
std::string control_on_console(const ConversionResult& run) {
  for (const std::string_view stream : {std::string_view(run.out), std::string_view(run.err)}) {
    for (std::size_t i = 0; i < stream.size(); ++i) {
      const auto c = static_cast<unsigned char>(stream[i]);
      const bool c1 =
          c == 0xC2 && i + 1 < stream.size() && (static_cast<unsigned char>(stream[i + 1]) & 0xE0) == 0x80;
      if ((c < 0x20 && c != '\n') || c == 0x7F || c1) {
        return "a control character on the console (byte " + std::to_string(c) + ")";
      }
    }
  }
  return {};
}

}  // namespace

RunOptions options_from_byte(unsigned char byte) {
  RunOptions options;
  if ((byte & 0x20U) != 0) options = RunOptions::everything();
  options.animation = options.animation || (byte & 0x01U) != 0;
  options.geometry = options.geometry || (byte & 0x02U) != 0;
  options.lights = options.lights || (byte & 0x04U) != 0;
  options.cameras = options.cameras || (byte & 0x08U) != 0;
  options.scene = options.scene || (byte & 0x10U) != 0;
  options.extended = (byte & 0x40U) != 0;
  options.z_up = options.extended && (byte & 0x80U) != 0;
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
  if (holds_non_finite_value(run.output)) return "inf or nan in the output";
  if (std::string broken = control_on_console(run); !broken.empty()) return broken;
  if (options.extended) {
    if (std::string failure = check_key_times(run.output); !failure.empty()) return failure;
  }
  if (run.exit_status == 0) return check_success(run, options.extended);
  if (run.exit_status == 1) return check_failure(run, options.extended);
  return "exit status " + std::to_string(run.exit_status);
}

}  // namespace kestrun::fuzzing
