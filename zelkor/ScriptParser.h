// The session script language: one line is one event for the host or one action on the
// plug-in's windows. Lines arrive as UTF-8; every text a command carries is converted to
// Shift-JIS here, so that a line CP932 cannot represent is refused before anything is sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "fx/Clock.h"
#include "zelkor/UiActions.h"

namespace zelkor {

// Texts below are Shift-JIS (CP932) bytes.
struct JoinCommand {
  std::string name;
  std::uint32_t ip;
  std::uint16_t port, lineType, files;
};
struct LeaveCommand {
  std::string name;
  std::uint32_t ip;
  std::uint16_t port;
};
struct RenameCommand {
  std::string oldName, newName;
  std::uint32_t ip;
  std::uint16_t port;
};
struct ChatCommand {
  std::string name, text;
  std::uint32_t flag;
};
struct SayCommand {
  std::string text;
};
struct ClockCommand {
  fx::LocalTime time;
};
struct ExitCommand {};
struct HelpCommand {};

using ScriptCommand = std::variant<JoinCommand, LeaveCommand, RenameCommand, ChatCommand, SayCommand,
                                   ClockCommand, ExitCommand, HelpCommand, UiCommand>;

struct ParsedLine {
  // Empty for a blank line or a comment.
  std::optional<ScriptCommand> command;
  // Set when the line is malformed; then `command` is empty.
  std::string error;
  bool ok() const { return error.empty(); }
};

// Parses one line (UTF-8, without its line end; a trailing CR is ignored).
ParsedLine ParseScriptLine(std::string_view line);

// A channel's event (join, leave, rename, chat) or a clock line: what goes on while a person
// holds a popup menu open. Blank lines, comments and malformed lines are not.
bool IsEventLine(std::string_view line);

// Every script line and `ui` action with its arguments and what it does, for `help` and --help.
std::string ScriptHelp();

}  // namespace zelkor
