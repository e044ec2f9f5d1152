// A small timing loop in place of Google Benchmark where the library is missing (the mingw
// build): the part of its interface the benchmarks use, the same JSON output for
// scripts/bench.sh, and a median row for a benchmark run several times. Filters match a part
// of the name, not a regular expression.
#pragma once

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace benchmark {

using IterationCount = std::int64_t;
enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond };

template <class T>
void DoNotOptimize(T&& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

inline double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

class State {
 public:
  State(IterationCount iterations, std::int64_t arg) : m_iterations(iterations), m_arg(arg) {}

  // A value with a destructor of its own, so that an unused loop variable draws no warning.
  struct Value {
    ~Value() {}
  };
  struct Iterator {
    State* state;
    IterationCount left;
    bool operator!=(const Iterator&) const {
      if (left > 0) return true;
      state->Stop();
      return false;
    }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };
  Iterator begin() {
    m_started = Now();
    return {this, m_iterations};
  }
  Iterator end() { return {this, 0}; }

  void PauseTiming() { m_measured += Now() - m_started; }
  void ResumeTiming() { m_started = Now(); }
  void SetIterationTime(double seconds) { m_manual += seconds; }
  std::int64_t range(int) const { return m_arg; }
  IterationCount iterations() const { return m_iterations; }

  std::map<std::string, double> counters;
  double measured() const { return m_measured; }
  double manual() const { return m_manual; }

 private:
  void Stop() { m_measured += Now() - m_started; }

  IterationCount m_iterations;
  std::int64_t m_arg;
  double m_started = 0, m_measured = 0, m_manual = 0;
};

class Benchmark {
 public:
  using Function = void (*)(State&);
  Benchmark(const char* name, Function function) : m_name(name), m_function(function) {}

  Benchmark* Iterations(IterationCount n) { m_iterations = n; return this; }
  Benchmark* Repetitions(int n) { m_repetitions = n; return this; }
  Benchmark* ReportAggregatesOnly(bool) { return this; }
  Benchmark* UseManualTime() { m_manualTime = true; return this; }
  Benchmark* Unit(TimeUnit unit) { m_unit = unit; return this; }
  Benchmark* Arg(std::int64_t arg) { m_args.push_back(arg); return this; }

  // Runs every argument whose name holds `filter`; prints one JSON row each.
  void Run(const std::string& filter, bool json, bool& first) const {
    const std::vector<std::int64_t> args = m_args.empty() ? std::vector<std::int64_t>{0} : m_args;
    for (const std::int64_t arg : args) {
      std::string name = m_name;
      if (!m_args.empty()) name += "/" + std::to_string(arg);
      name += "/iterations:" + std::to_string(m_iterations);
      if (m_repetitions > 1) name += "/repeats:" + std::to_string(m_repetitions);
      if (m_manualTime) name += "/manual_time";
      if (name.find(filter) == std::string::npos) continue;
      std::vector<double> times;
      std::map<std::string, double> counters;
      for (int r = 0; r < m_repetitions; ++r) {
        State state(m_iterations, arg);
        m_function(state);
        times.push_back((m_manualTime ? state.manual() : state.measured()) / static_cast<double>(m_iterations));
        counters = state.counters;
      }
      std::vector<double> sorted = times;
      for (std::size_t i = 1; i < sorted.size(); ++i)
        for (std::size_t j = i; j > 0 && sorted[j] < sorted[j - 1]; --j) std::swap(sorted[j], sorted[j - 1]);
      const double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                              : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
      const double scale = m_unit == kMillisecond ? 1e3 : m_unit == kMicrosecond ? 1e6 : 1e9;
      const char* unit = m_unit == kMillisecond ? "ms" : m_unit == kMicrosecond ? "us" : "ns";
      if (m_repetitions > 1) name += "_median";
      if (json) {
        std::printf("%s    {\"name\": \"%s\", \"aggregate_name\": \"median\", \"real_time\": %.6f, \"time_unit\": \"%s\"",
                    first ? "" : ",\n", name.c_str(), median * scale, unit);
        for (const auto& [key, value] : counters) std::printf(", \"%s\": %.6f", key.c_str(), value);
        std::printf("}");
        first = false;
      } else {
        std::printf("%-70s %14.3f %s", name.c_str(), median * scale, unit);
        for (const auto& [key, value] : counters) std::printf(" %s=%g", key.c_str(), value);
        std::printf("\n");
      }
    }
  }

 private:
  std::string m_name;
  Function m_function;
  IterationCount m_iterations = 1000;
  int m_repetitions = 1;
  bool m_manualTime = false;
  TimeUnit m_unit = kNanosecond;
  std::vector<std::int64_t> m_args;
};

inline std::vector<Benchmark*>& Registered() {
  static std::vector<Benchmark*> all;
  return all;
}

inline Benchmark* Register(const char* name, Benchmark::Function function) {
  Registered().push_back(new Benchmark(name, function));
  return Registered().back();
}

inline int RunAll(int argc, char** argv) {
  std::string filter;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0) filter = argv[i] + 19;
    if (std::strcmp(argv[i], "--benchmark_format=json") == 0) json = true;
  }
  bool first = true;
  if (json) std::printf("{\n  \"benchmarks\": [\n");
  for (const Benchmark* benchmark : Registered()) benchmark->Run(filter, json, first);
  if (json) std::printf("\n  ]\n}\n");
  return 0;
}

}  // namespace benchmark

#define PELLIX_BENCH_CONCAT2(a, b) a##b
#define PELLIX_BENCH_CONCAT(a, b) PELLIX_BENCH_CONCAT2(a, b)
#define BENCHMARK(function) \
  static ::benchmark::Benchmark* PELLIX_BENCH_CONCAT(registered_, __LINE__) = ::benchmark::Register(#function, function)
#define BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return ::benchmark::RunAll(argc, argv); }
