// Real scenes cut at byte offsets. A file can end anywhere (a copy stopped
// short, a full disk at the exporter's side): every prefix must convert as
// the rules for the end of input say, keep what the whole file's conversion
// wrote before the cut, and stay within a bound on output.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = KESTRUN_SOURCE_DIR;

#ifdef KESTRUN_SANITIZED
// Sanitized conversions are several times slower: sweep every fourth offset
// of the small files and fewer samples of the large ones.
constexpr std::size_t kSweepStride = 4;
constexpr std::size_t kSamples = 60;
#else
constexpr std::size_t kSweepStride = 1;
constexpr std::size_t kSamples = 300;
#endif

constexpr std::string_view kTrailerStart = "createNode script -n \"animationScriptNode\";";
constexpr std::string_view kEndComment = "// End of out.ma ";
constexpr std::string_view kFatal = "Some Fatal Error just occurred";
constexpr std::string_view kInvalid = "Invalid Input File";

/// Keywords that must be followed by "{" or by an integer: a cut right after
/// one of them is the only way a cut can end in code 4.
constexpr std::array<std::string_view, 10> kNeedsMore = {
    "GEOMOBJECT",  "MESH",         "MESH_VERTEX_LIST", "MESH_FACE_LIST", "SCENE",
    "LIGHTOBJECT", "CAMERAOBJECT", "TM_ANIMATION",     "MESH_NUMVERTEX", "MESH_NUMFACES"};

/// Top-level blocks that a conversion of everything always enters.
constexpr std::array<std::string_view, 4> kTopLevelBlocks = {"GEOMOBJECT", "SCENE", "LIGHTOBJECT",
                                                             "CAMERAOBJECT"};

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// The output up to the trailer: the header and the converted nodes.
std::string_view before_trailer(std::string_view output) {
  return output.substr(0, std::min(output.find(kTrailerStart), output.size()));
}

