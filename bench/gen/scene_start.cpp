#include "gen/scene_start.h"

#include <string_view>

#include "gen/animation_block.h"
#include "gen/node_tm.h"
#include "gen/random.h"

namespace kestrun::scenegen {

namespace {

void write_line(OutBuffer& out, int indent, std::string_view text) {
  out.tabs(indent);
  out.text(text);
  out.end_line();
}

void write_color_line(OutBuffer& out, int indent, std::string_view keyword, Random& random) {
  write_triple_line(out, indent, keyword,
                    {random.uniform(0, kOne), random.uniform(0, kOne), random.uniform(0, kOne)});
}

void write_scene_block(OutBuffer& out, const ScenePlan& plan, Random& random) {
  write_line(out, 0, "*SCENE {");
  write_line(out, 1, "*SCENE_FILENAME \"generated.max\"");
  write_line(out, 1, "*SCENE_FIRSTFRAME 0");
  out.text("\t*SCENE_LASTFRAME ");
  out.integer(last_key_frame(plan.keys));
  out.end_line();
  write_line(out, 1, "*SCENE_FRAMESPEED 30");
  write_line(out, 1, "*SCENE_TICKSPERFRAME 160");
  write_triple_line(out, 1, "*SCENE_BACKGROUND_STATIC", {0, 0, 0});
  write_color_line(out, 1, "*SCENE_AMBIENT_STATIC", random);
  write_line(out, 0, "}");
}

// The map block exactly as the exporter writes a bitmap in the diffuse slot.
void write_diffuse_map(OutBuffer& out) {
  static constexpr std::string_view kLines[] = {
      "*MAP_NAME \"Map #1\"",    "*MAP_CLASS \"Bitmap\"",   "*MAP_SUBNO 1",           "*MAP_AMOUNT 1.0000",
      "*BITMAP \"checker.png\"", "*MAP_TYPE Screen",        "*UVW_U_OFFSET 0.0000",   "*UVW_V_OFFSET 0.0000",
      "*UVW_U_TILING 1.0000",    "*UVW_V_TILING 1.0000",    "*UVW_ANGLE 0.0000",      "*UVW_BLUR 1.0000",
      "*UVW_BLUR_OFFSET 0.0000", "*UVW_NOUSE_AMT 1.0000",   "*UVW_NOISE_SIZE 1.0000", "*UVW_NOISE_LEVEL 1",
      "*UVW_NOISE_PHASE 0.0000", "*BITMAP_FILTER Pyramidal"};
  write_line(out, 2, "*MAP_DIFFUSE {");
  for (const std::string_view line : kLines) write_line(out, 3, line);
  write_line(out, 2, "}");
}

void write_material(OutBuffer& out, Random& random, int index, std::string_view name, bool textured) {
  static constexpr std::string_view kFixedLines[] = {
      "*MATERIAL_SHINE 0.1000",     "*MATERIAL_SHINESTRENGTH 0.0000", "*MATERIAL_TRANSPARENCY 0.0000",
      "*MATERIAL_WIRESIZE 1.0000",  "*MATERIAL_SHADING Blinn",        "*MATERIAL_XP_FALLOFF 0.0000",
      "*MATERIAL_SELFILLUM 0.0000", "*MATERIAL_FALLOFF In",           "*MATERIAL_XP_TYPE Filter"};
  out.text("\t*MATERIAL ");
  out.integer(index);
  out.text(" {");
  out.end_line();
  out.text("\t\t*MATERIAL_NAME \"");
  out.text(name);
  out.put('"');
  out.end_line();
  write_line(out, 2, "*MATERIAL_CLASS \"Standard\"");
  write_color_line(out, 2, "*MATERIAL_AMBIENT", random);
  write_color_line(out, 2, "*MATERIAL_DIFFUSE", random);
  write_triple_line(out, 2, "*MATERIAL_SPECULAR", {9000, 9000, 9000});
  for (const std::string_view line : kFixedLines) write_line(out, 2, line);
  if (textured) write_diffuse_map(out);
  write_line(out, 1, "}");
}

}  // namespace

void write_scene_start(OutBuffer& out, const ScenePlan& plan) {
  Random random(stream_seed(plan.seed, Stream::kScene, 0));
  write_line(out, 0, "*3DSMAX_ASCIIEXPORT\t200");
  out.text("*COMMENT \"AsciiExport Version  2,00 - kestrun_generate_scene, seed ");
  out.natural(plan.seed);
  out.put('"');
  out.end_line();
  write_scene_block(out, plan, random);
  write_line(out, 0, "*MATERIAL_LIST {");
  write_line(out, 1, "*MATERIAL_COUNT 2");
  write_material(out, random, 0, "Checker", true);
  write_material(out, random, 1, "Plain", false);
  write_line(out, 0, "}");
}

}  // namespace kestrun::scenegen
