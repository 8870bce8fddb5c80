#include "convert/node_names.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrun {
namespace {

TEST(NodeNameList, ANameRepeatedInARowCountsUpItsEntry) {
  NodeNameList list;
  for (int i = 0; i < 1000; ++i) append_node_name(list, std::string(255, 'L'));
  append_node_name(list, "other");
  append_node_name(list, std::string(255, 'L'));
  ASSERT_EQ(list.entries.size(), 3U);
  EXPECT_EQ(list.entries[0].times, 1000U);
  EXPECT_EQ(list.entries[1].name, "other");
  EXPECT_EQ(list.entries[1].times, 1U);
  EXPECT_EQ(list.entries[2].times, 1U);
}

}  // namespace
}  // namespace kestrun
