// Kestrun: converts 3ds Max ASE scenes to Maya ASCII 3.0.
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "driver/run.h"
#include "maya/header.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv, argv + argc);
  kestrun::StandardConsole console;
  return kestrun::run_kestrun(arguments, console, kestrun::system_local_time);
}
