#include "zelkor/LiveSession.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "zelkor/irc/IrcClient.h"
#include "zelkor/irc/IrcMessage.h"
#include "zelkor/irc/Millis.h"
#include "zelkor/irc/RetryDelay.h"
#include "zelkor/irc/WireText.h"

namespace zelkor {
namespace {

using irc::Millis;
using irc::NowMillis;

// How long QUIT may take to reach the server before the session ends without it.
constexpr Millis kQuitWait = 2000;
// The loop wakes at least this often (a stop signal on Windows wakes nothing).
constexpr Millis kLongestWait = 500;
// While the connection has no socket yet (its name look-up runs), it is looked at this often.
constexpr Millis kLookupPoll = 20;
constexpr const char* kQuitReason = "Leaving";

constexpr const char* kLiveHelp =
    "On a live channel, a line you type is chat: the plug-in sees it first (#start, #event ...)\n"
    "and what it leaves goes to the channel. Host commands begin with /:\n"
    "  /quit [REASON]      leave the server and end the session (also Ctrl-C, end of input)\n"
    "  /channel [NAME]     show or change the channel typed lines go to\n"
    "  /ui ACTION ...      act on the plug-in's windows, as a script's ui lines (help lists them)\n"
    "  /help               this text\n"
    "  //TEXT              chat that begins with /\n";

class LiveSession : public irc::ClientListener, public ChannelOutput {
 public:
  LiveSession(const LiveOptions& options, SessionRunner& runner, Transcript& transcript, std::ostream& errors)
      : m_options(options),
        m_runner(runner),
        m_transcript(transcript),
        m_errors(errors),
        m_client(irc::ClientConfig{options.nick, options.channels}, *this) {}

  int Run(irc::LiveLoop& loop, const volatile std::sig_atomic_t* stop) {
    const SessionRunner::Outcome started = m_runner.Start();
    if (started.kind != SessionRunner::Outcome::Kind::Done) {
      m_errors << "zelkor: " << started.message << '\n';
      return kExitCannotRun;
    }
    m_runner.SetOutput(this);
    m_runner.SetChannelLabels(m_options.channels);
    m_runner.SetChannel(1);
    m_errors << "zelkor: the plug-in is running; what you type is chat on " << m_options.channels.front()
             << ", /help lists the host's commands, /quit ends the session.\n";
    Connect(NowMillis());
    loop.WhileMenuOpen([this] { Step(NowMillis()); });
    std::string quitReason = kQuitReason;
    for (;;) {
      if (stop != nullptr && *stop != 0) break;
      bool quit = false;
      while (auto line = loop.TakeLine()) {
        if (!Typed(*line, quitReason)) {
          quit = true;
          break;
        }
      }
      if (quit || loop.InputEnded()) break;
      Step(NowMillis());
      loop.Wait(m_connection.get(), WaitTime(NowMillis()));
    }
    loop.WhileMenuOpen(nullptr);
    Quit(loop, quitReason);
    m_runner.SetOutput(nullptr);
    m_runner.Finish();
    return kExitOk;
  }

 private:
  // What the server tells, as plug-in calls through the runner.
  void Registered(std::string_view nick) override {
    m_transcript.Line("* connected to " + Address() + " as " + std::string(nick));
    m_retry.Reset();
  }
  void Entered(ChannelId channel, const std::string& ownName, const std::string& topic) override {
    m_runner.Enter(channel, irc::WireToCp932(m_client.ChannelName(channel)), ownName, topic);
  }
  void Joined(ChannelId channel, const irc::Person& person) override {
    m_runner.Run(channel, JoinCommand{person.name, person.ip, 0, 0, 0});
  }
  void Left(ChannelId channel, const irc::Person& person) override {
    m_runner.Run(channel, LeaveCommand{person.name, person.ip, 0});
  }
  void Renamed(ChannelId channel, const irc::Person& before, const irc::Person& after) override {
    m_runner.Run(channel, RenameCommand{before.name, after.name, after.ip, 0});
  }
  void Said(ChannelId channel, const irc::Person& speaker, const std::string& text, bool op) override {
    m_runner.Run(channel, ChatCommand{speaker.name, text, op ? 1u : 0u});
  }
  void Told(std::string_view label, const std::string& text) override { m_transcript.Item(label, text); }

  // What the plug-in and the local user send.
  void Send(ChannelId channel, std::string_view cp932Text) override { m_client.Say(channel, cp932Text); }

