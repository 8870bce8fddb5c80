// NodeNameList: the names of the nodes the trailer connects, and mesh node creation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrun {

struct Conversion;

/// One created node's name.
struct NodeNameEntry {
  std::string name;
};

/// Node names in the order they were appended; never shrinks, may repeat.
struct NodeNameList {
  std::vector<NodeNameEntry> entries;
};

/// Appends a copy of `name` at the end of `list`.
void append_node_name(NodeNameList& list, std::string_view name);

/// Called on the quoted string after a GEOMOBJECT's NODE_NAME: makes it the
/// current node name, writes the transform and its mesh shape, and enters the
/// name in the mesh list. Reads no token.
void create_mesh_node(Conversion& conversion);

}  // namespace kestrun
