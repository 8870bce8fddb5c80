#include "extended/node_placement.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "extended/curve_playback.h"

namespace kestrun::extended {
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
  // A parent the switches left out is written first, so that its name comes first too.
  const int parent = parent_source.empty() ? -1 : find(parent_source, index);
  if (parent >= 0 && entries_[static_cast<std::size_t>(parent)].maya.empty()) write_passed_over(parent);
  tree_.push_back(index);
  Entry& entry = entries_.emplace_back();
  entry.source = source_name;
  entry.maya = output_.names.claim(source_name);
  entry.world = world;
  by_source_[entries_.back().source].push_back(index);
  return link(index, parent_source);
}

Placement NodePlacer::link(int index, std::string_view parent_source) {
  Entry& entry = entries_[static_cast<std::size_t>(index)];
  Placement placement{entry.maya, root_, entry.world, index};
  if (parent_source.empty()) return placement;
  const int parent = find(parent_source, index);
  if (parent < 0) {
    entry.awaited_parent = parent_source;
  } else if (!entries_[static_cast<std::size_t>(parent)].maya.empty()) {
    const Entry& above = entries_[static_cast<std::size_t>(parent)];
    entry.parent = parent;
    join(index, parent);
    placement.parent = above.maya;
    placement.local = entry.world * inverse(above.world).value_or(Matrix43{});
  }
  return placement;
}

void NodePlacer::keep_motion(int index, const NodeMotion& motion) {
  Entry& entry = entries_[static_cast<std::size_t>(index)];
  entry.moves = !motion.curves.empty();
  std::size_t keys = 0;
  for (const Curve& curve : motion.curves) keys += curve.keys.size();
  if (!entry.moves || kept_keys_ + keys > kMaxKeptKeys) return;
  kept_keys_ += keys;
  entry.motion = std::make_unique<NodeMotion>(motion);
}

std::optional<Matrix43> NodePlacer::world_at(int index, double frame, double frames_per_second) const {
  Matrix43 world;
  for (int at = index; at >= 0;) {
    const Entry& entry = entries_[static_cast<std::size_t>(at)];
    if (entry.motion) {
      world = world * local_at(entry.motion->channels, entry.motion->curves, frame, frames_per_second);
    } else if (entry.moves) {
      return std::nullopt;
    } else if (entry.parent < 0) {
      world = world * entry.world;
    } else {
      // A still node's local matrix is its world over its parent's.
      world = world * (entry.world *
                       inverse(entries_[static_cast<std::size_t>(entry.parent)].world).value_or(Matrix43{}));
    }
    at = entry.parent;
  }
  return world;
}

void NodePlacer::pass_over(std::string_view source_name, std::string_view parent_source,
                           const Matrix43& world, NodeAnimation animation) {
  const int index = static_cast<int>(entries_.size());
  tree_.push_back(index);
  entries_.emplace_back().source = source_name;
  entries_.back().world = world;
  entries_.back().passed_over =
      std::make_unique<PassedOver>(PassedOver{std::string(parent_source), std::move(animation)});
  by_source_[entries_.back().source].push_back(index);
}

void NodePlacer::write_passed_over(int index) {
  // The chain of passed-over ancestors, up to a written node, the top or a loop.
  std::vector<int> chain;
  for (int at = index; at >= 0;) {
    Entry& entry = entries_[static_cast<std::size_t>(at)];
    if (!entry.maya.empty() || entry.in_chain) break;
    entry.in_chain = true;
    chain.push_back(at);
    at = entry.passed_over->parent_source.empty() ? -1 : find(entry.passed_over->parent_source, at);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    Entry& entry = entries_[static_cast<std::size_t>(*it)];
    entry.in_chain = false;
    entry.maya = output_.names.claim(entry.source);
    const std::unique_ptr<PassedOver> passed = std::move(entry.passed_over);
    const Placement placement = link(*it, passed->parent_source);
    write_plain_(placement, entry.source, passed->animation);
  }
}

void NodePlacer::finish() {
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    if (entries_[index].awaited_parent.empty() || entries_[index].maya.empty()) continue;
    const std::string scope = quoted_name(entries_[index].source);
    const std::string awaited = entries_[index].awaited_parent;
    const int parent = find(awaited, static_cast<int>(index));
    if (parent < 0) {
      output_.warnings.warn(scope + ": its parent " + quoted_name(awaited) +
                            " is not in the file; it stays at the top level, where the file places it");
      continue;
    }
    if (entries_[static_cast<std::size_t>(parent)].maya.empty()) write_passed_over(parent);
    if (entries_[static_cast<std::size_t>(parent)].maya.empty()) continue;  // A loop of passed-over nodes.
    if (tree_of(parent) == tree_of(static_cast<int>(index))) {
      output_.warnings.warn(scope + ": its parent " + quoted_name(awaited) +
                            " is also its descendant; it stays at the top level, where the file places it");
      continue;
    }
    output_.warnings.warn(
        scope + ": its parent " + quoted_name(awaited) +
        " comes later in the file; it is moved under it at the end, where the file places it");
    Entry& entry = entries_[index];
    const Entry& above = entries_[static_cast<std::size_t>(parent)];
    entry.parent = parent;
    join(static_cast<int>(index), parent);
    output_.out.print<"parent -r \"%s\" \"%s\";\n">(entry.maya, above.maya);
    const std::optional<Channels> channels =
        decompose(entry.world * inverse(above.world).value_or(Matrix43{}));
    if (channels) write_channels(output_.out, entry.maya, *channels);
  }
}

void write_transform(MaWriter& out, std::string_view name, std::string_view parent,
                     const Channels& channels) {
  if (parent.empty()) {
    out.print<"createNode transform -n \"%s\";\n">(name);
  } else {
    out.print<"createNode transform -n \"%s\" -p \"%s\";\n">(name, parent);
  }
  write_channels(out, "", channels);
}

void write_channels(MaWriter& out, std::string_view node, const Channels& c) {
  const auto write = [&](std::string_view attribute, double x, double y, double z, double fallback) {
    // Values that six decimals write as the default are left at it.
    const auto is_default = [fallback](double v) { return std::fabs(single(v) - fallback) < 5e-7; };
    if (is_default(x) && is_default(y) && is_default(z)) return;
    // Adding zero writes a negative zero as 0.
    out.print<"\tsetAttr \"%s.%s\" -type \"double3\" %r %r %r ;\n">(node, attribute, single(x) + 0.0F,
                                                                    single(y) + 0.0F, single(z) + 0.0F);
  };
  write("t", c.translate.x, c.translate.y, c.translate.z, 0.0);
  write("r", c.rotate.x, c.rotate.y, c.rotate.z, 0.0);
  write("s", c.scale.x, c.scale.y, c.scale.z, 1.0);
  write("sh", c.shear.x, c.shear.y, c.shear.z, 0.0);
  write("ra", c.rotate_axis.x, c.rotate_axis.y, c.rotate_axis.z, 0.0);
}

}  // namespace kestrun::extended
