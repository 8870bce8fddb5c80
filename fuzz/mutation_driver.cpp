// Fuzzing without libFuzzer, for a compiler that has none (g++ under its sanitizers): checks the
// given inputs under the fuzz target's rules, then random mutations of them for the given
// seconds, and prints how many conversions it checked. A broken rule ends it with the input
// saved; a sanitizer report ends it as any sanitized program ends.
//
//   convert_mutations SECONDS FINDINGS_DIR [default|extended|both] INPUT_FILE_OR_DIR...
//
// The mutations are those bench/compare_builds makes: cuts, dropped and repeated ranges,
// fragments of the format's keywords, changed bytes. Blind, unlike libFuzzer's, but any input
// that breaks a rule is a finding all the same.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "conversion_check.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::basic_string<unsigned char>;

const char* const kFragments[] = {"{",
                                  "}",
                                  "*MESH",
                                  "*NODE_TM",
                                  "*NODE_NAME",
                                  "\"",
                                  "-",
                                  ".",
                                  "0",
                                  "-0.0",
                                  "1e39",
                                  "*GEOMOBJECT {",
                                  "*MESH_VERTEX",
                                  "*MESH_FACE 0: A: 0 B: 1 C: 2",
                                  "\x1b",
                                  "\xc2\x9b",
                                  "*MATERIAL_LIST {",
                                  "*SUBMATERIAL 0 {",
                                  "*MATERIAL_REF 0",
                                  "*TM_ANIMATION {",
                                  "*CONTROL_ROT_TCB {",
                                  "*LIGHTOBJECT {",
                                  "*CAMERAOBJECT {",
                                  "*HELPEROBJECT {",
                                  "*NODE_PARENT \"x\"",
                                  "2147483648",
                                  "1e-320",
                                  "340282356779733661637539395458142568448.0",
                                  "*SCENE_TICKSPERFRAME 0",
                                  "\r\n"};

Bytes read_bytes(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  return {text.begin(), text.end()};
}

Bytes mutated(Bytes data, std::mt19937_64& random) {
  const auto below = [&random](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
  for (std::size_t changes = 1 + below(4); changes > 0; --changes) {
    const std::size_t at = below(data.size() + 1);
    switch (below(5)) {
      case 0:
        data.resize(at);
        break;
      case 1:
        data.erase(at, 1 + below(64));
        break;
      case 2:
        data.insert(at, data.substr(at, 1 + below(256)));
        break;
      case 3: {
        const std::string fragment = kFragments[below(std::size(kFragments))];
        data.insert(at, Bytes(fragment.begin(), fragment.end()));
        break;
      }
      default:
        if (!data.empty()) data[std::min(at, data.size() - 1)] = static_cast<unsigned char>(random());
    }
  }
  return data.substr(0, 65536);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: convert_mutations SECONDS FINDINGS_DIR default|extended|both INPUT...\n", stderr);
    return 2;
  }
  const auto seconds = std::chrono::seconds(std::stol(argv[1]));
  const fs::path findings = argv[2];
  const std::string mode = argv[3];
  std::vector<Bytes> inputs;
  for (int i = 4; i < argc; ++i) {
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::directory_iterator(argv[i]))
        if (entry.is_regular_file()) inputs.push_back(read_bytes(entry.path()));
    } else {
      inputs.push_back(read_bytes(argv[i]));
    }
  }
  std::mt19937_64 random(20261207);
  std::size_t checked = 0;
  const auto check = [&](Bytes input) {
    if (!input.empty() && mode != "both") {
      input[0] = static_cast<unsigned char>(mode == "extended" ? input[0] | 0x40U : input[0] & ~0x40U);
    }
    ++checked;
    const std::string broken = kestrun::fuzzing::check_conversion(std::span(input.data(), input.size()));
    if (broken.empty()) return true;
    fs::create_directories(findings);
    const fs::path saved = findings / ("finding-" + std::to_string(checked));
    std::ofstream(saved, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    std::fprintf(stderr, "rule broken: %s (input saved as %s)\n", broken.c_str(), saved.c_str());
    return false;
  };
  for (const Bytes& input : inputs)
    if (!check(input)) return 1;
  const auto end = std::chrono::steady_clock::now() + seconds;
  while (!inputs.empty() && std::chrono::steady_clock::now() < end) {
    if (!check(mutated(inputs[random() % inputs.size()], random))) return 1;
  }
  std::printf("%zu conversions checked (%zu inputs, then mutations), no rule broken\n", checked,
              inputs.size());
  return 0;
}
