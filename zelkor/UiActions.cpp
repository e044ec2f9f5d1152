#include "zelkor/UiActions.h"

#include <filesystem>

#include "fx/App.h"
#include "fx/Sjis.h"
#include "fx/Wnd.h"
#include "zelkor/ConsoleDesktop.h"
#include "zelkor/Transcript.h"

namespace zelkor {
namespace {

namespace fs = std::filesystem;
namespace ft = fx::testing;
using Kind = UiArgumentKind;

constexpr const char* kMenusOnScreen = "popup menus are on the screen (--desktop screen): choose there";

std::string WindowName(int templateId) { return "window " + std::to_string(templateId); }
std::string NoWindow(int templateId) { return "no window made from template " + std::to_string(templateId); }
std::string NoControl(int templateId, int controlId) {
  return WindowName(templateId) + " has no control " + std::to_string(controlId);
}

// A driver action's result, once the messages it caused have been handled.
UiFailure Acted(bool done, const UiValues& values) {
  fx::PumpMessages();
  if (done) return std::nullopt;
  const std::string target = values.control ? " control " + std::to_string(*values.control) + " of " : " ";
  return "cannot act on" + target + WindowName(*values.window) + ": hidden, read-only, or no such row, column, tab or item";
}

// The picker hands back full paths without a trailing separator; so does the script.
std::optional<std::string> FullFolderPath(const std::string& cp932Path) {
  fs::path path = fs::absolute(fs::path(fx::sjis::ToUtf8(cp932Path))).lexically_normal();
  std::string text = path.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return fx::sjis::FromUtf8(text);
}

UiFailure Show(UiContext& context, const UiValues& values) {
  if (values.all) {
    for (HWND window : ft::TopLevelWindows())
      if (ft::TemplateIdOf(window) >= 0) context.transcript.Picture(ft::Describe(window));
    return std::nullopt;
  }
  std::string picture = ft::Describe(context.window);
  // A tab page has no caption of its own; name it by its template.
  if (picture.starts_with("[]")) picture.replace(0, 2, "[page " + std::to_string(*values.window) + "]");
  context.transcript.Picture(picture);
  return std::nullopt;
}

UiFailure ClickRow(UiContext& context, const UiValues& values) {
  return Acted(ft::ClickRow(context.window, *values.control, values.row, values.column, context.action.held), values);
}

UiFailure PressKeyOrSelectRow(UiContext& context, const UiValues& values) {
  if (values.key) return Acted(ft::PressKey(context.window, *values.control, values.key->key, values.key->held), values);
  return Acted(ft::SelectRowByKeyboard(context.window, *values.control, values.row), values);
}

UiFailure AnswerFolderPicker(UiContext& context, const UiValues& values) {
  std::optional<std::string> answer;
  if (values.folder) {
    answer = FullFolderPath(*values.folder);
    if (!answer) return "the folder's full path cannot be written in Shift-JIS (CP932)";
  }
  if (!context.desktop.QueueFolderAnswer(std::move(answer)))
    return "the folder picker is on the screen (--desktop screen): choose the folder there";
  return std::nullopt;
}

// Where a window or control is on the screen (LEFT TOP WIDTH HEIGHT), for a tool outside that
// clicks or types there; or why it is not on the screen.
std::string Whereabouts(const UiValues& values) {
  const HWND dialog = ft::FindDialog(*values.window);
  if (dialog == nullptr) return NoWindow(*values.window);
  const HWND target = values.control ? ft::FindControl(dialog, *values.control) : dialog;
  if (target == nullptr) return NoControl(*values.window, *values.control);
  if (!ft::IsVisible(target)) return "hidden: not on the screen";
  RECT rect{};
  CWnd::FromHandle(target)->GetWindowRect(&rect);
  return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
         " " + std::to_string(rect.bottom - rect.top);
}

// What is not on the screen is said so on the same line, and the run goes on.
UiFailure Where(UiContext& context, const UiValues& values) {
  const std::string label =
      "[where " + std::to_string(*values.window) + (values.control ? " " + std::to_string(*values.control) : "") + "] ";
  context.transcript.Line(label + Whereabouts(values));
  return std::nullopt;
}

constexpr UiArgument kDialog{Kind::Window, "DIALOG"};
constexpr UiArgument kControl{Kind::Control, "CONTROL"};
constexpr UiArgument kList{Kind::Control, "LIST"};
constexpr const char* kRowHelp = "click a row (-1: below the rows)";
constexpr const char* kDialogKeyHelp = "press Enter, Escape or the close box";

}  // namespace

std::span<const UiAction> UiActions() {
  static const std::vector<UiArgument> kRowArguments = {kDialog, kList, {Kind::Row, "ROW"}, {Kind::Column, "COLUMN", true}};
  static const UiAction kActions[] = {
      {.name = "show",
       .arguments = {{Kind::WindowOrAll, "DIALOG"}},
       .help = "print a window (all: every plug-in window)",
       .run = Show,
       .mayReopenMenu = false},
      {.name = "click",
       .arguments = {kDialog, kControl},
       .help = "click a button or check box",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::Click(c.window, *v.control), v); }},
      {.name = "type",
       .arguments = {kDialog, kControl, {Kind::Text, "TEXT"}},
       .help = "type TEXT at the end of an edit field",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::TypeText(c.window, *v.control, v.text), v); }},
      {.name = "clear",
       .arguments = {kDialog, kControl},
       .help = "empty an edit field",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::ClearText(c.window, *v.control), v); }},
      {.name = "row", .arguments = kRowArguments, .help = kRowHelp, .run = ClickRow},
      {.name = "row+ctrl", .arguments = kRowArguments, .help = kRowHelp, .run = ClickRow, .held = UiKeys::Control},
      {.name = "row+shift", .arguments = kRowArguments, .help = kRowHelp, .run = ClickRow, .held = UiKeys::Shift},
      {.name = "rclick",
       .arguments = kRowArguments,
       .help = "right-click a row (its menu opens)",
       .run = [](UiContext& c, const UiValues& v) {
         return Acted(ft::RightClickRow(c.window, *v.control, v.row, v.column), v);
       }},
      {.name = "dblclick",
       .arguments = kRowArguments,
       .help = "double-click a list cell",
       .run = [](UiContext& c, const UiValues& v) {
         return Acted(ft::DoubleClickRow(c.window, *v.control, v.row, v.column), v);
       }},
      {.name = "key",
       .arguments = {kDialog, kControl, {Kind::KeyOrRow, "KEY or ROW"}},
       .help = "press a key in a control, or select a list row with the arrow keys",
       .run = PressKeyOrSelectRow},
      {.name = "tab",
       .arguments = {kDialog, {Kind::Control, "TAB"}, {Kind::Index, "INDEX"}},
       .help = "select a tab",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::SelectTab(c.window, *v.control, v.index), v); }},
      {.name = "pick",
       .arguments = {kDialog, {Kind::Control, "COMBO"}, {Kind::Index, "INDEX"}},
       .help = "pick a combo-box item",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::PickComboItem(c.window, *v.control, v.index), v); }},
      {.name = "enter",
       .arguments = {kDialog},
       .help = kDialogKeyHelp,
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::PressEnter(c.window), v); }},
      {.name = "escape",
       .arguments = {kDialog},
       .help = kDialogKeyHelp,
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::PressEscape(c.window), v); }},
      {.name = "close",
       .arguments = {kDialog},
       .help = kDialogKeyHelp,
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::CloseBox(c.window), v); }},
      {.name = "resize",
       .arguments = {kDialog, {Kind::Width, "WIDTH"}, {Kind::Height, "HEIGHT"}},
       .help = "resize a window",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::Resize(c.window, v.width, v.height), v); }},
      {.name = "menu",
       .arguments = {{Kind::Command, "COMMAND"}},
       .help = "choose from the open popup menu",
       .run = [](UiContext&, const UiValues& v) -> UiFailure {
         if (!ft::ChooseMenuItem(static_cast<UINT>(v.command)))
           return "the open menu has no command " + std::to_string(v.command);
         fx::PumpMessages();
         return std::nullopt;
       },
       .needsOpenMenu = true},
      {.name = "dismiss",
       .arguments = {},
       .help = "close the open popup menu",
       .run = [](UiContext&, const UiValues&) -> UiFailure {
         ft::DismissMenu();
         return std::nullopt;
       },
       .needsOpenMenu = true},
      {.name = "folder",
       .arguments = {{Kind::Folder, "PATH"}},
       .help = "answer the next folder picker",
       .run = AnswerFolderPicker,
       .mayReopenMenu = false},
      {.name = "columns",
       .arguments = {kDialog, kList, {Kind::Columns, "COLUMN"}},
       .help = "order a list's columns on screen",
       .run = [](UiContext& c, const UiValues& v) { return Acted(ft::SetColumnOrder(c.window, *v.control, v.order), v); }},
      {.name = "where",
       .arguments = {kDialog, {Kind::Control, "CONTROL", true}},
       .help = "print where a window or control is on the screen: LEFT TOP WIDTH HEIGHT",
       .run = Where,
       .checksTargets = false},
  };
  return kActions;
}

UiFailure RunUiCommand(const UiCommand& command, Transcript& transcript, ConsoleDesktop& desktop) {
  const UiValues& values = command.values;
  UiContext context{*command.action, transcript, desktop};
  if (context.action.needsOpenMenu) {
    if (desktop.PopupMenusOnScreen()) return kMenusOnScreen;
    if (!ft::CurrentMenu()) return "no popup menu is open";
  }
  if (context.action.checksTargets && values.window) {
    context.window = ft::FindDialog(*values.window);
    if (context.window == nullptr) return NoWindow(*values.window);
    if (values.control && ft::FindControl(context.window, *values.control) == nullptr)
      return NoControl(*values.window, *values.control);
  }
  return context.action.run(context, values);
}

}  // namespace zelkor
