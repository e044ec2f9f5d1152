// P3: the event list. Rows are appended through the loaded plug-in (a chat line with MessageLog
// on and no recording makes one row "hh:mm:ss | 発言 | <name> text"); the resident memory they
// take and the time to append 100,000 and 1,000,000 of them. Baseline, in the same run: the
// same texts appended as three std::string cells per row to a std::vector.
#include "Benchmark.h"

#include <array>
#include <time.h>
#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <unistd.h>
#endif

#include "BenchSession.h"
#include "fx/App.h"

namespace {

// <chrono> cannot be compiled with a CP932 execution character set (its "µs"), so the clock is
// read directly.
double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr const char* kSpeaker = "ゲスト太郎#0A1B2C3D";
constexpr const char* kText = "こんにちは、今日もいい天気ですね";

#ifdef _WIN32
// The working set: the pages of the process in memory, the list-view's included.
double ResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.WorkingSetSize);
}
#else
double ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}
#endif

void BM_EventListAppend(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    BenchSession s;
    s.WriteFile("Pellix.ini", "[LogSwitch]\r\nAutoLog=0\r\nMessageLog=1\r\nURLLog=0\r\n[React]\r\nAutoReact=0\r\n");
    s.Load();
    s.Init();
    CZelkorPlugin& plugin = s.plugin();
    const double before = ResidentBytes();
    const double begin = Seconds();
    for (std::size_t i = 0; i < rows; ++i) plugin.OnChatMessage(1, kSpeaker, kText, 0);
    // The rows arrive as one burst between two reads of the message queue; the list's layout
    // and paint at the next read count too.
    fx::PumpMessages();
    const double end = Seconds();
    state.SetIterationTime(end - begin);
    state.counters["resident_MB"] = (ResidentBytes() - before) / 1e6;
    state.counters["bytes_per_row"] = (ResidentBytes() - before) / static_cast<double>(rows);
    state.PauseTiming();
    s.Shutdown();
    state.ResumeTiming();
  }
}

void BM_Baseline_VectorOfStrings(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  const std::string detail = std::string("<") + kSpeaker + "> " + kText;
  for (auto _ : state) {
    const double before = ResidentBytes();
    const double begin = Seconds();
    std::vector<std::array<std::string, 3>> list;
    for (std::size_t i = 0; i < rows; ++i) list.push_back({"09:05:07", "発言", detail});
    const double end = Seconds();
    state.SetIterationTime(end - begin);
    state.counters["bytes_per_row"] = (ResidentBytes() - before) / static_cast<double>(rows);
    benchmark::DoNotOptimize(list.data());
  }
}

// The same appends, timed five times for their median: a single append of 100,000 rows lasts a
// few tens of milliseconds, which one run on this machine measures within a third. Its memory
// is not read: a second session reuses what the first freed.
void BM_EventListAppendTime(benchmark::State& state) { BM_EventListAppend(state); }

// One iteration each: the sizes themselves are the measurement. bench.sh runs each size in a
// process of its own, so that memory freed by an earlier size does not hide resident growth;
// the resident memory is read in the first session of the process.
BENCHMARK(BM_EventListAppend)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventListAppendTime)->Arg(100000)->Arg(1000000)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)
    ->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_VectorOfStrings)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
