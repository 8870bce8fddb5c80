// Runs the built Kestrun binary, or another program, as a child process.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrun::testing {

inline const std::string kBinary = KESTRUN_BINARY;

struct ProcessResult {
  int exit_status = -1;  // -1 if the child did not exit normally.
  std::string out;
  std::string err;
  std::string combined;     // Both streams into one, as 2>&1 gives them, if asked for.
  long peak_memory_kb = 0;  // Peak resident set size of the program, as wait4 reports it.
  double cpu_seconds = 0;   // User and system time of the child.
};

struct ProcessOptions {
  /// Runs the program a second time with both streams into one capture, for
  /// `combined`; the other fields come from the first run.
  bool combined = false;
  /// Largest file the child may write (RLIMIT_FSIZE), or -1 for none. The
  /// child starts with SIGXFSZ at its default, which ends a program that
  /// writes past the limit unless the program ignores it.
  long max_file_bytes = -1;
  /// CPU seconds after which the child is killed (RLIMIT_CPU), or -1 for none.
  long max_cpu_seconds = -1;
  /// Largest address space of the child (RLIMIT_AS), or -1 for none: room
  /// reserved but never filled counts against it.
  long max_address_space = -1;
  /// No thread can be started in the child: its threads' default stack (the
  /// stack limit it starts with) is larger than any address space.
  bool no_threads = false;
};

/// Runs `program` with `arguments` in `directory`, through the peak probe
/// (see peak_probe.cpp) so that the measured peak is the program's own.
ProcessResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory, const ProcessOptions& options = {});

}  // namespace kestrun::testing
