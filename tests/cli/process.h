// Runs the built Kestrun binary as a child process.
#pragma once

#include <string>
#include <vector>

namespace kestrun::testing {

struct ProcessResult {
  int exit_status = -1;  // -1 if the child did not exit normally.
  std::string out;
  std::string err;
  std::string combined;     // Both streams into one, as 2>&1 gives them.
  long peak_memory_kb = 0;  // Peak resident set size of the program, as wait4 reports it.
  double cpu_seconds = 0;   // User and system time of the child.
};

/// Limits set on the child before it starts.
struct ProcessLimits {
  /// Largest file the child may write (RLIMIT_FSIZE), or -1 for none. SIGXFSZ
  /// is ignored, so a write past it fails as it would on a full disk.
  long max_file_bytes = -1;
  /// CPU seconds after which the child is killed (RLIMIT_CPU), or -1 for none.
  long max_cpu_seconds = -1;
};

/// Runs `program` with `arguments` in `directory`, twice: once with the two
/// streams captured apart, once with both into one capture.
ProcessResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& directory);

/// Runs once with separate captures only (for long or measuring runs).
ProcessResult run_program_once(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& directory, const ProcessLimits& limits = {});

}  // namespace kestrun::testing
