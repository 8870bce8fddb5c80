#include "driver/convert_bytes.h"

#include <filesystem>

#include "ase/ase_header.h"
#include "ase/tokenizer.h"
#include "base/warnings.h"
#include "driver/scene_pipe.h"
#include "extended/scene_writer.h"
#include "flat/scene_walk.h"
#include "maya/header.h"
#include "maya/ma_writer.h"
#include "maya/trailer.h"
#include "reader/scene_reader.h"

namespace kestrun {
namespace {

void print_completion(Console& console, StreamNames names) {
  console.print("%s Completed\n", ShownName{names.input_name});
  console.print("%s Generated\n", ShownName{names.output_name});
}

/// The default mode: the token walk, Maya ASCII 3.0 byte for byte as existing pipelines read it.
void convert_default(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                     Console& console, const Clock& clock, ConversionReport& report) {
  MaWriter out(output);
  flat::Tokenizer tokens(input, [&console, names] { print_completion(console, names); });
  flat::check_ase_header(tokens);
  write_header(out, names.output_name, clock());
  const SceneSummary scene = flat::walk_scene(tokens, out, console, options, report);
  write_trailer(out, scene, names.output_name);
  report.first_frame = scene.first_frame;
  report.last_frame = scene.last_frame;
  out.finish();
}

/// The extended mode: the structured reader hands each object to the writer.
void convert_extended(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                      Console& console, const Clock& clock, ConversionReport& report, Reading reading) {
  MaWriter out(output);
  Warnings warnings([&console](std::string_view text) { console.warn(text); });
  extended::ExtendedSettings settings{options, options.z_up,
                                      std::filesystem::path(std::string(names.input_name)).stem().string(),
                                      std::string(names.output_name)};
  extended::SceneWriter writer(out, console, warnings, std::move(settings), clock(), report);
  if (reading == Reading::Alongside) {
    read_scene_alongside(input, writer, warnings);
  } else {
    reader::read_ase_scene(input, writer, warnings);
  }
  print_completion(console, names);
  writer.finish();
  out.finish();
}

}  // namespace

void convert_bytes(ByteSource& input, ByteSink& output, const RunOptions& options, StreamNames names,
                   Console& console, const Clock& clock, ConversionReport& report, Reading reading) {
  if (options.extended) {
    convert_extended(input, output, options, names, console, clock, report, reading);
  } else {
    convert_default(input, output, options, names, console, clock, report);
  }
}

}  // namespace kestrun
