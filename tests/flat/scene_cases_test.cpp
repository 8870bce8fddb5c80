// Small scenes, each showing one rule of the converters, converted in-process and compared byte
// for byte with their reviewed results in tests/data/cases. KESTRUN_UPDATE_CASES=1 rewrites them.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestrun::testing {
namespace {

struct SceneCase {
  const char *name, *switches, *shows;  // tests/data/cases/<name>.ase and .expected; switches as typed.
};

const SceneCase kCases[] = {
    {"walk_file_order", "", "blocks convert in file order, with their progress lines"},
    {"walk_scene_right_after_version", "", "the block right after the version is not lost"},
    {"walk_object_right_after_version", "", "the same for an object"},
    {"walk_object_after_bare_comment", "", "a COMMENT there is passed over"},
    {"walk_switches_off", "-l", "blocks whose switch is off are passed over"},
    {"walk_skips_node_tm_and_animation", "-g",
     "NODE_TM, and TM_ANIMATION without -a, end at their first brace"},
    {"walk_objects_without_names", "", "an object without a name string reports the previous name"},
    {"walk_mesh_inside_unknown_block", "", "a MESH anywhere at object level is read"},
    {"walk_geomobject_without_brace", "", "code 4, no trailer"},
    {"walk_object_left_open", "", "an object left open takes in the next: no name is lost"},
    {"walk_surplus_braces", "", "surplus braces at the top level are passed over"},
    {"walk_ends_inside_object", "-g", "the input may end inside an object: the trailer follows"},
    {"walk_ends_after_name", "-g", "the completion lines come as the last token is read"},
    {"mesh_vertex_lines_in_order", "", "vertex lines fill entries in order, through single precision"},
    {"mesh_integer_coordinates_real_corners", "", "integers and reals count with their own values"},
    {"mesh_face_lines_as_exported", "", "face lines count tokens and pass over what follows C"},
    {"mesh_faces_before_vertices", "", "lists are written in the order they stand"},
    {"mesh_counts", "", "counts: fewer or more lines, none, negative, twice, per block, zero"},
    {"mesh_normals_and_texture_list", "", "normals are skipped; an unknown list ends the MESH block"},
    {"mesh_count_without_integer", "", "code 4 after what was written"},
    {"mesh_list_without_brace", "", "code 4"},
    {"mesh_without_brace", "", "code 4"},
    {"mesh_ends_inside_list", "", "a list cut short is written with its count"},
    {"names_repeated_and_two_per_object", "", "every NODE_NAME string makes nodes and a connection"},
    {"names_empty", "", "the empty name is one space"},
    {"names_with_backslashes", "", "backslashes are doubled inside quotes, not on the console"},
    {"values_beyond_single_precision", "",
     "reals beyond the float range (1e39, 1 and 400 zeros) count as the largest float: never inf or nan"},
    {"names_with_control_characters", "",
     "the console shows control characters (ESC, BEL, DEL, C1 in UTF-8) as \\xHH; the scene keeps them"},
    {"scene_settings_in_any_order", "", "the four settings, in any order"},
    {"scene_last_value_wins", "", "repeated settings and blocks; reals are truncated"},
    {"scene_first_brace_ends_it", "", "a nested block's brace ends the SCENE block"},
    {"scene_ends_inside", "", "the values read before the end stay"},
    {"scene_without_brace", "", "code 4"},
    {"light_as_exported", "-l", "transform, spotLight, settings and the two connections"},
    {"light_with_target", "-l", "a target light: two shapes, one list entry"},
    {"light_scale_last_in_node_tm", "-l", "the brace after TM_SCALE is seen: the settings are kept"},
    {"light_integer_values_missing_entries", "-l", "integers as values; missing entries write nothing"},
    {"light_without_name", "-l", "before any name the name is empty; no axis means no rotation"},
    {"light_long_name", "-l", "names are cut to 255 characters"},
    {"light_unknown_nested_block", "-l", "an unknown nested block ends the light"},
    {"light_ends_inside_node_tm", "-l", "the transform walk stops at the end of the input"},
    {"light_ends_inside_settings", "-l", "the settings walk stops at the end of the input"},
    {"light_without_brace", "-l", "code 4"},
    {"camera_free", "-c", "transform, camera shape, the fixed far plane, settings"},
    {"camera_with_target", "-c", "a target camera: two shapes, the settings on the second"},
    {"camera_fixed_lines_only", "-c", "no far plane or near plane read; focal length a quarter of 10"},
    {"camera_rotation_before_axis", "-c", "a rotation before any axis is no rotation"},
    {"anim_position_keys", "-a", "the documented two-key position group"},
    {"anim_empty_groups_in_block_order", "-a", "empty groups still write curves and connections"},
    {"anim_key_times", "-a", "frames truncate toward zero; a time with a point counts truncated"},
    {"anim_without_ticks_per_frame", "-a", "no ticks per frame: 160"},
    {"anim_frame_saturates", "-a", "a frame beyond 32 bits saturates"},
    {"anim_rotation_running_sums", "-a",
     "running sums of the angles (10, 15, 12 degrees); the first keeps -0"},
    {"anim_scale_keys_back_to_back", "-a", "a key followed directly by the next is kept"},
    {"anim_names", "-a", "curves take the object's name until the block names one"},
    {"anim_ends_inside_group", "-a", "a group cut short is written with its keys so far"},
    {"anim_without_brace", "-a", "code 4"},
};

class SceneCases : public ::testing::TestWithParam<SceneCase> {};

TEST_P(SceneCases, ConvertAsReviewed) {
  const SceneCase& scene = GetParam();
  const fs::path path = kSource / "tests/data/cases" / scene.name;
  SCOPED_TRACE(std::string(scene.name) + ": " + scene.shows);
  expect_reviewed_conversion(path.string() + ".ase", scene.switches, path.string() + ".expected");
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrun::testing
