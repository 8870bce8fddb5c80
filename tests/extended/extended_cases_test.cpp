// Small scenes of the extended mode, each showing a few of its rules, compared byte for byte with
// their reviewed results in tests/data/extended. KESTRUN_UPDATE_CASES=1 rewrites them.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun::testing {
namespace {

struct ExtendedCase {
  const char *name, *input, *switches, *shows;  // <name>.expected, <input>.ase, as on the command line.
};

// clang-format off
const ExtendedCase kCases[] = {
    {"hierarchy", "hierarchy", "--extended", "a parent after its child moves the child at the end, keeping its "
     "world placement; a missing parent and a loop leave nodes at the top; helpers are transforms"},
    {"hierarchy_z_up", "hierarchy", "--extended --z-up", "without the Y-up root, top-level nodes have no parent"},
    {"mesh_topology", "mesh_topology", "--extended", "edges once per vertex pair, soft where two faces share a "
     "smoothing group; faces, UVs and colours outside their lists are left out with a warning; a second map "
     "channel; missing normals from the face"},
    {"materials", "materials", "--extended", "sub-materials by face modulo their count, blinn/phong/lambert, a "
     "bitmap with its placement, repeated names numbered, a MATERIAL_REF outside the list"},
    {"names_and_values", "names_and_values", "--extended", "names made legal and unique, a NODE_TM of another "
     "name, a singular transform, a value that is no number, a shape, a group and a stray brace"},
    {"animation_keys", "animation_keys", "--extended", "Bezier keys with their slopes and tangent types, TCB "
     "rotations composed as spline keys, linear scale, left-out samples held, rotations unwrapped, a sample out "
     "of time order"},
    {"lights_cameras", "lights_cameras", "--extended", "point, directional and spot lights, shadows, a target of "
     "its own, a camera clipped by hand, a frame rate without a Maya unit"},
    {"lights_only", "lights_cameras", "-l --extended", "a switch letter converts only its category"},
    {"material_lists", "material_lists", "--extended", "a second MATERIAL_LIST: each object takes its material "
     "from the list before it, and the used materials of both lists get their networks (no dangling connection)"},
    {"values_beyond_single_precision", "values_beyond_single_precision", "--extended", "values beyond the float "
     "range and numbers cut at 256 bytes are no numbers, a transform too small for doubles is singular, a product "
     "beyond single precision is written as the largest float: never inf or nan"},
    {"names_with_control_characters", "names_with_control_characters", "--extended", "progress lines and "
     "warnings show control characters of names (ESC, BEL, CR, LF, DEL, C1) as \\xHH: no line is forged"},
};
// clang-format on

class ExtendedCases : public ::testing::TestWithParam<ExtendedCase> {};

TEST_P(ExtendedCases, ConvertAsReviewed) {
  const ExtendedCase& scene = GetParam();
  const fs::path folder = kSource / "tests/data/extended";
  SCOPED_TRACE(std::string(scene.name) + ": " + scene.shows);
  expect_reviewed_conversion(folder / (std::string(scene.input) + ".ase"), scene.switches,
                             folder / (std::string(scene.name) + ".expected"));
}

INSTANTIATE_TEST_SUITE_P(Scenes, ExtendedCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrun::testing
