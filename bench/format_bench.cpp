// Cost of writing reals with %f: the writer's own conversion against snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "base/fixed_format.h"
#include "io/byte_sink.h"
#include "maya/ma_writer.h"

namespace {

/// Coordinates as an exporter writes them: four decimals, read into floats.
std::vector<float> scene_values() {
  std::mt19937 random(1);
  std::uniform_int_distribution<int> ten_thousandths(-10'000'000, 10'000'000);
  std::vector<float> values(1 << 16);
  for (float& value : values) value = static_cast<float>(ten_thousandths(random) / 10000.0);
  return values;
}

void BM_FormatFixed(benchmark::State& state) {
  const std::vector<float> values = scene_values();
  char buffer[kestrun::kMaxFixedLength];
  for (auto _ : state) {
    for (const float value : values) {
      benchmark::DoNotOptimize(kestrun::format_fixed(value, buffer));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_FormatFixed);

void BM_SnprintfFixed(benchmark::State& state) {
  const std::vector<float> values = scene_values();
  char buffer[kestrun::kMaxFixedLength];
  for (auto _ : state) {
    for (const float value : values) {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value)));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_SnprintfFixed);

void BM_WriteVertexLines(benchmark::State& state) {
  const std::vector<float> values = scene_values();
  for (auto _ : state) {
    kestrun::NullSink sink;
    kestrun::MaWriter out(sink);
    for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
      out.print<"                 %f %f %f\n">(values[i], values[i + 1], values[i + 2]);
    }
    out.finish();
    benchmark::DoNotOptimize(sink.size());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (values.size() / 3)));
}
BENCHMARK(BM_WriteVertexLines);

}  // namespace
