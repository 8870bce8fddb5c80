#include "maya/trailer.h"

#include <cstddef>
#include <string_view>

namespace kestrun {
namespace {

// The scene's default nodes and their connections, written unchanged.
constexpr std::string_view kDefaultNodes =
    "\n\n"
    " createNode lightLinker -n \"lightLinker1\";\n"
    " createNode displayLayerManager -n \"layerManager\";\n"
    " createNode displayLayer -n \"defaultLayer\";\n"
    " createNode renderLayerManager -n \"renderLayerManager\";\n"
    " createNode renderLayer -n \"defaultRenderLayer\";\n"
    " createNode renderLayer -s -n \"globalRender\";\n"
    " createNode partition -n \"mtorPartition\";\n"
    " connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[0].llnk\";\n"
    " connectAttr \":initialShadingGroup.msg\" \"lightLinker1.lnk[0].olnk\";\n"
    " connectAttr \":defaultLightSet.msg\" \"lightLinker1.lnk[1].llnk\";\n"
    " connectAttr \":initialParticleSE.msg\" \"lightLinker1.lnk[1].olnk\";\n"
    " connectAttr \"layerManager.dli[0]\" \"defaultLayer.id\";\n"
    " connectAttr \"renderLayerManager.rlmi[0]\" \"defaultRenderLayer.rlid\";\n"
    " connectAttr \":defaultRenderGlobals.msg\" \"mtorPartition.msg\";\n"
    " connectAttr \"lightLinker1.msg\" \":lightList1.ln\" -na;\n";
static_assert(kDefaultNodes.size() == 834);

}  // namespace

void write_trailer(MaWriter& out, const SceneSummary& scene, std::string_view output_name) {
  out.print<"createNode script -n \"animationScriptNode\";\n\tsetAttr \".a\" -type \"string\" (\n">();
  out.print<"\t\t\"playbackOptions -min %d -max %d -animationStartTime %d -animationEndTime %d ;\");\n">(
      scene.first_frame, scene.last_frame, scene.first_frame, scene.last_frame);
  out.append(kDefaultNodes);
  for (const NodeNameEntry& mesh : scene.meshes.entries()) {
    for (std::size_t time = 0; time < mesh.times; ++time) {
      out.print<"  connectAttr \"%sShape1.iog\" \":initialShadingGroup.dsm\" -na;\n">(QuotedName{mesh.name});
    }
  }
  for (const NodeNameEntry& light : scene.lights.entries()) {
    for (std::size_t time = 0; time < light.times; ++time) {
      out.print<"  connectAttr \"%sShape1.ltd\" \":lightList1.l\" -na;\n">(QuotedName{light.name});
      out.print<"  connectAttr \"%sShape1.iog\" \":defaultLightSet.dsm\" -na;\n">(QuotedName{light.name});
    }
  }
  out.print<"// End of %s ">(CommentText{output_name});
}

}  // namespace kestrun
