// P2: start-up, from OnInitPlugin to the end of the first event, with a Zelkor.ini and a
// Pellix.ini holding every setting and 99 rules, each start parsing the files afresh as a new
// host process would. Baseline, in the same run: reading the bytes of both files (open, read,
// close), the least any start-up must do.
#include "Benchmark.h"
#include <fcntl.h>
#include <unistd.h>

#include <time.h>

#include "BenchSession.h"
#include "fx/Profile.h"
#include "fx/posix/ProfileCache.h"

namespace {

// <chrono> cannot be compiled with a CP932 execution character set (its "µs"), so the clock is
// read directly.
double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr const char* kSpeaker = "ゲスト太郎#0A1B2C3D";

void PrepareHome(BenchSession& s) {
  s.WriteFile("Zelkor.ini", FullHostIni());
  s.WriteFile("Pellix.ini", FullPluginIni(99, false));
}

void BM_StartToFirstEvent(benchmark::State& state) {
  BenchSession s;
  PrepareHome(s);
  const std::size_t parsesBefore = fx::seams::ProfileFileLoads();
  for (auto _ : state) {
    fx::ProfileForgetCache();
    s.Load();
    const double begin = Seconds();
    s.Init();
    s.plugin().OnChatMessage(1, kSpeaker, "おはようございます", 0);
    const double end = Seconds();
    state.SetIterationTime(end - begin);
    state.PauseTiming();
    s.Shutdown();
    state.ResumeTiming();
  }
  state.counters["ini_parses"] =
      static_cast<double>(fx::seams::ProfileFileLoads() - parsesBefore) / static_cast<double>(state.iterations());
}

void ReadWhole(const std::string& path) {
  char buffer[65536];
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  while (::read(fd, buffer, sizeof buffer) > 0) benchmark::DoNotOptimize(buffer);
  ::close(fd);
}

void BM_Baseline_ReadBothIniFiles(benchmark::State& state) {
  BenchSession s;
  PrepareHome(s);
  for (auto _ : state) {
    ReadWhole(s.home + "Zelkor.ini");
    ReadWhole(s.home + "Pellix.ini");
  }
}

BENCHMARK(BM_Baseline_ReadBothIniFiles)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToFirstEvent)->UseManualTime()->Iterations(300)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
