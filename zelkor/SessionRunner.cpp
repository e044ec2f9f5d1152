#include "zelkor/SessionRunner.h"

#include <cstdio>
#include <type_traits>

#include "fx/Clock.h"
#include "fx/Profile.h"
#include "fx/Testing.h"
#include "zelkor/DottedIp.h"
#include "zelkor/UiActions.h"

namespace zelkor {
namespace {

namespace ft = fx::testing;
using Outcome = SessionRunner::Outcome;

Outcome BadLine(std::string message) { return Outcome{Outcome::Kind::BadLine, std::move(message)}; }

// The host's echo lines end in CR LF, which the transcript's own line end replaces.
std::string_view WithoutLineEnd(std::string_view text) {
  if (text.ends_with("\r\n")) text.remove_suffix(2);
  else if (text.ends_with("\n")) text.remove_suffix(1);
  return text;
}

void DescribeMenu(Transcript& transcript, const ft::OpenMenu& menu) {
  transcript.Line("[menu]");
  for (const auto& item : menu.items) {
    if (item.command == 0) {
      transcript.Line("  ---");
    } else {
      transcript.Item("  " + std::to_string(item.command), item.text);
    }
  }
}

}  // namespace

SessionRunner::SessionRunner(std::string pluginPath, Transcript& transcript, ConsoleDesktop& desktop)
    : m_pluginPath(std::move(pluginPath)), m_transcript(transcript), m_desktop(desktop), m_host(*this) {}

SessionRunner::~SessionRunner() { Finish(); }

Outcome SessionRunner::Start() {
  if (m_started) return {};
  if (m_finished) return Outcome{Outcome::Kind::CannotRun, "the session has ended"};
  fx::SetDesktop(&m_desktop);
  fx::ProfileForgetCache();
  std::string error;
  if (!m_host.Load(m_pluginPath, error)) {
    fx::SetDesktop(nullptr);
    return Outcome{Outcome::Kind::CannotRun, "cannot load the plug-in " + m_pluginPath + ": " + error};
  }
  m_started = true;
  m_transcript.Item("* loaded", m_host.Title());
  m_host.Init();
  return {};
}

void SessionRunner::Finish() {
  if (m_finished) return;
  m_finished = true;
  if (!m_started) return;
  ft::DismissMenu();
  m_host.Shutdown();
  fx::SetDesktop(nullptr);
  m_transcript.Line("* shut down");
}

Outcome SessionRunner::RunLine(std::string_view utf8Line) {
  ParsedLine parsed = ParseScriptLine(utf8Line);
  if (!parsed.ok()) return BadLine(parsed.error);
  if (!parsed.command) return {};
  const ScriptCommand& command = *parsed.command;
  if (std::holds_alternative<HelpCommand>(command)) return Outcome{Outcome::Kind::Help, ScriptHelp()};
  if (m_finished) return Outcome{Outcome::Kind::CannotRun, "the session has ended"};
  if (const auto* clock = std::get_if<ClockCommand>(&command)) {
    fx::SetFixedLocalTime(clock->time);
    return {};
  }
  return Run(m_channel, command);
}

Outcome SessionRunner::Run(ChannelId channel, const ScriptCommand& command) {
  if (m_finished) return Outcome{Outcome::Kind::CannotRun, "the session has ended"};
  if (Outcome started = Start(); started.kind != Outcome::Kind::Done) return started;
  const ChannelId typedTo = m_channel;
  m_channel = channel;
  LabelFor(channel);
  const bool menuWasOpen = ft::CurrentMenu().has_value();
  Outcome outcome = Execute(command);
  if (outcome.kind == Outcome::Kind::Done) ShowOpenedMenu(menuWasOpen, command);
  m_channel = typedTo;
  LabelFor(0);
  return outcome;
}

void SessionRunner::Enter(ChannelId channel, std::string_view cp932ChannelName, std::string_view ownName,
                          std::string_view topic) {
  if (!m_started || m_finished) return;
  LabelFor(channel);
  std::string line = std::string(cp932ChannelName) + " as " + std::string(ownName);
  if (!topic.empty()) line += " (topic: " + std::string(topic) + ")";
  m_transcript.Item("* joined", line);
  m_host.Enter(channel, ownName, topic);
  LabelFor(0);
}

void SessionRunner::LabelFor(ChannelId channel) {
  const bool labelled = m_labels.size() > 1 && channel >= 1 && channel <= m_labels.size();
  m_transcript.SetPrefix(labelled ? "[" + m_labels[channel - 1] + "] " : std::string());
}

Outcome SessionRunner::Execute(const ScriptCommand& command) {
  return std::visit(
      [&](const auto& c) -> Outcome {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, JoinCommand>) {
          m_transcript.Item("* join", c.name + " " + FormatDottedIp(c.ip) + ":" + std::to_string(c.port) + " line " +
                                          std::to_string(c.lineType) + " files " + std::to_string(c.files));
          m_host.Join(m_channel, c.name, c.ip, c.port, c.lineType, c.files);
        } else if constexpr (std::is_same_v<T, LeaveCommand>) {
          m_transcript.Item("* leave", c.name + " " + FormatDottedIp(c.ip) + ":" + std::to_string(c.port));
          m_host.Leave(m_channel, c.name, c.ip, c.port);
        } else if constexpr (std::is_same_v<T, RenameCommand>) {
          m_transcript.Item("* rename",
                            c.oldName + " -> " + c.newName + " " + FormatDottedIp(c.ip) + ":" + std::to_string(c.port));
          m_host.Rename(m_channel, c.oldName, c.newName, c.ip, c.port);
        } else if constexpr (std::is_same_v<T, ChatCommand>) {
          m_transcript.Item("<" + OneLineUtf8(c.name) + (c.flag != 0 ? ">!" : ">"), c.text);
          m_host.Chat(m_channel, c.name, c.text, c.flag);
        } else if constexpr (std::is_same_v<T, SayCommand>) {
          const std::optional<std::string> sent = m_host.Say(m_channel, c.text);
          if (sent) {
            m_transcript.Item(">", *sent);
            if (m_output != nullptr) m_output->Send(m_channel, *sent);
          } else {
            m_transcript.Item("[not sent]", c.text);
          }
        } else if constexpr (std::is_same_v<T, ExitCommand>) {
          // As the host's own exit: the save, then the windows and the module go.
          m_transcript.Line("* exit");
          Finish();
          return Outcome{Outcome::Kind::Ended, {}};
        } else if constexpr (std::is_same_v<T, UiCommand>) {
          if (UiFailure failure = RunUiCommand(c, m_transcript, m_desktop)) return BadLine(std::move(*failure));
        }
        return {};
      },
      command);
}

