#include "driver/messages.h"

#include "base/version.h"

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

void print_help(Console& console) {
  console.print("\nKestrun %s is a program to convert between 3DStudio Max and Maya written by :\n",
                kProgramVersion);
  console.write_out("the Kestrun developers\n\n");
  console.write_out("Usage : Kestrun <Input File> <Output File> optional : -u -g -a -l -c -s -h\n");
  console.write_out(
      "-u ..... Universal, i.e. take all supported info across platforms\n"
      "-g ..... Take geometry info\n"
      "-a ..... Take animation info\n"
      "-l ..... Take lights and light info");
  console.write_out(
      "\n-c ..... Take cameras and camera info\n-s ..... Take scene info\n-h ..... This help file\n");
}

}  // namespace kestrun
