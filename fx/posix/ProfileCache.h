// What the POSIX profile functions can tell about their parse cache. Not part of fx's API: on
// Windows the system parses and caches the files itself, so only this backend can count; tests
// and benchmarks of the cache include this header directly.
#pragma once

#include <cstddef>

namespace fx::seams {

// How many times a profile file was read and parsed from disk so far.
std::size_t ProfileFileLoads();

}  // namespace fx::seams
