// Error: the one way a run ends early, thrown from any layer and reported by
// the driver, which turns it into a numbered message and the exit status.
#pragma once

#include <exception>

namespace kestrun {

/// The numbered messages a run can end with (the driver holds their texts).
enum class ErrorCode : unsigned {
  Usage = 1,             // the command line is not one Kestrun understands
  ConversionFailed = 4,  // a block the converter cannot read on from, or no memory left
  NotAseText = 5,        // the input does not start as an ASE scene of version 200
  OutputOpen = 6,        // the output file cannot be created
  InputOpen = 7,         // the input file cannot be opened
  OutputWrite = 8,       // writing the output failed
  InputRead = 9,         // reading the input failed
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
