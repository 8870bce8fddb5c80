#include "cli/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "test_support.h"

namespace kestrun::testing {
namespace {

/// Sets `resource` to `limit` in the child, unless it is -1.
void limit(int resource, long limit) {
  const struct rlimit value = {static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
  if (limit >= 0 && ::setrlimit(resource, &value) != 0) ::_exit(127);
}

/// Runs the probe with `program`, standard output and error into the two files (one if they are
/// the same), and reads its report.
void spawn(const std::string& program, const std::vector<std::string>& arguments, const fs::path& directory,
           const std::string& out_path, const std::string& err_path, const std::string& report_path,
           const ProcessOptions& options, ProcessResult& result) {
  std::vector<std::string> copies = {KESTRUN_PEAK_PROBE, report_path, program};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& copy : copies) argv.push_back(copy.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_APPEND;
    const int out = ::open(out_path.c_str(), flags, 0644);
    const int err = err_path == out_path ? out : ::open(err_path.c_str(), flags, 0644);
    if (out < 0 || err < 0 || ::chdir(directory.c_str()) != 0) ::_exit(127);
    if (::signal(SIGXFSZ, SIG_DFL) == SIG_ERR) ::_exit(127);  // Not hidden from the program.
    limit(RLIMIT_FSIZE, options.max_file_bytes);
    limit(RLIMIT_CPU, options.max_cpu_seconds);
    limit(RLIMIT_CORE, options.max_cpu_seconds >= 0 ? 0 : -1);  // A run killed on purpose leaves no core.
    limit(RLIMIT_STACK, options.no_threads ? 1L << 46 : -1);
    limit(RLIMIT_AS, options.max_address_space);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("wait failed");
  std::ifstream report(report_path);
  if (!(report >> result.exit_status >> result.peak_memory_kb >> result.cpu_seconds)) result.exit_status = -1;
}

}  // namespace

ProcessResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                          const fs::path& directory, const ProcessOptions& options) {
  TempDir captures;
  ProcessResult result;
  spawn(program, arguments, directory, captures.file("out"), captures.file("err"), captures.file("report"),
        options, result);
  result.out = read_file(captures.file("out"));
  result.err = read_file(captures.file("err"));
  if (options.combined) {
    ProcessResult second;
    spawn(program, arguments, directory, captures.file("both"), captures.file("both"),
          captures.file("report2"), options, second);
    result.combined = read_file(captures.file("both"));
  }
  return result;
}

}  // namespace kestrun::testing
