#include "fx/Clock.h"

#include <ctime>
#include <mutex>

namespace fx {
namespace {
std::mutex g_clockMutex;
std::optional<LocalTime> g_fixedTime;
}  // namespace

LocalTime GetLocalTime() {
  {
    std::lock_guard lock(g_clockMutex);
    if (g_fixedTime) return *g_fixedTime;
  }
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

void SetFixedLocalTime(std::optional<LocalTime> time) {
  std::lock_guard lock(g_clockMutex);
  g_fixedTime = time;
}

}  // namespace fx
