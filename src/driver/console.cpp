#include "driver/console.h"

namespace kestrun {

void StandardConsole::write_out(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  unflushed_ = true;
}

void StandardConsole::flush_out() {
  // The walk flushes after every top-level token; skip the call when idle.
  if (unflushed_) {
    std::fflush(stdout);
    unflushed_ = false;
  }
}

void StandardConsole::write_err(std::string_view text) {
  flush_out();
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void CapturedConsole::write_out(std::string_view text) {
  out_.append(text);
  combined_.append(text);
}

void CapturedConsole::write_err(std::string_view text) {
  err_.append(text);
  combined_.append(text);
}

}  // namespace kestrun
