// Warnings: problems that do not end a run, told to the user once each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrun {

/// A name from the input as a warning shows it: in quotes, its first 80
/// bytes as ShownName shows them (control characters as \xHH, so on one
/// line), "..." after a longer one.
std::string quoted_name(std::string_view name);

/// Collects the problems met while one thing (an object, a material) is
/// read and written, and tells each kind once, with how often it happened
/// and the line of the first: a mesh with a million bad faces gives one
/// line, not a million.
class Warnings {
 public:
  /// `emit` receives each finished line, without "Warning: " or a line end.
  explicit Warnings(std::function<void(std::string_view)> emit) : emit_(std::move(emit)) {}

  /// Notes a problem of the kind `what` met at input line `line` (0: none).
  void note(std::string_view what, std::uint64_t line = 0);
  /// Tells every kind noted since the last flush, each as "<scope>: <what>".
  void flush(std::string_view scope);
  /// Forgets what was noted since the last flush (for something not converted).
  void discard() { pending_.clear(); }

  /// What was noted since the last flush, to be told elsewhere: taken from
  /// here and handed to another Warnings' restore.
  struct Pending {
    std::string what;
    std::uint64_t first_line = 0;
    std::size_t count = 0;
  };
  std::vector<Pending> take_pending() { return std::exchange(pending_, {}); }
  void restore(std::vector<Pending> pending) {
    for (Pending& kind : pending) pending_.push_back(std::move(kind));
  }
  /// Tells one problem at once.
  void warn(std::string_view text) {
    ++told_;
    emit_(text);
  }
  /// How many lines were told so far.
  [[nodiscard]] std::size_t told() const { return told_; }

 private:
  std::function<void(std::string_view)> emit_;
  std::vector<Pending> pending_;
  std::size_t told_ = 0;
};

}  // namespace kestrun
