#include "base/clock.h"

#include <ctime>

namespace kestrun {

std::tm broken_down(const LocalTime& time) {
  std::tm result{};
  result.tm_sec = time.second;
  result.tm_min = time.minute;
  result.tm_hour = time.hour;
  result.tm_mday = time.day_of_month;
  result.tm_mon = time.month;
  result.tm_year = time.years_since_1900;
  result.tm_wday = time.day_of_week;
  return result;
}

LocalTime local_time_of(const std::tm& time) {
  return LocalTime{time.tm_sec, time.tm_min,  time.tm_hour, time.tm_mday,
                   time.tm_mon, time.tm_year, time.tm_wday};
}

LocalTime system_local_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return LocalTime{};
  return local_time_of(local);
}

}  // namespace kestrun
