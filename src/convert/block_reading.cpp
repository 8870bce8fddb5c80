#include "convert/block_reading.h"

#include "driver/messages.h"

namespace kestrun {

void enter_block(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  tokens.next_token();
  if (tokens.kind() != TokenKind::Lbrace) {
    report_fatal(conversion.console, ErrorCode::Fatal);
  }
  tokens.next_token();
}

void skip_to_first_closing_brace(Tokenizer& tokens) {
  do {
    tokens.next_token();
  } while (inside_block(tokens));
  tokens.next_token();
}

}  // namespace kestrun
