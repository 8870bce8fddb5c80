// kestrun_generate_scene: writes large, deterministic ASE scenes in the 3ds Max
// ASCII exporter's layout, for benchmarking the converter.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "gen/scene.h"

namespace {

using kestrun::scenegen::Out;
using kestrun::scenegen::SceneSettings;

constexpr std::uint64_t kBytesPerMb = 1'000'000;
// About what a vertex costs with the default keys, animation included. Only
// the object size for --size-mb comes from it (400 MB: about 40 objects);
// the file size comes from writing objects until the target is reached.
constexpr std::uint64_t kBytesPerVertex = 780;

constexpr const char* kUsage =
    "usage: kestrun_generate_scene --output PATH [--size-mb N] [--vertices N] [--objects N]\n"
    "                              [--keys N] [--lights N] [--cameras N] [--seed N] [--crlf] [--sampled]\n"
    "\n"
    "Writes a deterministic 3ds Max ASCII export (ASE) scene for benchmarks.\n"
    "  --output PATH   file to write (created or truncated)\n"
    "  --size-mb N     target file size, 1 to 500 MB (1 MB = 1,000,000 bytes): objects of\n"
    "                  about size / (780 bytes x objects) vertices, or of --vertices, are\n"
    "                  written until it is reached\n"
    "  --vertices N    vertices per object, 9 to 5000000 (default 1000); faces are 2N\n"
    "  --objects N     textured, animated mesh objects (default 40; with --size-mb, about)\n"
    "  --keys N        keys per track, or frames when sampled (default 200; 0: no animation)\n"
    "  --lights N      target spot lights (default 2)\n"
    "  --cameras N     target cameras (default 2)\n"
    "  --seed N        random seed (default 1); the same seed gives the same bytes\n"
    "  --crlf          end lines with CR LF instead of LF\n"
    "  --sampled       animation as sampled tracks, as exports of baked animation have\n";

struct Options {
  SceneSettings scene{.vertices = 0};  // vertices 0: not given
  std::string output;
  std::int64_t size_mb = 0;  // 0: not given
  std::int64_t objects = 40;
  bool crlf = false;
  bool help = false;
};

// Reads "--name value" and "--name=value"; throws std::invalid_argument with a message for the user.
Options parse_options(int argc, char** argv) {
  Options o;
  const struct {
    std::string_view name;
    std::int64_t* value;
    std::int64_t low;
    std::int64_t high;
  } counts[] = {{"--size-mb", &o.size_mb, 1, 500},      {"--vertices", &o.scene.vertices, 9, 5'000'000},
                {"--objects", &o.objects, 1, 100'000},  {"--keys", &o.scene.keys, 0, 1'000'000},
                {"--lights", &o.scene.lights, 0, 1000}, {"--cameras", &o.scene.cameras, 0, 1000}};
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--crlf" || argument == "--sampled" || argument == "--help" || argument == "-h") {
      (argument == "--crlf" ? o.crlf : argument == "--sampled" ? o.scene.sampled : o.help) = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name(argument.substr(0, equals));
    if (equals == std::string_view::npos && i + 1 == argc)
      throw std::invalid_argument(name + " needs a value");
    const std::string_view value = equals == std::string_view::npos ? argv[++i] : argument.substr(equals + 1);
    if (name == "--output") {
      o.output = value;
      continue;
    }
    std::uint64_t number = 0;
    const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const auto* count =
        std::find_if(std::begin(counts), std::end(counts), [&](auto& c) { return c.name == name; });
    if (count == std::end(counts) && name != "--seed")
      throw std::invalid_argument("unknown option '" + name + "'");
    if (value.empty() || error != std::errc() || stop != value.data() + value.size() ||
        (count != std::end(counts) && (number < static_cast<std::uint64_t>(count->low) ||
                                       number > static_cast<std::uint64_t>(count->high)))) {
      throw std::invalid_argument(name + " needs a whole number in the range below, not '" +
                                  std::string(value) + "'");
    }
    if (count == std::end(counts)) {
      o.scene.seed = number;
    } else {
      *count->value = static_cast<std::int64_t>(number);
    }
  }
  if (!o.help && o.output.empty()) throw std::invalid_argument("--output is required");
  return o;
}

void generate(Options o) {
  using kestrun::scenegen::write_lights_and_cameras;
  const auto start = std::chrono::steady_clock::now();
  const auto target = static_cast<std::uint64_t>(o.size_mb) * kBytesPerMb;
  const auto fitted = static_cast<std::int64_t>(target / kBytesPerVertex) / o.objects;
  if (o.scene.vertices == 0) o.scene.vertices = target == 0 ? 1000 : std::max<std::int64_t>(9, fitted);
  // The lights and cameras come last, but with a target their size is needed first: writing them
  // to nowhere counts it.
  Out lights_and_cameras("", o.crlf);
  if (target != 0) write_lights_and_cameras(lights_and_cameras, o.scene);

  Out out(o.output, o.crlf);
  write_scene_start(out, o.scene);
  // With a target, whole objects until one more would overshoot it by more than it would fall short.
  std::int64_t objects = 0;
  for (std::uint64_t object_size = 0;
       target == 0 ? objects < o.objects
                   : objects == 0 || out.size() + lights_and_cameras.size() + object_size / 2 < target;) {
    const std::uint64_t before = out.size();
    write_object(out, o.scene, objects++);
    object_size = out.size() - before;
  }
  write_lights_and_cameras(out, o.scene);
  out.finish();

  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%s: %.2f MB, %lld objects x %lld vertices, %.2f s\n", o.output.c_str(),
              static_cast<double>(out.size()) / kBytesPerMb, static_cast<long long>(objects),
              static_cast<long long>(o.scene.vertices), seconds.count());
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = parse_options(argc, argv);
    if (options.help) {
      std::fputs(kUsage, stdout);
    } else {
      generate(options);
    }
    return 0;
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "kestrun_generate_scene: %s\n\n%s", error.what(), kUsage);
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrun_generate_scene: %s\n", error.what());
    return 1;
  }
}
