#include "driver/messages.h"

namespace kestrun {

std::string_view message_text(ErrorCode code) {
  switch (code) {
    case ErrorCode::Usage:
      return "Usage: Kestrun <Input File> <Output File> optional : -h for help\n";
    case ErrorCode::ConversionFailed:
      return "Some Fatal Error just occurred";
    case ErrorCode::NotAseText:
      return "Invalid Input File";
    case ErrorCode::OutputOpen:
      return "Error: Unable to open/create Output File\n";
    case ErrorCode::InputOpen:
      return "Error: Unable to open Input File\n";
    case ErrorCode::OutputWrite:
      return "Error: Unable to write Output File\n";
    case ErrorCode::InputRead:
      return "Error: Unable to read Input File\n";
  }
  return "Some Fatal Error just occurred";  // Not reached: every code has its text.
}

}  // namespace kestrun
