// The extended mode's lexer against a plain model of its rules, and its
// numbers against std::from_chars, over random text cut into blocks of every
// size, so that tokens cross block boundaries.
#include "reader/lexer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "io/byte_source.h"

namespace kestrun::reader {
namespace {

struct Token {
  TokenType type = TokenType::End;
  std::string text;  // Keywords without '*', strings without quotes, words.
  double number = 0;
  std::uint64_t line = 1;
};

bool operator==(const Token& a, const Token& b) {
  const bool same_number =
      a.type != TokenType::Number || std::memcmp(&a.number, &b.number, sizeof a.number) == 0;
  return a.type == b.type && a.text == b.text && same_number && a.line == b.line;
}

void PrintTo(const Token& t, std::ostream* os) {
  *os << "{type " << static_cast<int>(t.type) << ", \"" << t.text << "\", " << t.number << ", line " << t.line
      << "}";
}

bool blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0;
}
bool separate(char c) { return c == '{' || c == '}' || c == '"' || c == ':' || c == ','; }

/// The rules, written as plainly as they can be: a byte at a time, every
/// number through std::from_chars. (No token here is longer than the
/// lexer's limits.)
std::vector<Token> model(std::string_view in) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  std::uint64_t line = 1;
  for (;;) {
    while (i < in.size() && blank(in[i])) line += in[i++] == '\n' ? 1 : 0;
    Token token;
    token.line = line;
    if (i == in.size()) {
      tokens.push_back(token);
      return tokens;
    }
    const char c = in[i];
    if (c == '{' || c == '}' || c == ':' || c == ',') {
      token.type = c == '{'   ? TokenType::OpenBrace
                   : c == '}' ? TokenType::CloseBrace
                   : c == ':' ? TokenType::Colon
                              : TokenType::Comma;
      ++i;
    } else if (c == '"') {
      token.type = TokenType::String;
      for (++i; i < in.size() && in[i] != '"'; ++i) {
        line += in[i] == '\n' ? 1 : 0;
        token.text += in[i];
      }
      if (i < in.size()) ++i;
    } else {
      const std::size_t start = i;
      while (i < in.size() && !blank(in[i]) && !separate(in[i])) ++i;
      const std::string word(in.substr(start, i - start));
      token.type = TokenType::Word;
      token.text = word;
      if (word[0] == '*' && word.size() > 1) {
        token.type = TokenType::Keyword;
        token.text = word.substr(1);
      } else if ((word[0] >= '0' && word[0] <= '9') || word[0] == '-' || word[0] == '+' || word[0] == '.') {
        const std::string digits = word[0] == '+' ? word.substr(1) : word;
        double value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc() && end == digits.data() + digits.size()) {
          token.type = TokenType::Number;
          token.text.clear();
          token.number = value;
        }
      }
    }
    tokens.push_back(token);
  }
}

std::vector<Token> lexed(std::string_view in, std::size_t block_size) {
  MemorySource bytes(in, block_size);
  Lexer lexer(bytes);
  std::vector<Token> tokens;
  for (;;) {
    Token token;
    token.type = lexer.type();
    token.line = lexer.line();
    if (token.type == TokenType::Number) {
      token.number = lexer.number();
    } else if (token.type == TokenType::Keyword || token.type == TokenType::String ||
               token.type == TokenType::Word) {
      token.text = lexer.text();
    }
    tokens.push_back(token);
    if (token.type == TokenType::End) return tokens;
    lexer.next();
  }
}

/// A decimal as exporters and hand-edited files write them: any sign, digits
/// on either side of the point or none, an exponent now and then, and
/// sometimes more digits than a double holds.
std::string random_number(std::mt19937_64& random) {
  std::string text;
  const auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  if (pick(3) == 0) text.push_back(pick(4) == 0 ? '+' : '-');
  for (std::size_t k = pick(pick(5) == 0 ? 25 : 7); k > 0; --k)
    text.push_back(static_cast<char>('0' + pick(10)));
  if (pick(3) != 0) {
    text.push_back('.');
    for (std::size_t k = pick(pick(5) == 0 ? 25 : 8); k > 0; --k)
      text.push_back(static_cast<char>('0' + pick(10)));
  }
  if (pick(6) == 0) {
    text.push_back(pick(2) != 0 ? 'e' : 'E');
    if (pick(2) != 0) text.push_back('-');
    text.append(std::to_string(pick(330)));
  }
  return text;
}

std::string random_soup(std::mt19937_64& random, std::size_t tokens) {
  static const char* const kOthers[] = {
      "*MESH_VERTEX", "*NODE_NAME", "*UNHEARD_OF", "*", "Omni", "A:",      "1.#QNAN",
      "-inf",         "0x1p3",      "1e",          ".", "-",    "\"a b\"", "\"two\nlines\"",
      "\"\"",         "{",          "}",           ":", ",",    "\"open"};
  const std::string separators[] = {" ", "\t", "\r\n", "\n", std::string(1, '\0'), "  "};
  std::string text;
  for (std::size_t t = 0; t < tokens; ++t) {
    if (random() % 2 == 0) {
      text += random_number(random);
    } else {
      const std::string other = kOthers[random() % std::size(kOthers)];
      if (other == "\"open" && t + 1 != tokens) continue;  // An unterminated string ends the file.
      text += other;
    }
    text += separators[random() % std::size(separators)];
  }
  return text;
}

TEST(Lexer, AgreesWithThePlainModelOnRandomTextInBlocksOfEverySize) {
  std::mt19937_64 random(18);
  for (int round = 0; round < 300; ++round) {
    const std::string text = random_soup(random, 1 + random() % 60);
    const std::vector<Token> expected = model(text);
    for (const std::size_t block_size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                                         std::size_t{16}, std::size_t{17}, std::size_t{4096}}) {
      SCOPED_TRACE("round " + std::to_string(round) + ", blocks of " + std::to_string(block_size) + ": " +
                   text);
      ASSERT_EQ(lexed(text, block_size), expected);
    }
  }
}

TEST(Lexer, ReadsEveryNumberAsFromCharsDoesWhereverTheBlockEnds) {
  std::mt19937_64 random(1818);
  std::uniform_real_distribution<double> spread(-1e6, 1e6);
  for (int round = 0; round < 2000; ++round) {
    double value = 0;
    const std::uint64_t bits = random();
    std::memcpy(&value, &bits, sizeof value);
    char printed[64];
    switch (round % 4) {
      case 0:  // Any finite double, in full.
        if (!std::isfinite(value)) continue;
        std::snprintf(printed, sizeof printed, "%.17g", value);
        break;
      case 1:  // As the exporter writes them.
        std::snprintf(printed, sizeof printed, "%.4f", spread(random));
        break;
      case 2:
        std::snprintf(printed, sizeof printed, "%.9f", spread(random) / 1000);
        break;
      default:
        std::snprintf(printed, sizeof printed, "%s", random_number(random).c_str());
        break;
    }
    const std::string number = printed;
    const std::string text = "*TM_POS " + number + "\t" + number + "\n";
    for (const std::size_t block_size :
         {std::size_t{1}, std::size_t{5}, std::size_t{8} + static_cast<std::size_t>(round % 9)}) {
      SCOPED_TRACE(text + " in blocks of " + std::to_string(block_size));
      ASSERT_EQ(lexed(text, block_size), model(text));
    }
  }
}

}  // namespace
}  // namespace kestrun::reader
