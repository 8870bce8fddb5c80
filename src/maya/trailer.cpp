#include "maya/trailer.h"

namespace kestrun {

void write_trailer(Conversion& /*conversion*/) {}

}  // namespace kestrun
