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
    {"late_rotation", "late_rotation", "--extended", "rotation tracks that start after the first frame hold no "
     "rotation until one step before their first sample, under a parent and over a child; a gap held"},
    {"big_turns", "big_turns", "--extended", "keys of 180.0004 and 720 degrees turn through their whole angle; "
     "keys added where Euler angles would stray from a linear key's turn about a tilted axis"},
    {"vertex_normals", "vertex_normals", "--extended", "normals matched to corners by vertex id (A C B, one per "
     "vertex); edges hard or soft as the normals show, with and without smoothing groups"},
    {"groups_and_mirrors", "groups_and_mirrors", "--extended", "a group and its helper one node; a mirrored "
     "node's rotation keys apply with scale -1 on every axis; a stretch along turned axes keyed with shear"},
    {"switch_parents_animation", "switch_parents", "-a --extended", "a camera that -a leaves out is kept as a "
     "plain transform with its curves, for the box under it"},
    {"switch_parents_lights", "switch_parents", "-l --extended", "a helper that -l leaves out is kept as a "
     "plain transform for the light under it"},
    {"material_maps", "material_maps", "--extended", "every map slot: file textures with their placement feeding "
     "colour, ambient, incandescence, specular (through a multiplyDivide with the level), gloss (reverse to "
     "eccentricity, scaled cosine power), transparency, bump2d and reflection; amounts below 1 as gain and offset; "
     "an inverted bitmap; warnings for a Checker map and slots without an input; two-sided, Constant (flat faces) "
     "and self-illuminated materials; shadow and motion blur flags"},
    {"shapes", "shapes", "--extended", "closed and open polylines with interpolated points as nurbsCurves in the "
     "node's space, a repeated closing point, a line cut short, a line of one point, a mirrored shape"},
    {"mesh_animation", "mesh_animation", "--extended", "a blendShape with a target and a weight curve per mesh "
     "for a moving, turning node; a mesh that changes its faces as one mesh per time under a moving parent, "
     "shown in turn; meshes without a time or out of order left out"},
    {"mesh_animation_static", "mesh_animation", "-g --extended", "without animation the file's own mesh alone"},
    {"visibility", "visibility", "--extended", "visibility tracks as stepped keys where the value crosses 0 "
     "(sampled, linear, Bezier with a step, TCB), hidden throughout, a single key, an empty track"},
    {"animated_settings", "animated_settings", "--extended", "curves on focal length, clip planes and centre of "
     "interest, on light colour, intensity, cone and penumbra; settings that do not change get none"},
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
