#include "base/clock.h"

#include <ctime>

namespace kestrun {

LocalTime system_local_time() {
  const std::time_t now = std::time(nullptr);
  std::tm broken_down{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &broken_down) == nullptr) {
    return LocalTime{};
  }
  return LocalTime{broken_down.tm_sec, broken_down.tm_min,  broken_down.tm_hour, broken_down.tm_mday,
                   broken_down.tm_mon, broken_down.tm_year, broken_down.tm_wday};
}

}  // namespace kestrun
