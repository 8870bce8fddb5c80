// How a run ends early: the numbered error codes and the two exceptions that
// carry an ending to the program entry.
#pragma once

#include <exception>

namespace kestrun {

/// The numbered messages of the converter (see messages.h for their texts).
enum class ErrorCode : unsigned {
  UnknownZero = 0,
  Usage = 1,
  UnexpectedEof = 2,
  UnknownThree = 3,
  Fatal = 4,
  InvalidInput = 5,
  OutputOpen = 6,
  InputOpen = 7,
  OutputWrite = 8,
  InputRead = 9,
};

/// Thrown once the run has been ended (its message, if any, already printed).
/// The program entry turns it into the exit status.
class RunEnded : public std::exception {
 public:
  explicit RunEnded(int exit_status) : exit_status_(exit_status) {}
  [[nodiscard]] int exit_status() const { return exit_status_; }
  [[nodiscard]] const char* what() const noexcept override { return "run ended"; }

 private:
  int exit_status_;
};

/// Thrown by the input and output streams, which have no console: the run
/// reports `code` (InputRead or OutputWrite) and ends.
class IoFailure : public std::exception {
 public:
  explicit IoFailure(ErrorCode code) : code_(code) {}
  [[nodiscard]] ErrorCode code() const { return code_; }
  [[nodiscard]] const char* what() const noexcept override { return "input or output failed"; }

 private:
  ErrorCode code_;
};

}  // namespace kestrun
