// The extended mode on two cores: the scene read on a thread of its own.
#pragma once

#include "base/warnings.h"
#include "io/byte_source.h"
#include "model/scene_sink.h"

namespace kestrun {

/// Reads the ASE scene of `input` on a second thread and hands each part to
/// `sink` on this one, so that reading and writing overlap. Everything the
/// user sees comes from this thread, in the order one thread would give it:
/// each part arrives with the warnings its reading told and noted, a failure
/// of the reading (a bad header, a failed read, no memory) is thrown here
/// after every part read before it. Small objects travel in batches; at most
/// two large objects are held at once: the one being written and the one
/// read next. Where no thread can be started, the scene is read on this
/// thread, with the same result.
void read_scene_alongside(ByteSource& input, SceneSink& sink, Warnings& warnings);

}  // namespace kestrun
