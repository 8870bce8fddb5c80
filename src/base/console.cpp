#include "base/console.h"

namespace kestrun {

void StandardConsole::put_out(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void StandardConsole::flush_stdout() { std::fflush(stdout); }

void StandardConsole::put_err(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void CapturedConsole::put_out(std::string_view text) {
  out_.append(text);
  combined_.append(text);
}

void CapturedConsole::put_err(std::string_view text) {
  err_.append(text);
  combined_.append(text);
}

}  // namespace kestrun
