#include "base/warnings.h"

#include "base/console.h"

namespace kestrun {

std::string quoted_name(std::string_view name) {
  constexpr std::size_t kShown = 80;
  std::string quoted = "\"";
  StringOutput output(quoted);
  ShownName{name.substr(0, kShown)}.append_to(output);
  quoted += name.size() > kShown ? "...\"" : "\"";
  return quoted;
}

void Warnings::note(std::string_view what, std::uint64_t line) {
  for (Pending& kind : pending_) {
    if (kind.what == what) {
      ++kind.count;
      return;
    }
  }
  pending_.push_back(Pending{std::string(what), line, 1});
}

void Warnings::flush(std::string_view scope) {
  for (const Pending& kind : pending_) {
    std::string text(scope);
    if (!text.empty()) text += ": ";
    text += kind.what;
    if (kind.count > 1) {
      text += " (" + std::to_string(kind.count) + " times";
      text += kind.first_line != 0 ? ", first on line " + std::to_string(kind.first_line) + ")" : ")";
    } else if (kind.first_line != 0) {
      text += " (line " + std::to_string(kind.first_line) + ")";
    }
    warn(text);
  }
  pending_.clear();
}

}  // namespace kestrun
