#include "ase/scene_walk.h"

namespace kestrun {

void convert_objects(Conversion& conversion) {
  Tokenizer& tokens = conversion.tokens;
  conversion.console.flush_out();
  while (!tokens.at_end()) {
    tokens.next_token();
  }
  conversion.console.flush_out();
}

}  // namespace kestrun
