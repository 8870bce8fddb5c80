// kestrun_generate_scene: writes large, deterministic ASE scenes in the 3ds Max
// ASCII exporter's exact layout, for benchmarking the converter.
#include <chrono>
#include <cstdio>
#include <exception>
#include <span>
#include <string_view>
#include <vector>

#include "gen/options.h"
#include "gen/out_buffer.h"
#include "gen/scene_plan.h"
#include "gen/scene_writer.h"
#include "gen/size_fit.h"

namespace {

using kestrun::scenegen::Options;
using kestrun::scenegen::ScenePlan;

constexpr std::uint64_t kBytesPerMb = 1'000'000;

/// Turns the options into counts, fitting the vertex count to --size-mb if given.
ScenePlan make_plan(const Options& options) {
  ScenePlan plan;
  plan.objects = options.objects.value_or(plan.objects);
  plan.vertices = options.vertices.value_or(plan.vertices);
  plan.keys = options.keys.value_or(plan.keys);
  plan.lights = options.lights.value_or(plan.lights);
  plan.cameras = options.cameras.value_or(plan.cameras);
  plan.seed = options.seed;
  plan.crlf = options.crlf;
  if (options.size_mb) {
    const auto target = static_cast<std::uint64_t>(*options.size_mb) * kBytesPerMb;
    plan = kestrun::scenegen::fit_to_size(plan, target, options.keys.has_value());
  }
  return plan;
}

/// Writes the scene and prints what was written and how long it took.
void generate(const Options& options) {
  const auto start = std::chrono::steady_clock::now();
  const ScenePlan plan = make_plan(options);
  auto out = kestrun::scenegen::OutBuffer::to_file(options.output, plan.crlf);
  kestrun::scenegen::write_scene(out, plan);
  out.finish();
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf(
      "%s: %llu bytes (%.2f MB), %lld objects x %lld vertices, %lld faces each, %lld keys per group, "
      "%lld lights, %lld cameras, seed %llu, %.2f s\n",
      options.output.c_str(), static_cast<unsigned long long>(out.size()),
      static_cast<double>(out.size()) / static_cast<double>(kBytesPerMb),
      static_cast<long long>(plan.objects), static_cast<long long>(plan.vertices),
      static_cast<long long>(2 * plan.vertices), static_cast<long long>(plan.keys),
      static_cast<long long>(plan.lights), static_cast<long long>(plan.cameras),
      static_cast<unsigned long long>(plan.seed), seconds.count());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  try {
    const Options options = kestrun::scenegen::parse_options(arguments);
    if (options.help) {
      std::fputs(kestrun::scenegen::usage_text().c_str(), stdout);
      return 0;
    }
    generate(options);
    return 0;
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "kestrun_generate_scene: %s\n\n%s", error.what(),
                 kestrun::scenegen::usage_text().c_str());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrun_generate_scene: %s\n", error.what());
    return 1;
  }
}
