// The default walk's tokens: its keywords (the rows of base/keyword_list.h it
// knows) and its punctuation, from which both the token kinds and the keyword
// table are made, so the two cannot drift apart.
#pragma once

#include "base/keyword_list.h"

// KESTRUN_FLAT_KEYWORDS(KEYWORD): KEYWORD(kind name, keyword text), in the
// order of their kind numbers.

// PUNCTUATION(kind name, character): the single characters with a kind.
#define KESTRUN_ASE_PUNCTUATION(PUNCTUATION) \
  PUNCTUATION(Lbrace, '{')                   \
  PUNCTUATION(Rbrace, '}')                   \
  PUNCTUATION(Colon, ':')                    \
  PUNCTUATION(Dot, '.')
