#include <ctime>

#include "../core/Backend.h"

namespace fx::backend {

// The conversion walks the time zone's rules, and a chat line asks for the time several times:
// within one second of the system clock it gives the same answer, so it is kept for that second.
LocalTime SystemLocalTime() {
  thread_local std::time_t convertedSecond = -1;
  thread_local LocalTime converted{};
  const std::time_t now = std::time(nullptr);
  if (now != convertedSecond) {
    std::tm parts{};
    localtime_r(&now, &parts);
    converted = LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
    convertedSecond = now;
  }
  return converted;
}

}  // namespace fx::backend
