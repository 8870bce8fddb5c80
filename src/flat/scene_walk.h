// The token walk over the body of an ASE file.
#pragma once

#include "ase/tokenizer.h"
#include "base/console.h"
#include "base/conversion_report.h"
#include "base/run_options.h"
#include "maya/ma_writer.h"
#include "maya/scene_summary.h"

namespace kestrun::flat {

/// Walks the body of the file, starting on the token after the version
/// number, hands each block that `options` ask for to its converter, which
/// writes its nodes to `out` at once, and returns when the input has ended
/// with what the trailer needs: the listed nodes and the playback range.
/// Counts the objects, nodes and curves it writes in `report`.
SceneSummary walk_scene(Tokenizer& tokens, MaWriter& out, Console& console, const RunOptions& options,
                        ConversionReport& report);

}  // namespace kestrun::flat
