#include "driver/run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "driver/messages.h"
#include "io/background_sink.h"
#include "io/byte_sink.h"
#include "io/byte_source.h"
#include "io/output_file.h"

namespace kestrun {
namespace {

/// True when both names refer to one existing file (links followed): opening
/// the output would then truncate the input.
bool same_file(const std::string& first, const std::string& second) {
  struct stat first_status {};
  struct stat second_status {};
  return ::stat(first.c_str(), &first_status) == 0 && ::stat(second.c_str(), &second_status) == 0 &&
         first_status.st_dev == second_status.st_dev && first_status.st_ino == second_status.st_ino;
}

/// Passes everything on but the progress on standard output: for an output
/// that is standard output itself, where progress would go into the scene.
class WithoutProgress final : public Console {
 public:
  explicit WithoutProgress(Console& inner) : inner_(inner) {}
  void warn(std::string_view text) override { inner_.warn(text); }

 protected:
  void put_out(std::string_view /*text*/) override {}
  void flush_stdout() override {}
  void put_err(std::string_view text) override { inner_.write_err(text); }

 private:
  Console& inner_;
};

/// convert_files once the names are known to be usable.
void convert_named_files(const std::string& input_name, const std::string& output_name,
                         const RunOptions& options, Console& console, const Clock& clock,
                         ConversionReport& report) {
  const std::unique_ptr<OutputFile> output = OutputFile::open(output_name);
  if (!output) {
    throw Error(ErrorCode::OutputOpen);
  }
  // The default mode's character source needs to know where NUL bytes are;
  // the extended mode's lexer does not look for them.
  const std::unique_ptr<FileSource> input = input_name.find('\0') == std::string::npos
                                                ? FileSource::open(input_name, kBlockSize, !options.extended)
                                                : nullptr;
  if (!input) {
    throw Error(ErrorCode::InputOpen);
  }
  console.write_out("\n");
  console.write_out("Entering files\n");
  {
    // The disk works while the next block is formatted, if a thread can be had.
    const std::unique_ptr<BackgroundSink> background = BackgroundSink::start(output->sink());
    ByteSink& sink = background ? static_cast<ByteSink&>(*background) : output->sink();
    convert_bytes(*input, sink, options, {input_name, output_name}, console, clock, report);
  }
  output->commit();  // Only a complete output replaces the file.
}

}  // namespace

bool is_standard_output(const std::string& path) {
  struct stat output {};
  struct stat standard {};
  return ::stat(path.c_str(), &output) == 0 && ::fstat(STDOUT_FILENO, &standard) == 0 &&
         output.st_dev == standard.st_dev && output.st_ino == standard.st_ino;
}

void convert_files(const std::string& input_name, const std::string& output_name, const RunOptions& options,
                   Console& console, const Clock& clock, ConversionReport& report) {
  // A NUL would end a name early: another file would be opened.
  if (output_name.find('\0') != std::string::npos || same_file(input_name, output_name)) {
    throw Error(ErrorCode::OutputOpen);
  }
  if (is_standard_output(output_name)) {
    WithoutProgress quiet(console);
    convert_named_files(input_name, output_name, options, quiet, clock, report);
  } else {
    convert_named_files(input_name, output_name, options, console, clock, report);
  }
}

int run_conversion(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock) {
  ConversionReport report;
  const std::optional<ErrorCode> failure =
      failure_of([&] { convert_bytes(input, output, options, names, console, clock, report); });
  if (!failure) return 0;
  console.write_err(message_text(*failure));
  return 1;
}

}  // namespace kestrun
