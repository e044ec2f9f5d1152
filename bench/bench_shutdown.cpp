// P5: shutdown (OnExitPlugin, the windows' destroy handlers that save the rule table and the
// Duplicate flag, the module's unload) with a Pellix.ini of about 12.9 MB: every setting and 99
// rules, then 200,000 sections of junk. Two of the writes change the file: a key the file lacks
// and a Duplicate value written back in its own form. Baseline, in the same run: reading that
// file and writing it out once, the least a save that changes it can cost.
#include "Benchmark.h"
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <time.h>

#include "BenchSession.h"

namespace {

// <chrono> cannot be compiled with a CP932 execution character set, so the clock is read
// directly.
double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kJunkSections = 200000;

std::string LargePluginIni() {
  std::string ini = FullPluginIni(99, false);
  // The file lacks [LogSettings] Directory, and holds Duplicate as 5, saved as 1.
  const std::string duplicate = "Duplicate=0";
  ini.replace(ini.find(duplicate), duplicate.size(), "Duplicate=5");
  ini.reserve(ini.size() + kJunkSections * 64);
  char section[96];
  for (int i = 0; i < kJunkSections; ++i) {
    std::snprintf(section, sizeof section, "[Junk%06d]\r\nValue=%06d-abcdefghijklmnopqrstuvwxyz-01234567\r\n", i, i);
    ini += section;
  }
  return ini;
}

void BM_ShutdownWithLargeIni(benchmark::State& state) {
  const std::string ini = LargePluginIni();
  for (auto _ : state) {
    BenchSession s;
    s.WriteFile("Zelkor.ini", FullHostIni());
    s.WriteFile("Pellix.ini", ini);
    s.Load();
    s.Init();
    const double begin = Seconds();
    s.Shutdown();
    state.SetIterationTime(Seconds() - begin);
  }
  state.counters["ini_MB"] = static_cast<double>(ini.size()) / 1e6;
}

void BM_Baseline_ReadAndWriteTheIniOnce(benchmark::State& state) {
  const std::string ini = LargePluginIni();
  BenchSession s;
  s.WriteFile("Pellix.ini", ini);
  const std::string source = s.home + "Pellix.ini", target = s.home + "copy.ini";
  std::vector<char> bytes(ini.size());
  for (auto _ : state) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t got = 0;
    for (ssize_t n; got < bytes.size() && (n = ::read(in, bytes.data() + got, bytes.size() - got)) > 0;)
      got += static_cast<std::size_t>(n);
    ::close(in);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    benchmark::DoNotOptimize(::write(out, bytes.data(), got));
    ::close(out);
  }
}

BENCHMARK(BM_Baseline_ReadAndWriteTheIniOnce)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShutdownWithLargeIni)->UseManualTime()->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
