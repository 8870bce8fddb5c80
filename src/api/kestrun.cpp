// The library's API (include/kestrun/kestrun.h) over the driver's conversions.
#include <kestrun/kestrun.h>

#include <istream>
#include <memory>
#include <ostream>
#include <utility>

#include "api/run_options_of.h"
#include "base/clock.h"
#include "base/console.h"
#include "base/version.h"
#include "driver/messages.h"
#include "driver/run.h"
#include "io/byte_sink.h"
#include "io/byte_source.h"
#include "io/std_streams.h"

namespace kestrun {
namespace {

// Both enumerations come from KESTRUN_FAILURES, so their numbers agree.

/// The console of one call: progress and warnings go to the caller's
/// callbacks, warnings into the result, and both to the standard streams only
/// if the options ask for it.
class CallConsole final : public Console {
 public:
  CallConsole(const Options& options, std::vector<std::string>& warnings)
      : options_(options), warnings_(warnings) {}

  void warn(std::string_view text) override {
    if (options_.keep_warnings) warnings_.emplace_back(text);
    if (options_.on_warning) options_.on_warning(text);
    if (options_.print) standard_.warn(text);
  }

 protected:
  void put_out(std::string_view text) override {
    if (options_.on_progress) options_.on_progress(text);
    if (options_.print) standard_.write_out(text);
  }
  void flush_stdout() override {
    if (options_.print) standard_.flush_out();
  }
  void put_err(std::string_view text) override {
    if (options_.print) standard_.write_err(text);
  }

 private:
  const Options& options_;
  std::vector<std::string>& warnings_;
  StandardConsole standard_;
};

Clock clock_of(const Options& options) {
  if (!options.clock) return system_local_time;
  return [&options] { return local_time_of(options.clock()); };
}

Counts counts_of(const ConversionReport& report) {
  Counts counts;
#define KESTRUN_X(type, name) counts.name = report.name;
  KESTRUN_COUNTS(KESTRUN_X)
#undef KESTRUN_X
  return counts;
}

/// Runs `convert(run_options, console, clock, report)` and fills `result`
/// with how it ended, the warnings told and the counts of what it wrote.
template <class Convert>
void converting(const Options& options, Result& result, Convert&& convert) {
  if (options.z_up && !options.extended) {
    result.code = ResultCode::usage;
    result.message = "z_up needs extended";
    return;
  }
  CallConsole console(options, result.warnings);
  ConversionReport report;
  const std::optional<ErrorCode> failure =
      failure_of([&] { convert(run_options_of(options), console, clock_of(options), report); });
  console.flush_out();
  result.counts = counts_of(report);
  if (failure) {
    result.code = static_cast<ResultCode>(*failure);
    std::string_view message = message_text(*failure);
    if (message.ends_with('\n')) message.remove_suffix(1);
    result.message = message;
  }
}

}  // namespace

const char* version() { return kProgramVersion.data(); }

Result convert_file(const std::string& input_path, const std::string& output_path, const Options& options) {
  Result result;
  converting(options, result,
             [&](const RunOptions& run, Console& console, const Clock& clock, ConversionReport& report) {
               convert_files(input_path, output_path, run, console, clock, report);
             });
  return result;
}

Result convert_stream(std::istream& input, std::ostream& output, const Options& options, const Names& names) {
  Result result;
  converting(options, result,
             [&](const RunOptions& run, Console& console, const Clock& clock, ConversionReport& report) {
               if (!output.good()) throw Error(ErrorCode::OutputOpen);
               if (!input.good()) throw Error(ErrorCode::InputOpen);
               FileSource source(std::make_unique<IstreamReader>(input), kBlockSize, /*read_ahead=*/false);
               OstreamSink sink(output);
               convert_bytes(source, sink, run, {names.input, names.output}, console, clock, report,
                             Reading::OnCallingThread);
             });
  return result;
}

Result convert_text(std::string_view input, const Options& options, const Names& names) {
  Result result;
  MemorySink sink;
  converting(options, result,
             [&](const RunOptions& run, Console& console, const Clock& clock, ConversionReport& report) {
               MemorySource source(input);
               convert_bytes(source, sink, run, {names.input, names.output}, console, clock, report);
             });
  result.output = sink.take_contents();
  return result;
}

}  // namespace kestrun
