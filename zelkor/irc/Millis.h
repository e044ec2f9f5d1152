// Time in the live session: milliseconds of a monotonic clock. Plain integers, not <chrono>,
// which cannot be compiled with the CP932 execution character set of the rest of the program
// (its unit suffix "µs").
#pragma once

#include <cstdint>

namespace zelkor::irc {

using Millis = std::int64_t;

// Milliseconds since an arbitrary start; never goes back.
Millis NowMillis();

}  // namespace zelkor::irc
