#include "cli/help.h"

#include "base/version.h"

namespace kestrun::cli {

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

void print_usage(Console& console) {
  console.write_out(
      "Usage: Kestrun <Input File> <Output File> [-u] [-g] [-a] [-l] [-c] [-s] [-h] [--extended [--z-up]]\n"
      "       Kestrun -h | --help | --version\n"
      "\n"
      "Converts a 3ds Max ASE text scene into a Maya ASCII scene.\n"
      "\n"
      "With only the two file names everything is converted; with switches, only what\n"
      "they name. Only the second character of a switch counts, in either case: -g, /g,\n"
      "-G and -geometry all mean -g.\n"
      "\n"
      "Switches:\n"
      "  -u    everything\n"
      "  -g    geometry (every GEOMOBJECT) and the scene timing\n"
      "  -a    animation keys, with geometry and the scene timing\n"
      "  -l    lights\n"
      "  -c    cameras\n"
      "  -s    the scene timing (playback range, ticks per frame)\n"
      "  -h    the short help screen (exit status 1)\n"
      "\n"
      "Long options, after the file names:\n"
      "  --extended  write all the scene holds, for Maya today (meshes with normals,\n"
      "              UVs and colours, materials, the hierarchy, animation curves,\n"
      "              lights and cameras, Y up); without it Kestrun writes Maya\n"
      "              ASCII 3.0 files exactly as existing pipelines read them\n"
      "  --z-up      with --extended: keep the file's Z-up axes\n"
      "\n"
      "Alone, as the only argument:\n"
      "  --help      this text\n"
      "  --version   the version\n"
      "\n"
      "Progress goes to standard output; errors, and the warnings of the extended mode,\n"
      "to standard error. The exit status is 0 after a complete conversion and after\n"
      "--help and --version, 1 after any error and after the short help screen.\n"
      "\n"
      "Examples:\n"
      "  Kestrun box.ase box.ma                  convert everything\n"
      "  Kestrun box.ase box.ma -g -l            only geometry, scene timing and lights\n"
      "  Kestrun box.ase box.ma --extended       everything, for Maya today\n"
      "  Kestrun box.ase box.ma -a --extended --z-up\n"
      "\n"
      "The manual page Kestrun(1) lists the messages and what they mean.\n");
}

void print_version(Console& console) { console.print("Kestrun %s\n", kProgramVersion); }

}  // namespace kestrun::cli
