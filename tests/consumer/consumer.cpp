// Converts a scene through the installed library, in a file and in memory,
// and fails unless both agree and the counts are those of the scene.
//     consumer <scene.ase> <output.ma>
#include <kestrun/kestrun.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: consumer <scene.ase> <output.ma>\n";
    return 2;
  }
  kestrun::Options options;
  options.extended = true;
  const kestrun::Result file = kestrun::convert_file(argv[1], argv[2], options);
  if (!file.ok()) {
    std::cerr << "convert_file: " << file.message << '\n';
    return 1;
  }
  std::ifstream input(argv[1], std::ios::binary);
  std::ostringstream text;
  text << input.rdbuf();
  const kestrun::Result memory = kestrun::convert_text(text.str(), options);
  const kestrun::Result failed = kestrun::convert_file("no-such-scene.ase", argv[2]);
  std::cout << "Kestrun " << kestrun::version() << ": " << file.counts.meshes << " meshes, "
            << file.counts.lights << " lights, " << file.counts.cameras << " cameras, "
            << file.counts.animation_curves << " curves, " << file.warnings.size()
            << " warnings; a missing scene gives code " << static_cast<int>(failed.code) << " ("
            << failed.message << ")\n";
  const bool agree = memory.ok() && memory.counts.meshes == file.counts.meshes &&
                     memory.warnings == file.warnings &&
                     memory.output.rfind("//Maya ASCII 8.5 scene\n", 0) == 0;
  return agree && failed.code == kestrun::ResultCode::input_open ? 0 : 1;
}
