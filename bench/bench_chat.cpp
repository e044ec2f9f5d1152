// P1: one chat line through the loaded plug-in's OnChatMessage: two URLs collected and logged,
// the chat record, the administrative check and 99 keyword rules (none matching, or all), into
// an HTML log with the time prefix and one write per record line, then the message queue read
// as the host reads it after every event. Baseline, in the same run: a bare write(2) of the
// very bytes the plug-in wrote, one call per record line.
#include "Benchmark.h"
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSession.h"
#include "fx/App.h"

namespace {

constexpr int kRules = 99;
constexpr std::size_t kDistinctLines = 1024;  // well beyond the collector's 20, so no URL is a duplicate
constexpr const char* kSpeaker = "ゲスト太郎#0A1B2C3D";

std::vector<std::string> ChatLines() {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < kDistinctLines; ++i) {
    char line[256];
    std::snprintf(line, sizeof line, "今日のログは http://example.com/logs/%04zu.html と www.example.org/pellix/%04zu/ にあります (Pellix)", i, i);
    lines.emplace_back(line);
  }
  return lines;
}

void StartRecordingSession(BenchSession& s, bool rulesMatch) {
  s.WriteFile("Zelkor.ini", FullHostIni());
  s.WriteFile("Pellix.ini", FullPluginIni(kRules, rulesMatch));
  s.Load();
  s.Init();
}

void RunChat(benchmark::State& state, bool rulesMatch) {
  BenchSession s;
  StartRecordingSession(s, rulesMatch);
  const std::vector<std::string> lines = ChatLines();
  CZelkorPlugin& plugin = s.plugin();
  std::size_t i = 0;
  // As zelkor does after every event: the windows then do what the line asked of them (under
  // Win32, lay out and paint the event list's new rows), within the line's time.
  for (auto _ : state) {
    plugin.OnChatMessage(1, kSpeaker, lines[i++ % kDistinctLines].c_str(), 0);
    fx::PumpMessages();
  }
  state.counters["sent_per_line"] = static_cast<double>(s.sentLines) / static_cast<double>(state.iterations());
}

void BM_ChatLine_NoRuleMatches(benchmark::State& state) { RunChat(state, false); }
void BM_ChatLine_AllRulesMatch(benchmark::State& state) { RunChat(state, true); }

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The record lines the plug-in writes for each chat line, captured from a real log.
std::vector<std::vector<std::string>> RecordLinesPerChatLine() {
  BenchSession s;
  StartRecordingSession(s, false);
  for (const std::string& line : ChatLines()) s.plugin().OnChatMessage(1, kSpeaker, line.c_str(), 0);
  const std::filesystem::path path = s.LogFilePath();
  s.Shutdown();
  std::string log = ReadAll(path);
  log.erase(0, log.find("</style>\r\n") + 10);
  std::vector<std::string> records;
  for (std::size_t start = 0; start < log.size();) {
    const std::size_t end = log.find("\r\n", start) + 2;
    records.push_back(log.substr(start, end - start));
    start = end;
  }
  const std::size_t perLine = records.size() / kDistinctLines;
  if (perLine == 0) {
    std::fprintf(stderr, "no record lines were read back from the log\n");
    std::abort();
  }
  std::vector<std::vector<std::string>> grouped(kDistinctLines);
  for (std::size_t i = 0; i < records.size(); ++i) grouped[i / perLine].push_back(records[i]);
  return grouped;
}

void BM_Baseline_WriteSameBytes(benchmark::State& state) {
  const auto grouped = RecordLinesPerChatLine();
  BenchSession s;  // the same kind of folder the plug-in writes into
#ifdef _WIN32
  constexpr int kFlags = O_BINARY;
#else
  constexpr int kFlags = O_CLOEXEC;
#endif
  const int fd = ::open((s.home + "baseline.html").c_str(), O_WRONLY | O_APPEND | O_CREAT | kFlags, 0644);
  std::size_t i = 0, bytes = 0;
  for (auto _ : state) {
    for (const std::string& record : grouped[i++ % kDistinctLines]) {
      bytes += record.size();
      benchmark::DoNotOptimize(::write(fd, record.data(), record.size()));
    }
  }
  ::close(fd);
  state.counters["writes_per_line"] = static_cast<double>(grouped[0].size());
  state.counters["bytes_per_line"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

// Fixed iteration counts keep the event list (three rows per line) at a realistic size.
// PELLIX_BENCH_LINES lowers them for a run under valgrind, whose instruction counts are
// divided by the lines run.
benchmark::IterationCount LinesPerRun() {
  const char* lines = std::getenv("PELLIX_BENCH_LINES");
  const long long wanted = lines ? std::atoll(lines) : 0;
  return wanted > 0 ? static_cast<benchmark::IterationCount>(wanted) : 100000;
}

BENCHMARK(BM_Baseline_WriteSameBytes)->Iterations(LinesPerRun())->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ChatLine_NoRuleMatches)->Iterations(LinesPerRun())->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ChatLine_AllRulesMatch)->Iterations(LinesPerRun())->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
