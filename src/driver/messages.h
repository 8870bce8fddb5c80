// What a run that fails says: the message of each error code.
#pragma once

#include <string_view>

#include "base/error.h"

namespace kestrun {

/// The message a run that ends with `code` prints on standard error.
std::string_view message_text(ErrorCode code);

}  // namespace kestrun
