// Local time of day, which tests and the host can fix.
#pragma once

#include <optional>

namespace fx {

struct LocalTime {
  int year, month, day, hour, minute, second;  // month 1-12, day 1-31
};

// The fixed time when one is set, else the system's local time now.
LocalTime GetLocalTime();
void SetFixedLocalTime(std::optional<LocalTime> time);

}  // namespace fx
