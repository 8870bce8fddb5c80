#include "driver/run.h"

#include <sys/stat.h>

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

}  // namespace

void convert_files(const std::string& input_name, const std::string& output_name, const RunOptions& options,
                   Console& console, const Clock& clock, ConversionReport& report) {
  // A NUL would end a name early: another file would be opened.
  if (output_name.find('\0') != std::string::npos || same_file(input_name, output_name)) {
    throw Error(ErrorCode::OutputOpen);
  }
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
    convert_stream(*input, sink, options, {input_name, output_name}, console, clock, report);
  }
  output->commit();  // Only a complete output replaces the file.
}

int run_conversion(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock) {
  ConversionReport report;
  const std::optional<ErrorCode> failure =
      failure_of([&] { convert_stream(input, output, options, names, console, clock, report); });
  if (!failure) return 0;
  console.write_err(message_text(*failure));
  return 1;
}

}  // namespace kestrun
