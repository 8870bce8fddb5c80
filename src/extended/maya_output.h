// MayaOutput: what the writers of the extended mode share while one file is
// written: the writer, the names, the connections kept for the end, and the
// warnings.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/warnings.h"
#include "extended/names.h"
#include "maya/ma_writer.h"

namespace kestrun::extended {

struct MayaOutput {
  MaWriter& out;
  Warnings& warnings;
  NameRegistry names;
  /// connectAttr lines, written after every node as Maya writes its files.
  std::vector<std::string> connections;

  /// Keeps `connectAttr "from" "to"` (with -na: to the next free element).
  void connect(std::string_view from, std::string_view to, bool next_available = false) {
    std::string line;
    line.reserve(from.size() + to.size() + 24);
    line.append("connectAttr \"")
        .append(from)
        .append("\" \"")
        .append(to)
        .append(next_available ? "\" -na;\n" : "\";\n");
    connections.push_back(std::move(line));
  }
};

/// Entries a setAttr of an array holds, as Maya writes them.
inline constexpr std::size_t kArrayChunk = 166;
/// Entries on one line of such a setAttr.
inline constexpr std::size_t kEntriesPerLine = 8;

/// Writes `count` entries of the array attribute `attribute` of the node
/// created last, kArrayChunk to a setAttr; `write_entry(i)` writes entry i
/// (with a blank before each value). `type` may be empty.
template <class WriteEntry>
void write_array(MaWriter& out, std::string_view attribute, std::string_view type, std::size_t count,
                 WriteEntry&& write_entry) {
  for (std::size_t start = 0; start < count; start += kArrayChunk) {
    const std::size_t end = std::min(count, start + kArrayChunk);
    if (start == 0) {
      out.print<"\tsetAttr -s %d \".%s[%d">(count, attribute, start);
    } else {
      out.print<"\tsetAttr \".%s[%d">(attribute, start);
    }
    // One element is [k], as Maya writes it; a range [first:last].
    if (end - start > 1) out.print<":%d">(end - 1);
    out.append("]\"");
    if (!type.empty()) out.print<" -type \"%s\"">(type);
    for (std::size_t i = start; i < end; ++i) {
      if ((i - start) % kEntriesPerLine == 0) out.append("\n\t\t");
      write_entry(i);
    }
    out.append(";\n");
  }
}

}  // namespace kestrun::extended
