// The steps every block reader of the token walk shares.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "ase/tokenizer.h"

namespace kestrun::flat {

/// Longest node name the converters keep; longer names are cut.
inline constexpr std::size_t kMaxNodeName = 255;

/// On a block's keyword: advances to its "{" and past it, onto the block's
/// first entry. Throws Error(ConversionFailed) if something else follows.
void enter_block(Tokenizer& tokens);

/// True while the current token neither closes a block nor is the end token.
inline bool inside_block(const Tokenizer& tokens) {
  return tokens.kind() != TokenKind::Rbrace && tokens.kind() != TokenKind::End;
}

/// On a block's keyword: steps over everything up to the first "}" (which may
/// close a block nested in it) and past it. Stops at the end of the input.
void skip_to_first_closing_brace(Tokenizer& tokens);

/// On a NODE_NAME keyword: advances to the name. Returns its text if it is a
/// string; the caller acts on it and then advances past it.
std::optional<std::string_view> read_node_name(Tokenizer& tokens);

}  // namespace kestrun::flat
