#include "conversion_run.h"

#include "base/console.h"
#include "driver/run.h"
#include "io/byte_sink.h"
#include "io/byte_source.h"

namespace kestrun::testing {

ConversionResult convert_text(std::string_view ase_text, const RunOptions& options, std::size_t output_limit,
                              std::size_t block_size) {
  MemorySource input(ase_text, block_size);
  MemorySink output(output_limit);
  CapturedConsole console;
  const int status = run_conversion(input, output, options, {"in.ase", "out.ma"}, console, fixed_time);
  return {status, output.contents(), console.out(), console.err(), console.combined()};
}

}  // namespace kestrun::testing