  std::string Address() const {
    const std::string& host = m_options.server.host;
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(m_options.server.port);
  }

  void Connect(Millis now) {
    m_transcript.Line("* connecting to " + Address() + (m_options.server.tls ? " with TLS" : ""));
    m_connection = irc::Connect(m_options.server);
    m_open = false;
    Serve(now);
  }

  // The connection's work that is due: its traffic, or the next try to connect.
  void Step(Millis now) {
    if (m_connection) {
      Serve(now);
    } else if (now >= m_retryAt) {
      Connect(now);
    }
  }

  void Serve(Millis now) {
    std::string received;
    m_connection->Service(received);
    if (!m_open && m_connection->GetStatus() == irc::Connection::Status::Open) {
      m_open = true;
      m_client.Connected(now);
    }
    if (!received.empty()) {
      m_reader.Feed(received);
      while (auto line = m_reader.Next()) m_client.Received(*line, now);
    }
    if (m_connection->GetStatus() == irc::Connection::Status::Closed) return Lost(m_connection->Reason(), now);
    if (!m_open) return;
    if (!m_client.Alive(now)) return Lost("the server stopped answering", now);
    if (const std::string out = m_client.TakeOutgoing(now); !out.empty()) m_connection->Send(out);
  }

  void Lost(const std::string& reason, Millis now) {
    m_transcript.Line(m_open ? "* disconnected: " + reason : "* cannot connect to " + Address() + ": " + reason);
    m_connection.reset();
    m_open = false;
    m_client.Disconnected();
    m_reader.Reset();
    const int delay = m_retry.Next();
    m_retryAt = now + delay * Millis{1000};
    m_transcript.Line("* retry in " + std::to_string(delay) + " s");
  }

  int WaitTime(Millis now) const {
    Millis wake = now + kLongestWait;
    if (!m_connection) {
      wake = std::min(wake, m_retryAt);
    } else if (m_connection->WaitFor().handle == -1) {
      wake = std::min(wake, now + kLookupPoll);
    } else if (m_open) {
      wake = std::min(wake, m_client.NextWake(now));
    }
    return static_cast<int>(std::max<Millis>(wake - now, 0));
  }

  // A line the local user typed; false when it ends the session.
  bool Typed(std::string line, std::string& quitReason) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('/') && !line.starts_with("//")) {
      const std::size_t space = std::min(line.find(' '), line.size());
      const std::string command = line.substr(0, space);
      const std::string rest = space < line.size() ? line.substr(space + 1) : std::string();
      if (command == "/quit") {
        if (!rest.empty()) quitReason = rest;
        return false;
      }
      if (command == "/help") {
        m_errors << kLiveHelp;
      } else if (command == "/ui") {
        Report(m_runner.RunLine("ui " + rest));
      } else if (command == "/channel") {
        ChooseChannel(rest);
      } else {
        m_errors << "zelkor: unknown command " << command << " (/help lists them)\n";
      }
      return true;
    }
    if (line.starts_with("//")) line.erase(0, 1);
    if (!line.empty()) Report(m_runner.RunLine("say " + line));
    return true;
  }

  void Report(const SessionRunner::Outcome& outcome) {
    if (outcome.kind == SessionRunner::Outcome::Kind::Help) m_errors << outcome.message;
    if (outcome.kind == SessionRunner::Outcome::Kind::BadLine || outcome.kind == SessionRunner::Outcome::Kind::CannotRun)
      m_errors << "zelkor: " << outcome.message << '\n';
  }

  void ChooseChannel(const std::string& name) {
    const std::vector<std::string>& channels = m_options.channels;
    if (!name.empty()) {
      const auto found = std::find(channels.begin(), channels.end(), name);
      if (found == channels.end()) {
        m_errors << "zelkor: not on " << name << "; the channels are the ones given with --channel\n";
        return;
      }
      m_channel = static_cast<ChannelId>(found - channels.begin()) + 1;
      m_runner.SetChannel(m_channel);
    }
    m_errors << "zelkor: typed lines go to " << channels[m_channel - 1] << '\n';
  }

