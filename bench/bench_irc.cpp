// The host's own work for each chat line it receives from a live channel, before the plug-in is
// called: the bytes read from the socket framed into lines, the line parsed, and the client's
// mapping of a channel PRIVMSG to the speaker's name and the text in Shift-JIS, as
// LiveSession::Serve does it. An ASCII line and a Japanese UTF-8 line of about 60 characters,
// each with a URL. The plug-in's own cost of the same event is P1 (bench_chat). The stages on
// their own come after, to show where the time goes.
#include "Benchmark.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "zelkor/irc/IrcClient.h"
#include "zelkor/irc/IrcMessage.h"
#include "zelkor/irc/WireText.h"

namespace irc = zelkor::irc;

namespace {

constexpr std::size_t kDistinctLines = 1024;  // varied, so that no branch learns one line
constexpr irc::Millis kNow = 5'000'000;
constexpr const char* kSpeakerPrefix = ":taro!~taro@192.0.2.45";

// u8 literals stay UTF-8 whatever the narrow execution character set (CP932 here).
std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

enum Kind : std::int64_t { kAscii = 0, kJapanese = 1 };

// The chat texts as they arrive on the wire (UTF-8), each with its own number in the URL.
std::vector<std::string> Texts(Kind kind) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < kDistinctLines; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%04zu", i);
    const std::string url = "http://example.com/logs/" + std::string(number) + ".html";
    texts.push_back(kind == kAscii ? "today's log is at " + url + ", see you there"
                                   : Utf8(u8"今日のログは ") + url + Utf8(u8" にあります。明日の会議は十時からです"));
  }
  return texts;
}

// The bytes the server relays for each text, line end included.
std::vector<std::string> WireLines(Kind kind) {
  std::vector<std::string> lines;
  for (const std::string& text : Texts(kind)) lines.push_back(std::string(kSpeakerPrefix) + " PRIVMSG #pellix :" + text + "\r\n");
  return lines;
}

// Keeps what the plug-in would be handed alive, and counts it: a line that never became a chat
// event would make the figure meaningless.
class KeepAlive : public irc::ClientListener {
 public:
  std::size_t said = 0;

  void Said(ChannelId, const irc::Person& speaker, const std::string& text, bool op) override {
    benchmark::DoNotOptimize(speaker.name.data());
    benchmark::DoNotOptimize(speaker.ip);
    benchmark::DoNotOptimize(text.data());
    benchmark::DoNotOptimize(op);
    ++said;
  }
  void Registered(std::string_view) override {}
  void Entered(ChannelId, const std::string&, const std::string&) override {}
  void Joined(ChannelId, const irc::Person&) override {}
  void Left(ChannelId, const irc::Person&) override {}
  void Renamed(ChannelId, const irc::Person&, const irc::Person&) override {}
  void Told(std::string_view, const std::string&) override {}
};

// A client registered and in #pellix with a dozen people, the speaker's ident@host known from
// WHO, as it is once the channel has been entered.
struct JoinedClient {
  KeepAlive listener;
  irc::IrcClient client{irc::ClientConfig{"pellix", {"#pellix"}}, listener};
  irc::LineReader reader;

  JoinedClient() {
    client.Connected(kNow);
    for (const char* line : {":srv 001 pellix :Welcome to the net pellix!~pellix@127.0.0.1",
                             ":pellix!~pellix@127.0.0.1 JOIN #pellix",
                             ":srv 353 pellix = #pellix :pellix @taro hanako jiro +saburo shiro goro rokuro "
                             "nana hachi kyu ju",
                             ":srv 366 pellix #pellix :End of /NAMES list.",
                             ":srv 352 pellix #pellix ~taro 192.0.2.45 srv taro H@ :0 Taro"})
      client.Received(line, kNow);
    client.TakeOutgoing(kNow);
    if (!client.IsRegistered()) Fail("the client did not register");
  }

  [[noreturn]] static void Fail(const char* why) {
    std::fprintf(stderr, "bench_irc: %s\n", why);
    std::abort();
  }
};

// What the session does with the bytes of one read (here one line, as a paced channel sends
// them). Not inlined, so that callgrind can count it alone (--toggle-collect='*ReceiveBytes*').
[[gnu::noinline]] void ReceiveBytes(JoinedClient& c, std::string_view bytes) {
  c.reader.Feed(bytes);
  while (auto line = c.reader.Next()) c.client.Received(*line, kNow);
}

void RunHostLine(benchmark::State& state, Kind kind) {
  JoinedClient c;
  const std::vector<std::string> lines = WireLines(kind);
  std::size_t i = 0;
  for (auto _ : state) ReceiveBytes(c, lines[i++ % kDistinctLines]);
  if (c.listener.said != static_cast<std::size_t>(state.iterations())) JoinedClient::Fail("a line did not become a chat event");
  state.counters["wire_bytes"] = static_cast<double>(lines[0].size());
}

void BM_HostLine_Ascii(benchmark::State& state) { RunHostLine(state, kAscii); }
void BM_HostLine_Japanese(benchmark::State& state) { RunHostLine(state, kJapanese); }

void BM_Stage_Framing(benchmark::State& state) {
  const std::vector<std::string> lines = WireLines(static_cast<Kind>(state.range(0)));
  irc::LineReader reader;
  std::size_t i = 0;
  for (auto _ : state) {
    reader.Feed(lines[i++ % kDistinctLines]);
    while (auto line = reader.Next()) benchmark::DoNotOptimize(line->data());
  }
}

void BM_Stage_Parse(benchmark::State& state) {
  std::vector<std::string> lines = WireLines(static_cast<Kind>(state.range(0)));
  for (std::string& line : lines) line.resize(line.size() - 2);
  std::size_t i = 0;
  for (auto _ : state) {
    const auto message = irc::ParseLine(lines[i++ % kDistinctLines]);
    const irc::Prefix from = irc::SplitPrefix(message->prefix);
    benchmark::DoNotOptimize(message->params.data());
    benchmark::DoNotOptimize(from.host.data());
  }
}

void BM_Stage_TextConversion(benchmark::State& state) {
  const std::vector<std::string> texts = Texts(static_cast<Kind>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string cp932 = irc::WireToCp932(irc::WithoutFormatting(texts[i++ % kDistinctLines]));
    benchmark::DoNotOptimize(cp932.data());
  }
}

constexpr benchmark::IterationCount kLines = 100000;

BENCHMARK(BM_HostLine_Ascii)->Iterations(kLines)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HostLine_Japanese)->Iterations(kLines)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Stage_Framing)->Arg(kAscii)->Arg(kJapanese)->Iterations(kLines)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Stage_Parse)->Arg(kAscii)->Arg(kJapanese)->Iterations(kLines)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Stage_TextConversion)->Arg(kAscii)->Arg(kJapanese)->Iterations(kLines)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
