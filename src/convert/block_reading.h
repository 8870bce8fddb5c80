// The steps every block reader shares.
#pragma once

#include "ase/tokenizer.h"
#include "convert/conversion.h"

namespace kestrun {

/// On a block's keyword: advances to its "{" (code 4 if something else
/// follows) and past it, onto the block's first entry.
void enter_block(Conversion& conversion);

/// True while the current token neither closes a block nor ends the input.
inline bool inside_block(const Tokenizer& tokens) {
  return tokens.kind() != TokenKind::Rbrace && tokens.kind() != TokenKind::End;
}

/// On a block's keyword: steps over everything up to the first "}" (which may
/// close a block nested in it) and past it. Stops at the end of the input.
void skip_to_first_closing_brace(Tokenizer& tokens);

}  // namespace kestrun
