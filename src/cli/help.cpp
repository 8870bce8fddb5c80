#include "cli/help.h"

#include "base/version.h"

namespace kestrun {

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
