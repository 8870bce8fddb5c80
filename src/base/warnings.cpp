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

void Warnings::note(std::string_view what, std::uint64_t line, std::size_t count) {
  auto kind = kinds_.find(what);
  if (kind == kinds_.end() && kinds_.size() >= kMaxKinds) kind = kinds_.find(what = kFurtherKinds);
  if (kind != kinds_.end()) {
    pending_[kind->second].count += count;
    return;
  }
  kinds_.emplace(std::string(what), pending_.size());
  pending_.push_back(Pending{std::string(what), line, count});
}

void Warnings::restore(std::vector<Pending> pending) {
  for (const Pending& noted : pending) note(noted.what, noted.first_line, noted.count);
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
  kinds_.clear();
}

}  // namespace kestrun
