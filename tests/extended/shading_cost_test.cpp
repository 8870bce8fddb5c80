// What shading a mesh costs, counted in bytes allocated (this program replaces operator new): it
// must follow the mesh's faces, never the length of the sub-material list the faces draw on. A
// count of bytes, unlike a time, is the same on every machine and in every run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "test_support.h"

namespace {
std::atomic<std::size_t> allocated_bytes{0};  // Everything operator new handed out so far.
}  // namespace

// g++ takes free() on what this operator new allocated for a mismatch; it is the pair's own.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocated_bytes += size;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
#pragma GCC diagnostic pop

namespace kestrun::testing {
namespace {

/// `objects` one-face meshes, each drawing on a material of `subs` sub-materials.
std::string scene(std::size_t subs, std::size_t objects) {
  std::string text = "*3DSMAX_ASCIIEXPORT 200\n*MATERIAL_LIST {\n*MATERIAL 0 {\n";
  for (std::size_t i = 0; i < subs; ++i) text += "*SUBMATERIAL " + std::to_string(i) + " {\n}\n";
  text += "}\n}\n";
  for (std::size_t i = 0; i < objects; ++i) {
    text +=
        "*GEOMOBJECT {\n*NODE_NAME \"O\"\n*MESH {\n*MESH_VERTEX_LIST {\n*MESH_VERTEX 0 0 0 0\n"
        "*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n}\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: "
        "2\n}\n}\n"
        "*MATERIAL_REF 0\n}\n";
  }
  return text;
}

/// Bytes allocated in converting `text` in the extended mode.
std::size_t allocated_converting(const std::string& text) {
  const std::size_t before = allocated_bytes;
  EXPECT_EQ(convert_text(text, options_for("--extended")).exit_status, 0);
  return allocated_bytes - before;
}

TEST(ShadingCost, AMeshPaysForItsFacesNotForTheSubMaterialList) {
  // What 10,000 more sub-materials cost, with 10 meshes and with 2,000: reading and naming them,
  // the same either way; a mesh that paid for the whole list would add 2,000 x 10,000 entries.
  const auto per_added_sub_material = [](std::size_t objects) {
    const std::size_t fewer = allocated_converting(scene(10'000, objects));
    const std::size_t more = allocated_converting(scene(20'000, objects));
    return static_cast<double>(more - fewer) / 10'000;
  };
  const double few_meshes = per_added_sub_material(10);
  const double many_meshes = per_added_sub_material(2'000);
  EXPECT_LT(many_meshes, few_meshes + 100) << few_meshes << " bytes with 10 meshes";
}

}  // namespace
}  // namespace kestrun::testing
