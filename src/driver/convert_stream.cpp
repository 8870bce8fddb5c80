#include "driver/convert_stream.h"

#include "ase/ase_header.h"
#include "ase/tokenizer.h"
#include "flat/scene_walk.h"
#include "maya/header.h"
#include "maya/ma_writer.h"
#include "maya/trailer.h"

namespace kestrun {

void convert_stream(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                    Console& console, const Clock& clock) {
  MaWriter out(output);
  Tokenizer tokens(input, [&console, names] {
    console.print("%s Completed\n", names.input_name);
    console.print("%s Generated\n", names.output_name);
  });
  check_ase_header(tokens);
  write_header(out, names.output_name, clock());
  const SceneSummary scene = walk_scene(tokens, out, console, options);
  write_trailer(out, scene, names.output_name);
  out.finish();
}

}  // namespace kestrun
