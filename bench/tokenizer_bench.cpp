// Throughput of next_token over the lines of a typical mesh.
#include <benchmark/benchmark.h>

#include <string>

#include "ase/tokenizer.h"
#include "io/byte_source.h"

namespace {

/// A mesh block as the exporter writes it: vertex lines and face lines.
std::string typical_mesh(int vertices) {
  std::string text = "*MESH {\n\t*TIMEVALUE 0\n\t*MESH_VERTEX_LIST {\n";
  char line[160];
  for (int i = 0; i < vertices; ++i) {
    std::snprintf(line, sizeof line, "\t\t*MESH_VERTEX %4d\t%.4f\t%.4f\t%.4f\n", i, (i % 977) * 0.37 - 150.0,
                  (i % 311) * -1.13 + 20.0, (i % 53) * 4.0625);
    text += line;
  }
  text += "\t}\n\t*MESH_FACE_LIST {\n";
  for (int i = 0; i < vertices * 2; ++i) {
    std::snprintf(
        line, sizeof line,
        "\t\t*MESH_FACE %4d:    A: %4d B: %4d C: %4d AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 "
        "\t*MESH_MTLID 0\n",
        i, i % vertices, (i + 1) % vertices, (i + 2) % vertices);
    text += line;
  }
  return text + "\t}\n}\n";
}

void BM_NextTokenTypicalMesh(benchmark::State& state) {
  const std::string text = typical_mesh(20000);
  std::int64_t tokens_read = 0;
  for (auto _ : state) {
    kestrun::MemorySource source(text);
    kestrun::flat::Tokenizer tokens(source, nullptr);
    do {
      tokens.next_token();
      ++tokens_read;
    } while (tokens.kind() != kestrun::flat::TokenKind::End);
    benchmark::DoNotOptimize(tokens.token().real);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
  state.SetItemsProcessed(tokens_read);
}
BENCHMARK(BM_NextTokenTypicalMesh)->Unit(benchmark::kMillisecond);

}  // namespace
