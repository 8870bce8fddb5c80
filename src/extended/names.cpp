#include "extended/names.h"

namespace kestrun::extended {
namespace {

/// Nodes that exist in every Maya scene before a file is read: a node of the
/// file named like one of them would be renamed by Maya, and its
/// connections would then miss it.
constexpr std::string_view kMayaNodes[] = {
    "persp",
    "perspShape",
    "top",
    "topShape",
    "front",
    "frontShape",
    "side",
    "sideShape",
    "time1",
    "lightLinker1",
    "layerManager",
    "defaultLayer",
    "renderLayerManager",
    "defaultRenderLayer",
    "globalRender",
    "renderPartition",
    "renderGlobalsList1",
    "defaultLightList1",
    "defaultShaderList1",
    "defaultTextureList1",
    "defaultRenderUtilityList1",
    "postProcessList1",
    "lightList1",
    "defaultLightSet",
    "defaultObjectSet",
    "initialShadingGroup",
    "initialParticleSE",
    "initialMaterialInfo",
    "lambert1",
    "particleCloud1",
    "defaultRenderGlobals",
    "defaultRenderQuality",
    "defaultResolution",
    "hardwareRenderGlobals",
    "defaultHardwareRenderGlobals",
    "characterPartition",
    "ikSystem",
    "hyperGraphInfo",
    "hyperGraphLayout",
    "globalCacheControl",
    "dynController1",
    "strokeGlobals",
    "sceneConfigurationScriptNode",
    "uiConfigurationScriptNode",
};

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

NameRegistry::NameRegistry() {
  for (const std::string_view name : kMayaNodes) used_.emplace(name);
}

std::string NameRegistry::legal(std::string_view wanted) {
  if (wanted.empty()) return "unnamed";
  // A name of thousands of characters helps nobody in Maya's outliner.
  constexpr std::size_t kLongest = 200;
  wanted = wanted.substr(0, kLongest);
  std::string name;
  name.reserve(wanted.size() + 1);
  if (is_digit(wanted[0])) name.push_back('_');
  for (const char c : wanted) name.push_back(is_letter(c) || is_digit(c) || c == '_' ? c : '_');
  return name;
}

std::string NameRegistry::claim(std::string_view wanted) {
  std::string base = legal(wanted);
  if (used_.insert(base).second) return base;
  const std::string separator = base.back() == '_' ? "" : "_";
  unsigned& suffix = next_suffix_[base];
  for (;;) {
    std::string candidate = base + separator + std::to_string(++suffix);
    if (used_.insert(candidate).second) return candidate;
  }
}

}  // namespace kestrun::extended
