#include "driver/messages.h"

namespace kestrun {
namespace {

struct Message {
  std::string_view text;
  bool ends_run;  // Ending messages go to standard error, the others to standard output.
};

Message message_for(unsigned code) {
  switch (static_cast<ErrorCode>(code)) {
    case ErrorCode::Usage:
      return {"Usage: Kestrun <Input File> <Output File> optional : -h for help\n", true};
    case ErrorCode::UnexpectedEof:
      return {"Unexpected EOF", true};
    case ErrorCode::Fatal:
      return {"Some Fatal Error just occurred", true};
    case ErrorCode::InvalidInput:
      return {"Invalid Input File", true};
    case ErrorCode::OutputOpen:
      return {"Error: Unable to open/create Output File\n", true};
    case ErrorCode::InputOpen:
      return {"Error: Unable to open Input File\n", true};
    case ErrorCode::OutputWrite:
      return {"Error: Unable to write Output File\n", true};
    case ErrorCode::InputRead:
      return {"Error: Unable to read Input File\n", true};
    case ErrorCode::UnknownZero:
    case ErrorCode::UnknownThree:
      break;
  }
  return {"Unknown Message!\n", false};
}

}  // namespace

void report_error(Console& console, unsigned code) {
  const Message message = message_for(code);
  if (!message.ends_run) {
    console.write_out(message.text);
    return;
  }
  console.write_err(message.text);
  throw RunEnded(1);
}

void report_fatal(Console& console, ErrorCode code) {
  report_error(console, code);
  throw RunEnded(1);  // Only reached if `code` does not end the run by itself.
}

void print_help(Console& console) {
  console.print("\nKestrun %s is a program to convert between 3DStudio Max and Maya written by :\n",
                PROGRAM_VERSION);
  console.write_out("the Kestrun developers\n\n");
  console.write_out("Usage : Kestrun <Input File> <Output File> optional : -u -g -a -l -c -s -h\n");
  console.write_out(
      "-u ..... Universal, i.e. take all supported info across platforms\n"
      "-g ..... Take geometry info\n"
      "-a ..... Take animation info\n"
      "-l ..... Take lights and light info");
  console.write_out(
      "\n-c ..... Take cameras and camera info\n-s ..... Take scene info\n-h ..... This help file\n");
  console.flush_out();
  throw RunEnded(1);
}

}  // namespace kestrun
