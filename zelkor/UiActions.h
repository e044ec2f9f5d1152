// The `ui` actions of the session script, as one table: each action's name, its typed
// arguments, its help line and what it does. The parser reads the arguments by their types,
// `help` lists the table, and the runner runs an entry after the checks its arguments imply.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fx/Testing.h"

namespace zelkor {

class ConsoleDesktop;
class Transcript;

using UiKeys = fx::testing::Keys;
using UiKey = fx::testing::Key;

// What an argument is, and so how it is read and which of UiValues it fills.
enum class UiArgumentKind {
  Window,       // a template id: `window`
  WindowOrAll,  // a template id, or `all` for every plug-in window: `window` or `all`
  Control,      // a control id in that window: `control`
  Row,          // a list row, -1 for the space below the rows: `row`
  Column,       // a list column: `column`
  Index,        // a tab or combo-box item: `index`
  Width,        // a client width: `width`
  Height,       // a client height: `height`
  Command,      // a popup menu's command id: `command`
  Text,         // the rest of the line, as it is: `text`
  KeyOrRow,     // a key with its modifiers: `key`; or a list row: `row`
  Folder,       // the rest of the line, a path or `cancel`: `folder`
  Columns,      // column indexes up to the end of the line, at least one: `order`
};

struct UiArgument {
  UiArgumentKind kind;
  const char* name;  // as usages and messages name it: DIALOG, LIST, ROW ...
  bool optional = false;
};

struct UiKeyPress {
  UiKey key;
  UiKeys held;
};

// An action's parsed arguments (texts in Shift-JIS). Only the fields its arguments name are set.
struct UiValues {
  std::optional<int> window;   // set: the window must exist before the action runs
  bool all = false;
  std::optional<int> control;  // set: the control must exist too
  int row = 0;
  int column = 0;  // 0 when an optional column is left out
  int index = 0;
  int width = 0;
  int height = 0;
  int command = 0;
  std::string text;
  std::optional<UiKeyPress> key;      // empty: `row` is selected with the arrow keys instead
  std::optional<std::string> folder;  // empty: the picker is cancelled
  std::vector<int> order;
};

struct UiAction;

// What an action runs with: its entry, where its output goes, and the window its arguments name
// (found before it runs; null for an action without one).
struct UiContext {
  const UiAction& action;
  Transcript& transcript;
  ConsoleDesktop& desktop;
  HWND window = nullptr;
};

// The message of an action that could not be done (a line error); empty when it was done.
using UiFailure = std::optional<std::string>;

struct UiAction {
  const char* name;
  std::vector<UiArgument> arguments;
  const char* help;
  UiFailure (*run)(UiContext& context, const UiValues& values);
  // Acts on the popup menu that is open (and held for the script, not on the screen).
  bool needsOpenMenu = false;
  // False: the action says itself, on its transcript line, what it cannot find, instead of a
  // missing window or control being the line's error.
  bool checksTargets = true;
  // A popup menu open afterwards may be a new one, and is shown; false for actions that only
  // look or answer a picker, after which a menu still open is the one already shown.
  bool mayReopenMenu = true;
  // The modifier keys held down while it clicks.
  UiKeys held = UiKeys::None;
};

// Every action, in the order `help` lists them.
std::span<const UiAction> UiActions();

// A parsed `ui` line: its table entry and its arguments.
struct UiCommand {
  const UiAction* action = nullptr;
  UiValues values;
};

// Checks what the command's arguments imply (the open menu, the window, the control) and runs it.
UiFailure RunUiCommand(const UiCommand& command, Transcript& transcript, ConsoleDesktop& desktop);

}  // namespace zelkor
