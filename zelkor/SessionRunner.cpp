#include "zelkor/SessionRunner.h"

#include <cstdio>
#include <filesystem>
#include <type_traits>

#include "fx/App.h"
#include "fx/Clock.h"
#include "fx/Profile.h"
#include "fx/Sjis.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"
#include "zelkor/DottedIp.h"

namespace zelkor {
namespace {

namespace fs = std::filesystem;
namespace ft = fx::testing;
using Outcome = SessionRunner::Outcome;

Outcome BadLine(std::string message) { return Outcome{Outcome::Kind::BadLine, std::move(message)}; }

constexpr const char* kMenusOnScreen = "popup menus are on the screen (--desktop screen): choose there";

std::string WindowName(int templateId) { return "window " + std::to_string(templateId); }

// The host's echo lines end in CR LF, which the transcript's own line end replaces.
std::string_view WithoutLineEnd(std::string_view text) {
  if (text.ends_with("\r\n")) text.remove_suffix(2);
  else if (text.ends_with("\n")) text.remove_suffix(1);
  return text;
}

// The picker hands back full paths without a trailing separator; so does the script.
std::optional<std::string> FullFolderPath(const std::string& cp932Path) {
  fs::path path = fs::absolute(fs::path(fx::sjis::ToUtf8(cp932Path))).lexically_normal();
  std::string text = path.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return fx::sjis::FromUtf8(text);
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
          return ExecuteUi(c);
        }
        return {};
      },
      command);
}

Outcome SessionRunner::ExecuteUi(const UiCommand& ui) {
  switch (ui.action) {
    case UiAction::Menu: {
      if (m_desktop.PopupMenusOnScreen()) return BadLine(kMenusOnScreen);
      if (!ft::CurrentMenu()) return BadLine("no popup menu is open");
      if (!ft::ChooseMenuItem(static_cast<UINT>(ui.row)))
        return BadLine("the open menu has no command " + std::to_string(ui.row));
      fx::PumpMessages();
      return {};
    }
    case UiAction::Dismiss:
      if (m_desktop.PopupMenusOnScreen()) return BadLine(kMenusOnScreen);
      if (!ft::CurrentMenu()) return BadLine("no popup menu is open");
      ft::DismissMenu();
      return {};
    case UiAction::Folder: {
      std::optional<std::string> answer;
      if (!ui.cancel) {
        answer = FullFolderPath(ui.text);
        if (!answer) return BadLine("the folder's full path cannot be written in Shift-JIS (CP932)");
      }
      if (!m_desktop.QueueFolderAnswer(std::move(answer)))
        return BadLine("the folder picker is on the screen (--desktop screen): choose the folder there");
      return {};
    }
    case UiAction::Where:
      ReportWhere(ui);
      return {};
    case UiAction::Show:
      if (ui.all) {
        for (HWND window : ft::TopLevelWindows())
          if (ft::TemplateIdOf(window) >= 0) m_transcript.Picture(ft::Describe(window));
        return {};
      }
      break;
    default:
      break;
  }

  const HWND dialog = ft::FindDialog(ui.dialog);
  if (dialog == nullptr) return BadLine("no window made from template " + std::to_string(ui.dialog));
  if (ui.action == UiAction::Show) {
    std::string picture = ft::Describe(dialog);
    // A tab page has no caption of its own; name it by its template.
    if (picture.starts_with("[]")) picture.replace(0, 2, "[page " + std::to_string(ui.dialog) + "]");
    m_transcript.Picture(picture);
    return {};
  }
  const bool needsControl = ui.action != UiAction::Enter && ui.action != UiAction::Escape &&
                            ui.action != UiAction::Close && ui.action != UiAction::Resize;
  if (needsControl && ft::FindControl(dialog, ui.control) == nullptr)
    return BadLine(WindowName(ui.dialog) + " has no control " + std::to_string(ui.control));

  bool done = false;
  switch (ui.action) {
    case UiAction::Click: done = ft::Click(dialog, ui.control); break;
    case UiAction::Type: done = ft::TypeText(dialog, ui.control, ui.text); break;
    case UiAction::Clear: done = ft::ClearText(dialog, ui.control); break;
    case UiAction::Row: done = ft::ClickRow(dialog, ui.control, ui.row, ui.column, ui.keys); break;
    case UiAction::RightClick: done = ft::RightClickRow(dialog, ui.control, ui.row, ui.column); break;
    case UiAction::DoubleClick: done = ft::DoubleClickRow(dialog, ui.control, ui.row, ui.column); break;
    case UiAction::Key: done = ft::SelectRowByKeyboard(dialog, ui.control, ui.row); break;
    case UiAction::PressKey: done = ft::PressKey(dialog, ui.control, ui.key, ui.keys); break;
    case UiAction::Tab: done = ft::SelectTab(dialog, ui.control, ui.row); break;
    case UiAction::Pick: done = ft::PickComboItem(dialog, ui.control, ui.row); break;
    case UiAction::Enter: done = ft::PressEnter(dialog); break;
    case UiAction::Escape: done = ft::PressEscape(dialog); break;
    case UiAction::Close: done = ft::CloseBox(dialog); break;
    case UiAction::Resize: done = ft::Resize(dialog, ui.row, ui.column); break;
    case UiAction::Columns: done = ft::SetColumnOrder(dialog, ui.control, ui.order); break;
    default: break;
  }
  fx::PumpMessages();
  if (!done) {
    const std::string target = needsControl ? " control " + std::to_string(ui.control) + " of " : " ";
    return BadLine("cannot act on" + target + WindowName(ui.dialog) +
                   ": hidden, read-only, or no such row, column, tab or item");
  }
  return {};
}

// Where a window or control is on the screen, for a tool outside that clicks or types there.
// Something that is not on the screen is said so on the same line, and the run goes on.
void SessionRunner::ReportWhere(const UiCommand& ui) {
  const std::string dialogId = std::to_string(ui.dialog);
  const std::string label = "[where " + dialogId + (ui.control >= 0 ? " " + std::to_string(ui.control) : "") + "] ";
  const HWND dialog = ft::FindDialog(ui.dialog);
  if (dialog == nullptr) return m_transcript.Line(label + "no window made from template " + dialogId);
  HWND target = dialog;
  if (ui.control >= 0) {
    target = ft::FindControl(dialog, ui.control);
    if (target == nullptr) return m_transcript.Line(label + WindowName(ui.dialog) + " has no control " + std::to_string(ui.control));
  }
  if (!ft::IsVisible(target)) return m_transcript.Line(label + "hidden: not on the screen");
  RECT rect{};
  CWnd::FromHandle(target)->GetWindowRect(&rect);
  m_transcript.Line(label + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                    std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
}

// A person sees a popup menu when it opens; the transcript shows it then.
void SessionRunner::ShowOpenedMenu(bool menuWasOpen, const ScriptCommand& command) {
  const auto menu = ft::CurrentMenu();
  if (!menu) return;
  const auto* ui = std::get_if<UiCommand>(&command);
  const bool mayReopen = ui != nullptr && ui->action != UiAction::Show && ui->action != UiAction::Folder;
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
