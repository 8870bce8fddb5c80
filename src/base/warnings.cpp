#include "base/warnings.h"

namespace kestrun {

void Warnings::note(std::string_view what, std::uint64_t line) {
  for (Kind& kind : pending_) {
    if (kind.what == what) {
      ++kind.count;
      return;
    }
  }
  pending_.push_back(Kind{std::string(what), line, 1});
}

void Warnings::flush(std::string_view scope) {
  for (const Kind& kind : pending_) {
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
