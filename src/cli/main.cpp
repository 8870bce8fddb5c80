// Kestrun: converts 3ds Max ASE scenes to Maya ASCII.
#include <csignal>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/console.h"
#include "cli/run_kestrun.h"

int main(int argc, char** argv) {
  // An output that is a pipe whose reader has gone is a failed write, reported
  // as such (code 8), not a silent death; a closed standard output only loses
  // progress lines, and the conversion still completes. Likewise a write past
  // the file size limit (ulimit -f) fails with EFBIG, code 8, and does not
  // kill the program.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  const std::vector<std::string_view> arguments(argv + 0, argv + argc);
  kestrun::StandardConsole console;
  return kestrun::cli::run_kestrun(arguments, console, kestrun::system_local_time);
}