  void Quit(irc::LiveLoop& loop, const std::string& reason) {
    m_transcript.Line("* quit");
    if (m_connection && m_open) {
      m_client.Quit(reason);
      m_connection->Send(m_client.TakeOutgoing(NowMillis()));
      // Until the server closes the connection on our QUIT, or the wait is over.
      const Millis deadline = NowMillis() + kQuitWait;
      std::string ignored;
      while (m_connection->GetStatus() != irc::Connection::Status::Closed && NowMillis() < deadline) {
        loop.Wait(m_connection.get(), 50);
        m_connection->Service(ignored);
        ignored.clear();
      }
    }
    if (const std::size_t unsent = m_client.QueuedLines(); unsent > 0)
      m_transcript.Line("* " + std::to_string(unsent) + (unsent == 1 ? " line" : " lines") + " not sent");
    m_connection.reset();
  }

  const LiveOptions& m_options;
  SessionRunner& m_runner;
  Transcript& m_transcript;
  std::ostream& m_errors;
  irc::IrcClient m_client;
  irc::LineReader m_reader;
  irc::RetryDelay m_retry;
  std::unique_ptr<irc::Connection> m_connection;
  bool m_open = false;
  Millis m_retryAt = 0;
  ChannelId m_channel = 1;
};

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<irc::Endpoint> ParseServerAddress(std::string_view text, bool tls, std::string& error) {
  irc::Endpoint endpoint;
  endpoint.tls = tls;
  endpoint.port = tls ? 6697 : 6667;
  std::string_view host = text, port;
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || (close + 1 < text.size() && text[close + 1] != ':')) {
      error = "bad server address " + std::string(text) + ": an IPv6 address goes in [brackets], then :PORT";
      return std::nullopt;
    }
    host = text.substr(1, close - 1);
    if (close + 1 < text.size()) port = text.substr(close + 2);
    if (close + 1 < text.size() && port.empty()) port = "-";
  } else if (std::count(text.begin(), text.end(), ':') == 1) {
    host = text.substr(0, text.find(':'));
    port = text.substr(text.find(':') + 1);
    if (port.empty()) port = "-";
  }
  const bool hostOk = !host.empty() && host.size() <= 253 && std::none_of(host.begin(), host.end(), [](char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '@' || c == '[' || c == ']';
  });
  if (!hostOk) {
    error = "bad server address " + std::string(text) + ": give HOST or HOST:PORT";
    return std::nullopt;
  }
  if (!port.empty()) {
    unsigned value = 0;
    const bool digits = IsDigits(port) && port.size() <= 5;
    if (digits) std::from_chars(port.data(), port.data() + port.size(), value);
    if (!digits || value == 0 || value > 65535) {
      error = "bad port in " + std::string(text) + ": a number from 1 to 65535";
      return std::nullopt;
    }
    endpoint.port = static_cast<std::uint16_t>(value);
  }
  endpoint.host = std::string(host);
  return endpoint;
}

std::string CheckChannelName(std::string_view name) {
  if (name.size() < 2 || std::string_view("#&+!").find(name.front()) == std::string_view::npos)
    return "a channel name begins with # (or &, +, !), as #pellix, not " + std::string(name);
  if (name.size() > 50) return "the channel name " + std::string(name) + " is longer than the 50 bytes servers take";
  if (std::any_of(name.begin(), name.end(), [](char c) { return c == ',' || c == '\x07' || static_cast<unsigned char>(c) <= ' '; }))
    return "a channel name has no blank, comma or control character: " + std::string(name);
  if (!irc::IsUtf8(name)) return "the channel name is not UTF-8: " + std::string(name);
  return {};
}

std::string CheckNick(std::string_view nick) {
  const auto special = [](char c) { return std::string_view("[]\\`_^{|}").find(c) != std::string_view::npos; };
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const bool ok = !nick.empty() && nick.size() <= 30 && (letter(nick.front()) || special(nick.front())) &&
                  std::all_of(nick.begin(), nick.end(), [&](char c) { return letter(c) || digit(c) || special(c) || c == '-'; });
  if (ok) return {};
  return "a nick is 1 to 30 letters, digits and []\\`_^{|}- not beginning with a digit or -, as pellix; not " +
         std::string(nick);
}

int RunLive(const LiveOptions& options, SessionRunner& runner, Transcript& transcript, irc::LiveLoop& loop,
            std::ostream& errors, const volatile std::sig_atomic_t* stop) {
  LiveSession session(options, runner, transcript, errors);
  return session.Run(loop, stop);
}

std::string LiveHelp() { return kLiveHelp; }

}  // namespace zelkor
