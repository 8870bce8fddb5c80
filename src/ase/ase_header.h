// The check that the input is an ASE scene of the version Kestrun reads.
#pragma once

#include "ase/tokenizer.h"

namespace kestrun::flat {

/// Reads tokens up to the keyword 3DSMAX_ASCIIEXPORT (among the first 11),
/// checks that the version 200 follows, and reads one token more, on which
/// the scene walk starts. Throws Error(NotAseText) otherwise.
void check_ase_header(Tokenizer& tokens);

}  // namespace kestrun::flat
