#include "driver/convert_stream.h"

#include <new>

#include "ase/scene_walk.h"
#include "convert/conversion.h"
#include "driver/messages.h"
#include "maya/ma_writer.h"
#include "maya/trailer.h"

namespace kestrun {

void check_ase_header(Tokenizer& tokens, Console& console) {
  constexpr int kTokensSearched = 11;
  bool found = false;
  for (int read = 0; read < kTokensSearched && !found; ++read) {
    tokens.next_token();
    found = tokens.kind() == TokenKind::AsciiExport;
  }
  if (!found) {
    report_fatal(console, ErrorCode::InvalidInput);
  }
  tokens.next_token();
  if (tokens.kind() != TokenKind::Integer || tokens.token().integer != 200) {
    report_fatal(console, ErrorCode::InvalidInput);
  }
  tokens.next_token();
}

void convert_stream(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                    Console& console, const Clock& clock) {
  try {
    MaWriter out(output);
    Tokenizer tokens(input, [&console, names] {
      console.print("%s Completed\n", names.input_name);
      console.print("%s Generated\n", names.output_name);
      console.flush_out();
    });
    check_ase_header(tokens, console);
    write_header(out, names.output_name, clock());
    Conversion conversion{tokens, out, console, options, names.output_name, {}, {}, {}, {}};
    convert_objects(conversion);
    write_trailer(conversion);
    out.finish();
  } catch (const IoFailure& failure) {
    report_fatal(console, failure.code());
  } catch (const std::bad_alloc&) {
    report_fatal(console, ErrorCode::Fatal);
  }
}

}  // namespace kestrun
