#include "fx/Clock.h"

#include <mutex>

#include "Backend.h"

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
  return backend::SystemLocalTime();
}

void SetFixedLocalTime(std::optional<LocalTime> time) {
  std::lock_guard lock(g_clockMutex);
  g_fixedTime = time;
}

}  // namespace fx
