// Google Benchmark, or the small timing loop that stands in for it where the library is missing.
#pragma once

#ifdef PELLIX_BENCH_TIMING_LOOP
#include "TimingLoop.h"
#else
#include <benchmark/benchmark.h>
#endif