/// The last whitespace-separated word of `text`, and where it starts.
std::pair<std::string_view, std::size_t> last_word(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && is_blank(text[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && !is_blank(text[start - 1])) --start;
  return {text.substr(start, end - start), start};
}

/// True if `prefix` ends with "*KEYWORD" (and blanks) for a keyword of `set`.
template <std::size_t N>
bool ends_with_keyword(std::string_view prefix, const std::array<std::string_view, N>& set,
                       bool at_line_start) {
  const auto [word, start] = last_word(prefix);
  if (word.size() < 2 || word[0] != '*') return false;
  if (at_line_start && start != 0 && prefix[start - 1] != '\n') return false;
  return std::find(set.begin(), set.end(), word.substr(1)) != set.end();
}

/// Lists and key groups, which are written whole at their "}" or at the end
/// of the input, whichever comes first.
constexpr std::array<std::string_view, 5> kListBlocks = {
    "MESH_VERTEX_LIST", "MESH_FACE_LIST", "CONTROL_POS_BEZIER", "CONTROL_ROT_TCB", "CONTROL_SCALE_BEZIER"};

/// Where a list or key group opens ("{") and closes ("}") in the scene.
struct ListSpan {
  std::size_t open;
  std::size_t close;
};

/// The lists and key groups of `scene`, in file order (they do not nest).
std::vector<ListSpan> list_spans(std::string_view scene) {
  std::vector<ListSpan> spans;
  std::vector<std::pair<std::size_t, bool>> open_blocks;  // Where each "{" is; whether it opens a list.
  for (std::size_t i = 0; i < scene.size(); ++i) {
    if (scene[i] == '{') {
      const std::string_view word = last_word(scene.substr(0, i)).first;
      const bool is_list =
          word.size() > 1 && word[0] == '*' &&
          std::find(kListBlocks.begin(), kListBlocks.end(), word.substr(1)) != kListBlocks.end();
      open_blocks.emplace_back(i, is_list);
    } else if (scene[i] == '}' && !open_blocks.empty()) {
      if (open_blocks.back().second) spans.push_back({open_blocks.back().first, i});
      open_blocks.pop_back();
    }
  }
  return spans;
}

std::size_t line_count(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

/// Offsets just past each "}" that stands first on its line: where a block ends.
std::vector<std::size_t> closing_braces(std::string_view scene) {
  std::vector<std::size_t> ends;
  bool line_start = true;
  for (std::size_t i = 0; i < scene.size(); ++i) {
    const char c = scene[i];
    if (c == '}' && line_start) ends.push_back(i + 1);
    if (c == '\n') {
      line_start = true;
    } else if (c != ' ' && c != '\t') {
      line_start = false;
    }
  }
  return ends;
}

struct SweepCase {
  const char* path;  // Relative to the source tree.
  bool every_offset;
};

class Truncation : public ::testing::TestWithParam<SweepCase> {
 protected:
  void SetUp() override {
    scene_ = read_file(kSource / GetParam().path);
    ASSERT_FALSE(scene_.empty());
    full_ = convert_text(scene_).output;
    ASSERT_TRUE(full_.ends_with(kEndComment)) << "the whole file converts";
    full_body_ = before_trailer(full_);
    const std::size_t keyword = scene_.find("*3DSMAX_ASCIIEXPORT");
    ASSERT_NE(keyword, std::string::npos);
    header_end_ = scene_.find_first_not_of("\t 0123456789", keyword + 19);
    header_end_ = scene_.find_last_of("0123456789", header_end_) + 1;
    braces_ = closing_braces(scene_);
    lists_ = list_spans(scene_);
    // Output beyond this fails the run with code 8, so a runaway cut ends
    // quickly and visibly instead of writing without bound.
    output_limit_ = 2 * full_.size() + (std::size_t{1} << 20);
  }

  /// The body the cut right after the "}" at `end` writes; checked once to
  /// be a prefix of the whole file's body.
  std::size_t kept_at_brace(std::size_t end) {
    const auto found = kept_.find(end);
    if (found != kept_.end()) return found->second;
    const auto result = convert_text(std::string_view(scene_).substr(0, end));
    EXPECT_EQ(result.exit_status, 0) << "cut after the brace at " << end << ": " << result.err;
    const std::string_view body = before_trailer(result.output);
    EXPECT_TRUE(full_body_.starts_with(body))
        << "the cut after the brace at " << end << " wrote what the whole file does not";
    return kept_[end] = body.size();
  }

  /// How much of the whole file's body a cut at `offset` must keep: all that
  /// the cut after the last "}" line before it wrote.
  std::size_t must_keep(std::size_t offset) {
    const auto after = std::upper_bound(braces_.begin(), braces_.end(), offset);
    if (after == braces_.begin()) return 0;
    return kept_at_brace(*(after - 1));
  }

  /// The list or key group whose "{" but not whose "}" lies before `offset`, if any.
  const ListSpan* open_list_at(std::size_t offset) const {
    const auto after = std::upper_bound(lists_.begin(), lists_.end(), offset,
                                        [](std::size_t at, const ListSpan& span) { return at <= span.open; });
    if (after == lists_.begin()) return nullptr;
    const ListSpan& span = *(after - 1);
    return offset <= span.close ? &span : nullptr;
  }

  /// Lines of the body that the cut right after `end` writes.
  std::size_t lines_when_cut_at(std::size_t end) {
    const auto found = lines_.find(end);
    if (found != lines_.end()) return found->second;
    return lines_[end] =
               line_count(before_trailer(convert_text(std::string_view(scene_).substr(0, end)).output));
  }

  void check_cut(std::size_t offset) {
    const std::string_view prefix = std::string_view(scene_).substr(0, offset);
    const ConversionResult result = convert_text(prefix, RunOptions::everything(), output_limit_);
    SCOPED_TRACE(std::string(GetParam().path) + " cut at " + std::to_string(offset) + " after \"" +
                 std::string(prefix.substr(prefix.size() - std::min<std::size_t>(prefix.size(), 40))) + "\"");
    if (offset < header_end_) {
      EXPECT_EQ(result.exit_status, 1);
      EXPECT_EQ(result.err, kInvalid) << "the cut lies within the header";
      EXPECT_EQ(result.output, "");
      return;
    }
    if (ends_with_keyword(prefix, kTopLevelBlocks, /*at_line_start=*/true)) {
      EXPECT_EQ(result.err, kFatal) << "a top-level block keyword without its brace";
    }
    if (result.exit_status == 1) {
      ++fatal_cuts_;
      EXPECT_EQ(result.err, kFatal);
      EXPECT_TRUE(ends_with_keyword(prefix, kNeedsMore, /*at_line_start=*/false))
          << "code 4 only for a keyword left without its brace or count";
      EXPECT_TRUE(full_.starts_with(result.output)) << "what was written before the failure is as in the "
                                                       "whole conversion";
      EXPECT_FALSE(result.output.ends_with(kEndComment));
      return;
    }
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(result.output.ends_with(kEndComment));
    EXPECT_NE(result.out.find("in.ase Completed\nout.ma Generated\n"), std::string::npos);
    const std::string_view body = before_trailer(result.output);
    const std::size_t keep = must_keep(offset);
    ASSERT_GE(body.size(), keep);
    EXPECT_EQ(body.substr(0, keep), full_body_.substr(0, keep))
        << "the cut lost output the whole conversion wrote for blocks that ended before it";
    if (const ListSpan* list = open_list_at(offset)) {
      // A list cut short is written with its declared count, a key group with
      // the keys read: as many lines as when the cut falls on its "}".
      EXPECT_EQ(line_count(body), lines_when_cut_at(list->close + 1))
          << "the list or key group open at the cut was not written whole";
    }
  }

  std::string scene_;
  std::string full_;
  std::string_view full_body_;
  std::size_t header_end_ = 0;
  std::vector<std::size_t> braces_;
  std::vector<ListSpan> lists_;
  std::map<std::size_t, std::size_t> kept_;
  std::map<std::size_t, std::size_t> lines_;
  std::size_t output_limit_ = 0;
  std::size_t fatal_cuts_ = 0;
};

TEST_P(Truncation, EveryPrefixEndsAsTheRulesSayAndKeepsWhatWasWritten) {
  std::vector<std::size_t> offsets;
  if (GetParam().every_offset) {
    for (std::size_t offset = 0; offset <= scene_.size(); offset += kSweepStride) offsets.push_back(offset);
  } else {
    // A fixed seed: the same sample every run, spread over the whole file,
    // plus the cuts right at, before and after each top-level block's end.
    std::mt19937_64 random(20011);
    std::uniform_int_distribution<std::size_t> anywhere(0, scene_.size());
    for (std::size_t i = 0; i < kSamples; ++i) offsets.push_back(anywhere(random));
    for (std::size_t end = 0; (end = scene_.find("\n}", end)) != std::string::npos; ++end) {
      for (std::size_t offset = end; offset <= end + 3 && offset <= scene_.size(); ++offset) {
        offsets.push_back(offset);
      }
    }
  }
  for (const std::size_t offset : offsets) {
    check_cut(offset);
    if (HasFatalFailure()) break;
  }
  if (GetParam().every_offset && kSweepStride == 1) {
    // Every file here has a top-level block, so some cut must leave its
    // keyword without a brace: proof that the fatal branch was checked.
    EXPECT_GT(fatal_cuts_, 0U);
  }
  std::cout << "[ prefixes ] " << GetParam().path << ": " << offsets.size() << " cuts, " << fatal_cuts_
            << " ended with code 4\n";
}

INSTANTIATE_TEST_SUITE_P(Scenes, Truncation,
                         ::testing::Values(SweepCase{"examples/box_scene.ase", true},
                                           SweepCase{"tests/data/ase-corpus/InvalidUVIndex.ase", true},
                                           SweepCase{"tests/data/ase-corpus/ThreeCubesGreen.ASE", true},
                                           SweepCase{"tests/data/ase-corpus/anim.ASE", true},
                                           SweepCase{"tests/data/ase-corpus/TargetCameraAnim.ase", true},
                                           SweepCase{"tests/data/ase-corpus/anim2.ASE", false},
                                           SweepCase{"tests/data/ase-corpus/Rifle.ase", false},
                                           SweepCase{"tests/data/ase-corpus/MotionCaptureROM.ase", false}),
                         [](const ::testing::TestParamInfo<SweepCase>& info) {
                           std::string name = fs::path(info.param.path).stem().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kestrun::testing
