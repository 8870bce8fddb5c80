#include "gen/mesh_layout.h"

#include <algorithm>

namespace kestrun::scenegen {

namespace {

// Total decimal digits of the numbers 0..count-1, each printed at least `width` wide.
std::uint64_t digit_total(std::int64_t count, int width) {
  std::uint64_t total = 0;
  std::int64_t start = 0;
  std::int64_t end = 10;
  for (int digits = 1; start < count; ++digits, start = end, end *= 10) {
    const std::int64_t numbers = std::min(end, count) - start;
    total += static_cast<std::uint64_t>(numbers) * static_cast<std::uint64_t>(std::max(digits, width));
  }
  return total;
}

std::uint64_t digits_of(std::int64_t value) { return digit_total(value + 1, 1) - digit_total(value, 1); }

}  // namespace

MeshLayout mesh_layout(std::int64_t vertices) {
  MeshLayout layout;
  layout.vertices = std::max(vertices, kMinVertices);
  std::int64_t columns = 2;
  while ((columns + 1) * (columns + 1) <= layout.vertices) ++columns;
  // columns = floor(sqrt(vertices)) >= 2 keeps i, i+1, i+c and i+c+1 distinct.
  layout.columns = columns;
  layout.rows = (layout.vertices + columns - 1) / columns;
  layout.faces = 2 * layout.vertices;
  return layout;
}

std::array<std::int64_t, 3> face_corners(const MeshLayout& layout, std::int64_t face) {
  const std::int64_t n = layout.vertices;
  const std::int64_t i = face / 2;
  const auto wrap = [n](std::int64_t index) { return index >= n ? index - n : index; };
  if (face % 2 == 0) return {i, wrap(i + 1), wrap(i + layout.columns)};
  return {wrap(i + 1), wrap(i + layout.columns + 1), wrap(i + layout.columns)};
}

std::uint64_t mesh_index_bytes(std::int64_t vertices) {
  const MeshLayout layout = mesh_layout(vertices);
  const std::int64_t v = layout.vertices;
  const std::int64_t f = layout.faces;
  // Each vertex is six corners; vertex and face lists pad their numbers to 4.
  const std::uint64_t vertex_list = digit_total(v, 4);
  const std::uint64_t face_list = digit_total(f, 4) + 6 * digit_total(v, 4);
  const std::uint64_t texture = digit_total(v, 1) + digit_total(f, 1) + 6 * digit_total(v, 1);
  const std::uint64_t normals = digit_total(f, 1) + 6 * digit_total(v, 1);
  const std::uint64_t counts = 2 * digits_of(v) + 2 * digits_of(f);
  return vertex_list + face_list + texture + normals + counts;
}

}  // namespace kestrun::scenegen
