#include "convert/node_names.h"

#include "convert/conversion.h"

namespace kestrun {

void append_node_name(NodeNameList& list, std::string_view name) {
  if (!list.entries.empty() && list.entries.back().name == name) {
    ++list.entries.back().times;
    return;
  }
  list.entries.push_back(NodeNameEntry{std::string(name)});
}

void create_mesh_node(Conversion& conversion) {
  conversion.current_node_name = conversion.tokens.token().text();
  const QuotedName name{conversion.current_node_name};
  conversion.out.print<" createNode transform -n \"%s\";\n createNode mesh -n \"%sShape1\" -p \"%s\";\n">(
      name, name, name);
  append_node_name(conversion.mesh_list, conversion.current_node_name);
  conversion.console.flush_out();
}

}  // namespace kestrun
