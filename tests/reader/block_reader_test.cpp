// The block reader: statements and blocks read with care, whatever the file
// holds between them, and each problem told on the line it stands on.
#include "reader/block_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/byte_source.h"

namespace kestrun::reader {
namespace {

/// What reading `text`'s first block as a list of "*NODE_NAME <text>" and
/// "*TM_POS <x y z>" statements gives: the values in order, then the warnings.
struct Reading {
  std::vector<std::string> values;
  std::vector<std::string> warnings;
  bool block = false;
};

Reading read(std::string_view text, std::size_t block_size) {
  Reading reading;
  MemorySource bytes(text, block_size);
  Lexer lexer(bytes);
  Warnings warnings([&reading](std::string_view line) { reading.warnings.emplace_back(line); });
  BlockReader reader(lexer, warnings);
  reader.begin_statement();  // The lexer starts on the block's keyword.
  lexer.next();
  reading.block = reader.read_block("NODE_TM", [&](Keyword keyword) {
    if (keyword == Keyword::NodeName) reading.values.push_back(reader.text("NODE_NAME"));
    if (keyword == Keyword::TmPos) {
      const Vec3 v = reader.vec3("TM_POS");
      reading.values.push_back(std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z));
    }
  });
  reading.values.push_back(lexer.type() == TokenType::End ? "<end>" : std::string(lexer.text()));
  warnings.flush("s");
  return reading;
}

struct Case {
  const char* name;
  const char* text;
  std::vector<std::string> values;
  std::vector<std::string> warnings;
};

TEST(BlockReader, ReadsWhatItKnowsPassesOverTheRestAndTellsEachProblemOnItsLine) {
  const std::vector<Case> cases = {
      {"known statements",
       "*NODE_TM {\n *NODE_NAME \"Box\"\n *TM_POS 1 2.5 -3\n}\n*NEXT",
       {"Box", "1.000000 2.500000 -3.000000", "NEXT"},
       {}},
      {"unknown statements, their blocks and stray values are passed over",
       "*NODE_TM {\n *ODD 1 2 { *TM_POS 9 9 9 { } } 7 \"x\" : ,\n { *NODE_NAME \"no\" }\n *TM_POS 1 2 "
       "3\n}\n*NEXT",
       {"1.000000 2.000000 3.000000", "NEXT"},
       {}},
      {"arguments beyond those read are passed over",
       "*NODE_TM {\n *TM_POS 1 2 3 4 5 Word\n *NODE_NAME A B\n}\n*NEXT",
       {"1.000000 2.000000 3.000000", "A", "NEXT"},
       {}},
      {"a missing number is told on its statement's line, not the next one",
       "*NODE_TM {\n *TM_POS 1 2\n *TM_POS 4 5 6\n}\n*NEXT",
       {"1.000000 2.000000 0.000000", "4.000000 5.000000 6.000000", "NEXT"},
       {"s: TM_POS is missing a number; 0 is taken (line 2)"}},
      {"a missing text too, and each kind once with its count",
       "*NODE_TM {\n *NODE_NAME\n\n *NODE_NAME\n *TM_POS x 1 1e39\n}\n*NEXT",
       {"", "", "0.000000 1.000000 0.000000", "NEXT"},
       {"s: NODE_NAME is missing its text (2 times, first on line 2)",
        "s: TM_POS is not a number; 0 is taken (line 5)",
        "s: TM_POS is beyond single precision (3.4e38); 0 is taken (line 5)"}},
      {"the file ends inside the block",
       "*NODE_TM {\n *NODE_NAME \"Box\"\n *ODD {",
       {"Box", "<end>"},
       {"s: the file ends inside NODE_TM; what was read of it is kept (line 3)"}},
      {"no block",
       "*NODE_TM 1 2\n*NEXT",
       {"NEXT"},
       {"s: NODE_TM has no block in braces; it is left out (line 1)"}},
  };
  for (const Case& c : cases) {
    for (const std::size_t block_size : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
      SCOPED_TRACE(std::string(c.name) + ", blocks of " + std::to_string(block_size));
      const Reading reading = read(c.text, block_size);
      EXPECT_EQ(reading.values, c.values);
      EXPECT_EQ(reading.warnings, c.warnings);
    }
  }
}

}  // namespace
}  // namespace kestrun::reader
