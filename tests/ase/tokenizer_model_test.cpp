// The tokenizer scans its blocks directly for speed; here it is checked
// against a plain model that takes one character at a time from what a line
// reader delivers, and looks keywords up one by one.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "ase/keyword_table.h"
#include "ase/tokenizer.h"
#include "test_support.h"

namespace kestrun::flat {
namespace {

/// The token rules, one character at a time.
class ModelTokenizer {
 public:
  explicit ModelTokenizer(const std::string& input) : chars_(testing::line_reader_characters(input)) {
    chars_.insert(chars_.begin(), ' ');
  }

  void next_token() {
    while (c() == ' ') ++at_;
    if (digit(c()) || c() == '-') return read_number();
    if (c() == kEnd) {
      token.kind = TokenKind::End;
    } else if (c() == '"') {
      read_string();
    } else if (c() == '*') {
      read_keyword();
    } else {
      token.kind = char_kind_table[static_cast<std::size_t>(c())];
      ++at_;
    }
  }

  /// True once the character after the last one has been asked for.
  [[nodiscard]] bool end_of_input() const { return at_ >= chars_.size(); }

  Token token;

 private:
  static constexpr int kEnd = 256;
  int c() const { return end_of_input() ? kEnd : static_cast<unsigned char>(chars_[at_]); }
  static bool digit(int ch) { return ch >= '0' && ch <= '9'; }
  static bool word(int ch) { return digit(ch) || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

  void read_number() {
    const double sign = c() == '-' ? -1.0 : 1.0;
    if (sign < 0 && (++at_, !digit(c()) && c() != '.')) {
      token.kind = TokenKind::Unknown;
      return;
    }
    double magnitude = 0.0, divisor = 1.0;
    bool point = false;
    for (; digit(c()) || c() == '.'; ++at_) {
      if (c() == '.') {
        point = true;
      } else if (!point) {
        magnitude = magnitude * 10.0 + (c() - '0');
      } else {
        divisor = divisor * 10.0;
        magnitude = magnitude + (c() - '0') / divisor;
      }
    }
    const double value = sign * magnitude;
    token.kind = point ? TokenKind::Real : TokenKind::Integer;
    const bool low = value <= -2147483648.0;
    if (point) token.real = value;
    if (!point)
      token.integer = value >= 2147483647.0 ? 2147483647 : low ? -2147483647 - 1 : static_cast<int>(value);
  }

  void read_string() {
    token.kind = TokenKind::String;
    std::size_t length = 0;
    if (++at_; c() == '"') {
      token.text_chars[length++] = ' ';  // The empty string is one space.
    } else {
      for (; c() != '"' && c() != kEnd; ++at_) {
        if (length < Token::kMaxText) token.text_chars[length++] = static_cast<char>(c());
      }
    }
    token.text_length = length;
    if (c() == '"') ++at_;
  }

  void read_keyword() {
    token.kind = TokenKind::Unknown;
    if (++at_; !word(c())) return;
    std::size_t length = 0;
    for (; word(c()) || c() == '_'; ++at_) {
      if (length < Token::kMaxKeyword) token.keyword_chars[length++] = static_cast<char>(c());
    }
    token.keyword_length = length;
    for (const KeywordEntry& entry : keyword_table) {
      if (entry.text == token.keyword()) token.kind = entry.kind;
    }
  }

  std::string chars_;  // A space, then what the line reader delivers.
  std::size_t at_ = 0;
};

/// Every field of `token` (the real bit for bit), and whether the end was seen.
auto state(const Token& token, bool end_of_input) {
  return std::tuple(token.kind, token.integer, std::bit_cast<std::uint64_t>(token.real),
                    std::string(token.text()), std::string(token.keyword()), end_of_input);
}

/// What next_token_until(stops) does, one token at a time.
void model_until(ModelTokenizer& model, KindSet stops) {
  do {
    model.next_token();
  } while (!stops.contains(model.token.kind) && model.token.kind != TokenKind::End && !model.end_of_input());
}

/// Reads `input` with both tokenizers, the fast one in blocks of each of `block_sizes`. Without
/// `random`, token by token; with it, by next_token_until with stop sets drawn from it (now and
/// then next_token instead), half of them keywords only (with the closing brace), as the walk's are.
void expect_same_tokens(const std::string& input, std::initializer_list<std::size_t> block_sizes,
                        std::mt19937* random = nullptr) {
  std::uniform_int_distribution<int> kind(0, static_cast<int>(TokenKind::End) - 1);
  std::uniform_int_distribution<int> keyword(1, static_cast<int>(keyword_table.size()));
  std::uniform_int_distribution<int> count(0, 4);
  std::bernoulli_distribution keywords_only(0.5);
  for (const std::size_t block_size : block_sizes) {
    ModelTokenizer model(input);
    MemorySource fast_bytes(input, block_size);
    int end_calls = 0;
    Tokenizer fast(fast_bytes, [&end_calls] { ++end_calls; });
    for (int i = 0; model.token.kind != TokenKind::End; ++i) {
      ASSERT_LT(i, 1'000'000) << "no end";
      const int stop_count = random != nullptr ? count(*random) : 0;
      if (stop_count == 0) {
        model.next_token();
        fast.next_token();
      } else {
        KindSet stops{TokenKind::Rbrace};
        const bool only_keywords = keywords_only(*random);
        for (int n = 0; n < stop_count; ++n) {
          stops = KindSet{static_cast<TokenKind>(only_keywords ? keyword(*random) : kind(*random))} | stops;
        }
        model_until(model, stops);
        fast.next_token_until(stops);
      }
      ASSERT_EQ(state(fast.token(), fast.end_of_input()), state(model.token, model.end_of_input()))
          << "call " << i << ", blocks of " << block_size;
      ASSERT_EQ(end_calls, model.end_of_input() ? 1 : 0) << "the end is announced once, when it is seen";
    }
  }
}

struct Soup {
  std::vector<const char*> pieces;
  unsigned seed;
  int rounds;
  int most_pieces;
  char blank;
  double blank_chance;
  bool nuls_and_long_words;
  std::initializer_list<std::size_t> token_blocks, stop_blocks;
};

TEST(TokenizerModel, AgreesOnRandomSoupsOfTokens) {
  // clang-format off
  const Soup soups[] = {
      // Any token, NULs and long words.
      {{"*MESH_VERTEX", "*MESH_FACE", "*NODE_NAME", "*", "*mesh", "*3DSMAX_ASCIIEXPORT", "*_X", "*TM_ROTANGLE",
        "*SCENE", "*CONTROL_BEZIER_SCALE_KEY", "*MESH_TVERT", "\"name\"", "\"\"", "\"a\tb", "\"", "-", "-.",
        "-0.0000", "12.5000", "1.2.3", "007", "99999999999999", "-2147483648", "0.000000000000000000000001", ".",
        ":", "{", "}", "A", "\xAC", "\xE2\x82\xAC", " ", "\t", "\r\n", "\n", "#", "+"},
       17, 400, 400, ' ', 0.6, true, {1, 2, 5, 64, kBlockSize}, {1, 3, 64, 100, kBlockSize}},
      // What the walk passes over most: lines of numbers after a keyword, few quotes and
      // braces, and the shapes that end a run of digits oddly.
      {{"*MESH_VERTEX", "*MESH_FACE", "*MESH_VERTEXNORMAL", "*NODE_NAME", "*MESH_TVERT", "*SCENE",
        "*CONTROL_BEZIER_POS_KEY", "*MESH_VERTEX7", "*A1.5", "*A1", "**MESH", "*_5", "*",
        "*A_VERY_LONG_KEYWORD_OF_MORE_THAN_32_CHARACTERS", "0.8152", "-0.0974", "-0.0000", "1440", "-17", "5.",
        "-.", "-.5", ".5", "..", "1..2", "1.2.3", "1-2", "--5", "-x", "-", "A12", "_5", "AB:", "A:", "0:",
        "99999999999999", "123456789.123456789", "0.0000000000000000001", "{", ":", "#", "\xAC", "}", "\"q\"",
        "\t", "\t", " ", " ", "\n\t\t\t"},
       23, 60, 3000, '\t', 0.7, false, {64, 1000, kBlockSize}, {64, 100, 1000, 4099, kBlockSize}}};
  // clang-format on
  for (const Soup& soup : soups) {
    std::mt19937 random(soup.seed);
    std::uniform_int_distribution<std::size_t> pick(0, soup.pieces.size() - 1);
    std::uniform_int_distribution<int> count(0, soup.most_pieces);
    std::bernoulli_distribution blank(soup.blank_chance);
    std::uniform_int_distribution<int> coin(0, 9);
    for (int round = 0; round < soup.rounds; ++round) {
      std::string input;
      for (int n = count(random); n > 0; --n) {
        input += soup.pieces[pick(random)];
        if (blank(random)) input += soup.blank;
        if (soup.nuls_and_long_words && coin(random) == 0) input.push_back('\0');
        if (soup.nuls_and_long_words && coin(random) == 0) {
          input += std::string(static_cast<std::size_t>(coin(random)) * 300, 'w');
        }
      }
      expect_same_tokens(input, soup.token_blocks);
      expect_same_tokens(input, soup.stop_blocks, &random);
    }
  }
}

TEST(TokenizerModel, AgreesWhereTheLastNumbersLieFarBack) {
  // The last real and integer before a stop lie behind hundreds of keyword lines without
  // numbers (and a quote now and then), further back than the fast passes note the lines they pass.
  std::mt19937 random(29);
  for (const int lines : {3, 63, 64, 65, 200, 5000}) {
    std::string input = "*MESH_VERTEX 7 -2.5 *MESH_TVERT 8 ";
    for (int line = 0; line < lines; ++line) {
      input += line % 97 == 50 ? "*NODE_NAME \"a*b\"\n" : "*MESH_TVERT *X_Y\t_ *\n";
    }
    input += "*MESH_FACE 1 }";
    expect_same_tokens(input, {64, 1000, kBlockSize}, &random);
    for (const KindSet& stops :
         {KindSet{TokenKind::MeshFace}, KindSet{TokenKind::MeshFace, TokenKind::Rbrace},
          KindSet{TokenKind::Scene}}) {
      for (const std::size_t block_size : {std::size_t{64}, std::size_t{1000}, kBlockSize}) {
        ModelTokenizer model(input);
        MemorySource fast_bytes(input, block_size);
        Tokenizer fast(fast_bytes, nullptr);
        model.next_token();
        fast.next_token();
        model_until(model, stops);
        fast.next_token_until(stops);
        ASSERT_EQ(state(fast.token(), fast.end_of_input()), state(model.token, model.end_of_input()))
            << lines << " lines, blocks of " << block_size;
      }
    }
  }
}

TEST(TokenizerModel, AgreesOnLinesReadAtOnce) {
  // next_numbers and next_face_corners read a line's tokens at once when they have the expected
  // shape, and nothing otherwise: either way the token is what the model's tokens give.
  // clang-format off
  const char* pieces[] = {"*MESH_FACE", "*MESH_VERTEX", "0", "17", "-3", "12345678", "123456789", "-0", "2.5",
                          "-.5", ".", "-", "1.2.3", "A", "B", "C", "AB", ":", " ", "\t", "\n", "\"s\"", "x", "99e"};
  const char* slots[] = {"7", ":", "A", ":", "1", "B", ":", "22", "C", ":", "-3"};
  // clang-format on
  std::mt19937 random(31);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::bernoulli_distribution well_formed(0.5);
  std::bernoulli_distribution other(0.15);
  std::uniform_int_distribution<int> blanks(0, 2);
  for (int round = 0; round < 3000; ++round) {
    // Lines as exporters write them (now and then one byte changed for a random piece), a face
    // line token by token (each token now and then another), and lines of random pieces.
    std::string input;
    for (int line = 0; line < 20; ++line) {
      if (well_formed(random)) {
        const std::string pad(static_cast<std::size_t>(blanks(random)), ' ');
        std::string lines = "*MESH_FACE " + pad + "5:" + pad + "A: " + pad + "1 B:" + pad + "-2 C: 3" + pad +
                            " AB: 1\n*MESH_VERTEX 4\t-1.5\t" + pad + "2\t0.0000\n";
        if (well_formed(random)) {
          std::uniform_int_distribution<std::size_t> place(1, lines.size() - 1);
          lines.replace(place(random), 1, pieces[pick(random)]);
        }
        input += lines + "*MESH_FACE";
        for (const char* slot : slots) {
          input += std::string(static_cast<std::size_t>(blanks(random)), ' ');
          input += other(random) ? pieces[pick(random)] : slot;
        }
        input += "\n";
      } else {
        for (int n = 0; n < 12; ++n) input += std::string(pieces[pick(random)]) + (n % 3 == 0 ? "" : " ");
      }
    }
    for (const std::size_t block_size : {std::size_t{37}, std::size_t{100}, kBlockSize}) {
      ModelTokenizer model(input);
      MemorySource fast_bytes(input, block_size);
      Tokenizer fast(fast_bytes, nullptr);
      for (int i = 0; model.token.kind != TokenKind::End; ++i) {
        ASSERT_LT(i, 1'000'000) << "no end";
        model.next_token();
        fast.next_token();
        std::array<Tokenizer::Number, 4> numbers{};
        if (fast.kind() == TokenKind::MeshFace) {
          if (const auto corners = fast.next_face_corners()) {
            std::array<std::int32_t, 3> expected{};
            for (int n = 0; n < 11; ++n) {
              model.next_token();
              if (n == 4 || n == 7 || n == 10)
                expected[static_cast<std::size_t>(n - 4) / 3] = model.token.integer;
            }
            ASSERT_EQ(*corners, expected) << input;
          }
        } else if (fast.kind() == TokenKind::MeshVertex && fast.next_numbers(numbers)) {
          for (const Tokenizer::Number& number : numbers) {
            model.next_token();
            ASSERT_EQ(number.kind, model.token.kind);
            if (number.kind == TokenKind::Integer) {
              ASSERT_EQ(number.integer, model.token.integer);
            } else {
              ASSERT_EQ(std::bit_cast<std::uint64_t>(number.real),
                        std::bit_cast<std::uint64_t>(model.token.real));
            }
          }
        }
        ASSERT_EQ(state(fast.token(), fast.end_of_input()), state(model.token, model.end_of_input()))
            << "token " << i << ", blocks of " << block_size << "\n"
            << input;
      }
    }
  }
}

TEST(TokenizerModel, AgreesOnEveryKeywordAndOnLongNumbersStringsAndKeywords) {
  std::string keywords;
  for (const KeywordEntry& entry : keyword_table) {
    keywords.append("*").append(entry.text).append(" *").append(entry.text).append("X *");
    keywords.append(entry.text.substr(0, entry.text.size() - 1)).append(" ");
  }
  std::mt19937 random(5);
  expect_same_tokens(keywords, {3, kBlockSize});
  expect_same_tokens(keywords, {3, 100, kBlockSize}, &random);
  std::string long_fraction = "0.";
  for (int i = 0; i < 400; ++i) long_fraction.push_back(static_cast<char>('0' + (i * 7) % 10));
  const std::string long_tokens = long_fraction + " 0." + std::string(307, '0') + "17 \"" +
                                  std::string(3000, 's') + "\" *" + std::string(500, 'K') + " 1" +
                                  std::string(320, '0') + " -" + std::string(20, '9') + ".5";
  expect_same_tokens(long_tokens, {1, 3, 100, 4096});
  expect_same_tokens(long_tokens, {1, 3, 100, 4096}, &random);
}

}  // namespace
}  // namespace kestrun::flat
