// ReadAhead: reads the input into a ring of blocks on a background thread.
#pragma once

#include <cstddef>
#include <span>
#include <thread>

#include "io/block_ring.h"

namespace kestrun {

class ByteReader;

/// Keeps up to `blocks` blocks read before they are asked for, so that the
/// system's copying of the input happens on another core. With
/// `scan_for_nul`, that core also looks for NUL bytes in each block, which
/// the default mode's character source would otherwise do on the converting
/// core. The reader must outlive the ReadAhead.
class ReadAhead {
 public:
  ReadAhead(ByteReader& reader, std::size_t block_size, bool scan_for_nul = false, std::size_t blocks = 4);
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  /// Stops the thread, at the latest after the read it is doing.
  ~ReadAhead();

  /// Gives back the block handed out last and returns the next one, empty at
  /// the end of the input. Where a read failed, the bytes read before the
  /// failure come first; the call after them throws Error(InputRead).
  std::span<unsigned char> next_block();
  /// Whether the block handed out last was scanned and holds no NUL byte.
  [[nodiscard]] bool block_is_nul_free() const { return nul_free_; }

 private:
  void read_blocks();

  ByteReader& reader_;
  const bool scan_for_nul_;
  BlockRing ring_;
  bool holding_ = false;   // The block handed out last is still the reader's.
  bool finished_ = false;  // The end, or a failed read, has been handed out.
  bool failed_ = false;
  bool nul_free_ = false;
  std::thread thread_;  // Last: it starts once everything above is ready.
};

}  // namespace kestrun