// A person sees a popup menu when it opens; the transcript shows it then.
void SessionRunner::ShowOpenedMenu(bool menuWasOpen, const ScriptCommand& command) {
  const auto menu = ft::CurrentMenu();
  if (!menu) return;
  const auto* ui = std::get_if<UiCommand>(&command);
  const bool mayReopen = ui != nullptr && ui->action->mayReopenMenu;
  if (!menuWasOpen || mayReopen) DescribeMenu(m_transcript, *menu);
}

void SessionRunner::InputMessage(ChannelId channel, std::string_view text) {
  m_transcript.Item("[sent]", text);
  if (m_output != nullptr) m_output->Send(channel, text);
}

void SessionRunner::EchoText(ChannelId, std::string_view text, std::uint32_t colour) {
  char label[32];
  std::snprintf(label, sizeof label, "[echo #%06X]", static_cast<unsigned>(colour));
  m_transcript.Item(label, WithoutLineEnd(text));
}

int RunScript(std::istream& in, SessionRunner& runner, std::ostream& errors, const ScriptOptions& options) {
  auto stopped = [&]() { return options.stop != nullptr && *options.stop != 0; };
  if (options.interactive) {
    const Outcome started = runner.Start();
    if (started.kind != Outcome::Kind::Done) {
      errors << "zelkor: " << started.message << '\n';
      return kExitCannotRun;
    }
    errors << "zelkor: the plug-in is running, with its windows and any start-up recording.\n"
              "zelkor: type script lines (help lists them); exit or Ctrl-D ends the session.\n";
  }
  std::string line;
  long exitLine = 0;  // the line that ended the session
  for (long read = 1; !stopped(); ++read) {
    if (options.interactive) errors << "zelkor> " << std::flush;
    if (!std::getline(in, line)) break;
    const long aside = options.linesRunAside ? *options.linesRunAside : 0;
    const long number = read + aside;
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);  // a byte-order mark
    if (exitLine != 0) {
      const ParsedLine parsed = ParseScriptLine(line);
      if (parsed.ok() && !parsed.command) continue;  // blank or a comment
      errors << "zelkor: line " << number << ": ignored: the session ended with exit on line " << exitLine << '\n';
      continue;
    }
    // At a terminal a line beginning with "#" is what the person types into the chat input;
    // comment lines are for script files.
    if (options.interactive && line.starts_with('#')) line.insert(0, "say ");
    const Outcome outcome = runner.RunLine(line);
    switch (outcome.kind) {
      case Outcome::Kind::Done:
        continue;
      case Outcome::Kind::Help:
        errors << outcome.message;
        continue;
      case Outcome::Kind::Ended:
        exitLine = number;
        if (options.interactive || options.endAtExit) return kExitOk;
        continue;
      case Outcome::Kind::CannotRun:
        errors << "zelkor: " << outcome.message << '\n';
        runner.Finish();
        return kExitCannotRun;
      case Outcome::Kind::BadLine:
        break;
    }
    errors << "zelkor: line " << number << ": " << outcome.message << '\n';
    if (!options.interactive) {
      runner.Finish();
      return kExitBadInput;
    }
  }
  if (stopped() && options.interactive) errors << '\n';  // off the prompt line
  if (exitLine != 0) return kExitOk;
  if (stopped() && !runner.Started()) {
    runner.Finish();
    return kExitOk;
  }
  // A script of clock lines and comments still runs the plug-in's start and end.
  const Outcome started = runner.Start();
  if (started.kind != Outcome::Kind::Done) {
    errors << "zelkor: " << started.message << '\n';
    return kExitCannotRun;
  }
  runner.Finish();
  return kExitOk;
}

}  // namespace zelkor
