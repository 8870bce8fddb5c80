// Error: the one way a run ends early, thrown from any layer and reported by
// the driver, which turns it into a numbered message and the exit status.
#pragma once

#include <exception>
#include <kestrun/kestrun_lists.def>

namespace kestrun {

/// The numbered messages a run can end with (kestrun_lists.def lists them,
/// with their texts, which the driver prints).
enum class ErrorCode : unsigned {
#define KESTRUN_X(api_name, name, number, message) name = number,
  KESTRUN_FAILURES(KESTRUN_X)
#undef KESTRUN_X
};

class Error : public std::exception {
 public:
  explicit Error(ErrorCode code) : code_(code) {}
  [[nodiscard]] ErrorCode code() const { return code_; }
  /// The message a user sees comes from the driver, by code.
  [[nodiscard]] const char* what() const noexcept override { return "Kestrun run ended with an error"; }

 private:
  ErrorCode code_;
};

}  // namespace kestrun
