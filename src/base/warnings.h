// Warnings: problems that do not end a run, told to the user once each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
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
/// line, not a million. Noting a problem costs the same however many kinds
/// were noted before; beyond kMaxKinds kinds in one scope, the others are
/// counted together in one line, so memory and output stay bounded.
class Warnings {
 public:
  static constexpr std::size_t kMaxKinds = 100;
  /// The kind that the kinds beyond kMaxKinds are counted as.
  static constexpr std::string_view kFurtherKinds = "further kinds of problem, not told one by one";

  /// `emit` receives each finished line, without "Warning: " or a line end.
  explicit Warnings(std::function<void(std::string_view)> emit) : emit_(std::move(emit)) {}

  /// Notes a problem of the kind `what` met at input line `line` (0: none),
  /// `count` times.
  void note(std::string_view what, std::uint64_t line = 0, std::size_t count = 1);
  /// Tells every kind noted since the last flush, each as "<scope>: <what>".
  void flush(std::string_view scope);
  /// Forgets what was noted since the last flush (for something not converted).
  void discard() {
    pending_.clear();
    kinds_.clear();
  }

  /// What was noted since the last flush, to be told elsewhere: taken from
  /// here and handed to another Warnings' restore.
  struct Pending {
    std::string what;
    std::uint64_t first_line = 0;
    std::size_t count = 0;
  };
  std::vector<Pending> take_pending() {
    kinds_.clear();
    return std::exchange(pending_, {});
  }
  /// Adds what another Warnings noted, as if noted here.
  void restore(std::vector<Pending> pending);
  /// Tells one problem at once.
  void warn(std::string_view text) {
    ++told_;
    emit_(text);
  }
  /// How many lines were told so far.
  [[nodiscard]] std::size_t told() const { return told_; }

 private:
  std::function<void(std::string_view)> emit_;
  std::vector<Pending> pending_;  // In the order first noted.
  /// Looks texts up by string_view: a repeated kind costs no copy.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> kinds_;  // Places in pending_.
  std::size_t told_ = 0;
};

}  // namespace kestrun
