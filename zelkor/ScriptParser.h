// The session script language: one line is one event for the host or one action on the
// plug-in's windows. Lines arrive as UTF-8; every text a command carries is converted to
// Shift-JIS here, so that a line CP932 cannot represent is refused before anything is sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fx/Clock.h"
#include "fx/Testing.h"

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

// Driver actions; `dialog` is the template id of the window acted on.
enum class UiAction {
  Show,       // dialog, or all plug-in windows when `all`
  Click,      // dialog control
  Type,       // dialog control text
  Clear,      // dialog control
  Row,        // dialog control row [column], with keys
  RightClick, // dialog control row [column]
  DoubleClick,// dialog control row [column]
  Key,        // dialog control row: the list's selection moved with the keyboard
  PressKey,   // dialog control key
  Tab,        // dialog control index
  Pick,       // dialog control index
  Enter,      // dialog
  Escape,     // dialog
  Close,      // dialog
  Resize,     // dialog width height
  Menu,       // command
  Dismiss,    // closes the open popup menu
  Folder,     // text, or cancel when `cancel`
  Columns,    // dialog control order...
  Where,      // dialog [control]; control -1 for the window itself
};
using UiKeys = fx::testing::Keys;
using UiKey = fx::testing::Key;

struct UiCommand {
  UiAction action;
  int dialog = 0;
  int control = 0;
  int row = 0;     // also the tab or combo index, the width, or the menu command
  int column = 0;  // also the height
  UiKeys keys = UiKeys::None;
  UiKey key = UiKey::Enter;
  bool all = false;
  bool cancel = false;
  std::string text;
  std::vector<int> order;
};

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
