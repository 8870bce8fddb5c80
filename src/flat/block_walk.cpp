#include "flat/block_walk.h"

#include "base/error.h"

namespace kestrun::flat {

void enter_block(Tokenizer& tokens) {
  tokens.next_token();
  if (tokens.kind() != TokenKind::Lbrace) {
    throw Error(ErrorCode::ConversionFailed);
  }
  tokens.next_token();
}

void skip_to_first_closing_brace(Tokenizer& tokens) {
  static constexpr KindSet kClosingBrace = {TokenKind::Rbrace};
  tokens.next_token_until(kClosingBrace);
  tokens.next_token();
}

std::optional<std::string_view> read_node_name(Tokenizer& tokens) {
  tokens.next_token();
  if (tokens.kind() != TokenKind::String) {
    return std::nullopt;
  }
  return tokens.token().text();
}

}  // namespace kestrun::flat
