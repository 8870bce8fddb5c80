// The structured reading of a whole ASE scene.
#pragma once

#include "base/warnings.h"
#include "io/byte_source.h"
#include "model/scene_sink.h"

namespace kestrun::reader {

/// Reads `input` from its header to its end and hands every part to
/// `sink`. Only what the file holds is kept in memory: the object being
/// read. Throws Error(NotAseText) if the input does not begin as an ASE
/// scene; every other problem is noted in `warnings` and reading goes on.
void read_ase_scene(ByteSource& input, SceneSink& sink, Warnings& warnings);

}  // namespace kestrun::reader
