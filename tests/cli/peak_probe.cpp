// peak_probe REPORT PROGRAM [ARGUMENTS...]
//
// Runs PROGRAM and writes "<exit status> <peak resident KiB> <CPU seconds>"
// to REPORT, then exits with PROGRAM's status (-1 in the report if it did not
// exit normally). A process's peak memory includes what it shared with its
// parent when it was forked; forked from this small process instead of the
// test, the program's peak is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: peak_probe REPORT PROGRAM [ARGUMENTS...]\n", stderr);
    return 127;
  }
  const pid_t pid = ::fork();
  if (pid < 0) return 127;
  if (pid == 0) {
    ::execv(argv[2], argv + 2);
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return 127;
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 127;
  std::fprintf(report, "%d %ld %f\n", exit_status, usage.ru_maxrss, cpu);
  if (std::fclose(report) != 0) return 127;
  return exit_status < 0 ? 127 : exit_status;
}
