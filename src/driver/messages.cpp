#include "driver/messages.h"

namespace kestrun {

std::string_view message_text(ErrorCode code) {
  switch (code) {
#define KESTRUN_X(api_name, name, number, message) \
  case ErrorCode::name:                            \
    return message;
    KESTRUN_FAILURES(KESTRUN_X)
#undef KESTRUN_X
  }
  return "Some Fatal Error just occurred";  // Not reached: every code has its text.
}

}  // namespace kestrun
