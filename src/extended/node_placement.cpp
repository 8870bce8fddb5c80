#include "extended/node_placement.h"

#include <algorithm>
#include <utility>

namespace kestrun {
namespace {

float single(double value) { return static_cast<float>(value); }

}  // namespace

int NodePlacer::find(std::string_view source, int before) const {
  const auto found = by_source_.find(std::string(source));
  if (found == by_source_.end()) return -1;
  // The latest node of that name before `before`; failing that, the first after.
  const std::vector<int>& indices = found->second;
  const auto after = std::upper_bound(indices.begin(), indices.end(), before);
  if (after != indices.begin() && *(after - 1) < before) return *(after - 1);
  return after != indices.end() ? *after : -1;
}

int NodePlacer::tree_of(int node) {
  int root = node;
  while (tree_[static_cast<std::size_t>(root)] != root) root = tree_[static_cast<std::size_t>(root)];
  while (tree_[static_cast<std::size_t>(node)] != root) {
    node = std::exchange(tree_[static_cast<std::size_t>(node)], root);
  }
  return root;
}

Placement NodePlacer::place(std::string_view source_name, std::string_view parent_source,
                            const Matrix43& world) {
  const int index = static_cast<int>(entries_.size());
  Entry entry{std::string(source_name), output_.names.claim(source_name), world, -1, {}};
  Placement placement{entry.maya, root_, world};
  if (!parent_source.empty()) {
    const int parent = find(parent_source, index);
    if (parent >= 0 && !entries_[static_cast<std::size_t>(parent)].maya.empty()) {
      const Entry& above = entries_[static_cast<std::size_t>(parent)];
      entry.parent = parent;
      tree_.push_back(index);
      join(index, parent);
      placement.parent = above.maya;
      placement.local = world * inverse(above.world).value_or(Matrix43{});
    } else if (parent < 0) {
      entry.awaited_parent = parent_source;
    }
  }
  if (tree_.size() == static_cast<std::size_t>(index)) tree_.push_back(index);
  by_source_[entry.source].push_back(index);
  entries_.push_back(std::move(entry));
  return placement;
}

void NodePlacer::pass_over(std::string_view source_name) {
  const int index = static_cast<int>(entries_.size());
  tree_.push_back(index);
  by_source_[std::string(source_name)].push_back(index);
  entries_.push_back(Entry{std::string(source_name), {}, {}, -1, {}});
}

void NodePlacer::finish() {
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    Entry& entry = entries_[index];
    if (entry.awaited_parent.empty() || entry.maya.empty()) continue;
    const std::string scope = quoted_name(entry.source);
    const int parent = find(entry.awaited_parent, static_cast<int>(index));
    if (parent < 0) {
      output_.warnings.warn(scope + ": its parent " + quoted_name(entry.awaited_parent) +
                            " is not in the file; it stays at the top level, where the file places it");
      continue;
    }
    const Entry& above = entries_[static_cast<std::size_t>(parent)];
    if (above.maya.empty()) continue;  // The parent is not written: the node keeps its world placement.
    if (tree_of(parent) == tree_of(static_cast<int>(index))) {
      output_.warnings.warn(scope + ": its parent " + quoted_name(entry.awaited_parent) +
                            " is also its descendant; it stays at the top level, where the file places it");
      continue;
    }
    output_.warnings.warn(
        scope + ": its parent " + quoted_name(entry.awaited_parent) +
        " comes later in the file; it is moved under it at the end, where the file places it");
    entry.parent = parent;
    join(static_cast<int>(index), parent);
    output_.out.print<"parent -r \"%s\" \"%s\";\n">(entry.maya, above.maya);
    write_channels(output_.out, entry.maya, entry.world * inverse(above.world).value_or(Matrix43{}));
  }
}

void write_transform(MaWriter& out, std::string_view name, std::string_view parent, const Matrix43& local) {
  if (parent.empty()) {
    out.print<"createNode transform -n \"%s\";\n">(name);
  } else {
    out.print<"createNode transform -n \"%s\" -p \"%s\";\n">(name, parent);
  }
  write_channels(out, "", local);
}

void write_channels(MaWriter& out, std::string_view node, const Matrix43& local) {
  const std::optional<Channels> channels = decompose(local);
  if (!channels) return;  // Singular: callers hand only regular matrices.
  const auto write = [&](std::string_view attribute, double x, double y, double z, double fallback) {
    if (single(x) == single(fallback) && single(y) == single(fallback) && single(z) == single(fallback))
      return;
    out.print<"\tsetAttr \"%s.%s\" -type \"double3\" %r %r %r ;\n">(node, attribute, single(x), single(y),
                                                                    single(z));
  };
  const Channels& c = *channels;
  write("t", c.translate.x, c.translate.y, c.translate.z, 0.0);
  write("r", c.rotate.x, c.rotate.y, c.rotate.z, 0.0);
  write("s", c.scale.x, c.scale.y, c.scale.z, 1.0);
  write("sh", c.shear.x, c.shear.y, c.shear.z, 0.0);
}

}  // namespace kestrun
