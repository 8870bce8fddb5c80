#include "cli/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "test_support.h"

namespace kestrun::testing {
namespace {

struct Child {
  int exit_status;
  long peak_memory_kb;
  double cpu_seconds;
};

/// Runs `program` through the peak probe (see peak_probe.cpp), which reports
/// in `report_path` what it measured.
Child spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& directory, const std::string& out_path, const std::string& err_path,
            const std::string& report_path, const ProcessLimits& limits) {
  std::vector<char*> argv;
  std::vector<std::string> copies = {KESTRUN_PEAK_PROBE, report_path, program};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  for (std::string& copy : copies) argv.push_back(copy.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    const int err =
        err_path == out_path ? out : ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (out < 0 || err < 0 || ::chdir(directory.c_str()) != 0) ::_exit(127);
    if (limits.max_file_bytes >= 0) {
      const struct rlimit file_size = {static_cast<rlim_t>(limits.max_file_bytes),
                                       static_cast<rlim_t>(limits.max_file_bytes)};
      if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &file_size) != 0) ::_exit(127);
    }
    if (limits.max_cpu_seconds >= 0) {
      // A run killed on purpose leaves no core file behind.
      const struct rlimit cpu = {static_cast<rlim_t>(limits.max_cpu_seconds),
                                 static_cast<rlim_t>(limits.max_cpu_seconds)};
      const struct rlimit no_core = {0, 0};
      if (::setrlimit(RLIMIT_CPU, &cpu) != 0 || ::setrlimit(RLIMIT_CORE, &no_core) != 0) ::_exit(127);
    }
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("wait failed");
  Child child{-1, 0, 0.0};
  std::ifstream report(report_path);
  if (!(report >> child.exit_status >> child.peak_memory_kb >> child.cpu_seconds)) child.exit_status = -1;
  return child;
}

}  // namespace

ProcessResult run_program_once(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& directory, const ProcessLimits& limits) {
  TempDir captures;
  ProcessResult result;
  const Child child = spawn(program, arguments, directory, captures.file("out"), captures.file("err"),
                            captures.file("report"), limits);
  result.exit_status = child.exit_status;
  result.peak_memory_kb = child.peak_memory_kb;
  result.cpu_seconds = child.cpu_seconds;
  result.out = read_file(captures.file("out"));
  result.err = read_file(captures.file("err"));
  return result;
}

ProcessResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& directory) {
  ProcessResult result = run_program_once(program, arguments, directory);
  TempDir captures;
  spawn(program, arguments, directory, captures.file("both"), captures.file("both"), captures.file("report"),
        {});
  result.combined = read_file(captures.file("both"));
  return result;
}

}  // namespace kestrun::testing
