#include "ase/ase_header.h"

#include "base/error.h"

namespace kestrun::flat {

void check_ase_header(Tokenizer& tokens) {
  // Up to ten other tokens may come first (a UTF-8 byte-order mark is three).
  constexpr int kTokensSearched = 11;
  bool found = false;
  for (int read = 0; read < kTokensSearched && !found; ++read) {
    tokens.next_token();
    found = tokens.kind() == TokenKind::AsciiExport;
  }
  if (!found) {
    throw Error(ErrorCode::NotAseText);
  }
  tokens.next_token();
  if (tokens.kind() != TokenKind::Integer || tokens.token().integer != 200) {
    throw Error(ErrorCode::NotAseText);
  }
  tokens.next_token();
}

}  // namespace kestrun::flat
