// The driver's person: each action checks that its target is there for a person to reach, then
// hands the input to the backend (fx/core/Input.h) and runs the message loop.
#include <algorithm>
#include <sstream>

#include "core/Backend.h"
#include "core/HeldMenu.h"
#include "driver/Input.h"
#include "fx/App.h"
#include "fx/Sjis.h"
#include "fx/Testing.h"

namespace fx::testing {
namespace {

using input::Kind;

HWND ReachableControl(HWND dialog, int id) {
  HWND control = input::ControlOf(dialog, id);
  return control != nullptr && input::Reachable(control) ? control : nullptr;
}

// Any action elsewhere closes an open popup menu, as a click outside it does.
void BeginAction() { menus::CurrentHeldMenu().reset(); }

bool EndAction() {
  PumpMessages();
  return true;
}

bool IsInside(HWND window, HWND outer) {
  for (HWND w = window; w != nullptr; w = backend::ParentOf(w))
    if (w == outer) return true;
  return false;
}

bool TakesTyping(HWND control) {
  const Kind kind = input::KindOf(control);
  return kind == Kind::ComboBox || (kind == Kind::Edit && !(input::StyleOf(control) & ES_READONLY));
}

int RowOrNone(HWND list, int row) { return row >= 0 && row < input::RowCount(list) ? row : -1; }

enum class Mouse { Left, Right, Double };

void ClickAt(HWND window, POINT at, Mouse mouse = Mouse::Left, Keys keys = Keys::None) {
  const WPARAM flags = keys == Keys::Control ? MK_CONTROL : keys == Keys::Shift ? MK_SHIFT : 0;
  if (mouse == Mouse::Right) {
    input::PostMouse(window, WM_RBUTTONDOWN, MK_RBUTTON | flags, at);
    input::PostMouse(window, WM_RBUTTONUP, flags, at);
    return;
  }
  input::PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON | flags, at);
  input::PostMouse(window, WM_LBUTTONUP, flags, at);
  if (mouse == Mouse::Double) {
    input::PostMouse(window, WM_LBUTTONDBLCLK, MK_LBUTTON | flags, at);
    input::PostMouse(window, WM_LBUTTONUP, flags, at);
  }
}

// The focus moves to the target, then the key goes down and up in the focused window.
void PressAndRelease(HWND target, UINT key) {
  input::SetFocus(target);
  HWND focus = input::Focus();
  if (focus == nullptr) focus = target;
  input::PostKey(focus, WM_KEYDOWN, key);
  input::PostKey(focus, WM_KEYUP, key);
  PumpMessages();
}

bool MouseOnRow(HWND dialog, int listId, Mouse mouse, int row, int column, Keys keys) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (input::KindOf(list) != Kind::ListView || column < 0 || column >= input::ColumnCount(list)) return false;
  const std::optional<POINT> at = input::CellPoint(list, RowOrNone(list, row), column);
  if (!at) return false;
  ClickAt(list, *at, mouse, keys);
  return EndAction();
}

bool KeyInDialog(HWND dialog, UINT key) {
  BeginAction();
  if (input::KindOf(dialog) != Kind::Dialog || !input::Reachable(dialog)) return false;
  HWND focus = input::Focus();
  PressAndRelease(focus != nullptr && IsInside(focus, dialog) ? focus : dialog, key);
  return EndAction();
}

HWND FindByTemplate(HWND window, int templateId) {
  if (input::KindOf(window) == Kind::Dialog && TemplateIdOf(window) == templateId) return window;
  for (HWND child : input::ChildrenOf(window))
    if (HWND found = FindByTemplate(child, templateId)) return found;
  return nullptr;
}

}  // namespace

HWND FindDialog(int templateId) {
  for (HWND top : input::OwnTopLevels())
    if (HWND found = FindByTemplate(top, templateId)) return found;
  return nullptr;
}

HWND FindControl(HWND dialog, int controlId) { return input::ControlOf(dialog, controlId); }

std::vector<HWND> TopLevelWindows() { return input::OwnTopLevels(); }

bool Click(HWND dialog, int controlId) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  const Kind kind = input::KindOf(control);
  if (kind != Kind::PushButton && kind != Kind::CheckBox) return false;
  ClickAt(control, input::MiddleOf(control));
  return EndAction();
}

bool TypeText(HWND dialog, int controlId, std::string_view text) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  if (!TakesTyping(control)) return false;
  // Each character at the end of the text: End puts the caret there, then the character.
  HWND edit = input::EditOf(control);
  for (std::size_t pos = 0; pos < text.size() && input::KindOf(edit) != Kind::None;) {
    const std::size_t length = sjis::CharLength(text, pos);
    PressAndRelease(edit, VK_END);
    input::PostKey(edit, WM_CHAR, input::CharacterKey(text.substr(pos, length)));
    PumpMessages();
    pos += length;
  }
  return EndAction();
}

bool ClearText(HWND dialog, int controlId) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  if (!TakesTyping(control)) return false;
  input::ClearText(control);
  return EndAction();
}

bool ClickRow(HWND dialog, int listId, int row, int column, Keys keys) {
  return MouseOnRow(dialog, listId, Mouse::Left, row, column, keys);
}

bool RightClickRow(HWND dialog, int listId, int row, int column) {
  return MouseOnRow(dialog, listId, Mouse::Right, row, column, Keys::None);
}

bool DoubleClickRow(HWND dialog, int listId, int row, int column) {
  return MouseOnRow(dialog, listId, Mouse::Double, row, column, Keys::None);
}

bool SelectRowByKeyboard(HWND dialog, int listId, int row) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (input::KindOf(list) != Kind::ListView || RowOrNone(list, row) < 0) return false;
  PressAndRelease(list, VK_HOME);
  for (int i = 0; i < row && input::KindOf(list) != Kind::None; ++i) PressAndRelease(list, VK_DOWN);
  return EndAction();
}

bool SetColumnOrder(HWND dialog, int listId, const std::vector<int>& order) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (input::KindOf(list) != Kind::ListView || !(ReadListView(dialog, listId).extendedStyle & LVS_EX_HEADERDRAGDROP))
    return false;
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  if (static_cast<int>(sorted.size()) != input::ColumnCount(list)) return false;
  for (std::size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int>(i)) return false;
  input::SetColumnOrder(list, order);
  return EndAction();
}

bool SelectTab(HWND dialog, int tabId, int index) {
  BeginAction();
  HWND tab = ReachableControl(dialog, tabId);
  if (input::KindOf(tab) != Kind::Tab || index < 0 || index >= input::ItemCount(tab)) return false;
  ClickAt(tab, input::TabPoint(tab, index));
  return EndAction();
}

bool PickComboItem(HWND dialog, int comboId, int index) {
  BeginAction();
  HWND combo = ReachableControl(dialog, comboId);
  if (input::KindOf(combo) != Kind::ComboBox || index < 0 || index >= input::ItemCount(combo)) return false;
  input::PickComboItem(combo, index);
  return EndAction();
}

bool PressKey(HWND dialog, int controlId, Key key, Keys keys) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  const Kind kind = input::KindOf(control);
  // Labels and frames never take the focus.
  if (kind == Kind::None || kind == Kind::Static || kind == Kind::GroupBox) return false;
  static constexpr UINT kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_SPACE, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT};
  input::HoldKeys(keys);
  PressAndRelease(control, kKeys[static_cast<int>(key)]);
  input::HoldKeys(Keys::None);
  return EndAction();
}

bool PressEnter(HWND dialog) { return KeyInDialog(dialog, VK_RETURN); }
bool PressEscape(HWND dialog) { return KeyInDialog(dialog, VK_ESCAPE); }

bool CloseBox(HWND window) {
  BeginAction();
  if (input::KindOf(window) == Kind::None || !(input::StyleOf(window) & WS_VISIBLE) ||
      backend::ParentOf(window) != nullptr || !(input::StyleOf(window) & WS_SYSMENU))
    return false;
  input::CloseBox(window);
  return EndAction();
}

bool Resize(HWND window, int clientWidth, int clientHeight) {
  BeginAction();
  if (input::KindOf(window) == Kind::None || !(input::StyleOf(window) & WS_THICKFRAME) || clientWidth < 0 ||
      clientHeight < 0)
    return false;
  input::Resize(window, clientWidth, clientHeight);
  return EndAction();
}

std::optional<OpenMenu> CurrentMenu() {
  const auto& open = menus::CurrentHeldMenu();
  if (!open || input::KindOf(open->owner) == Kind::None) return std::nullopt;
  OpenMenu menu{open->owner, open->at, {}};
  for (const auto& [command, text] : open->items) menu.items.push_back(MenuItem{command, text});
  return menu;
}

bool ChooseMenuItem(UINT command) {
  auto& open = menus::CurrentHeldMenu();
  if (!open || command == 0) return false;
  const auto found =
      std::find_if(open->items.begin(), open->items.end(), [&](const auto& item) { return item.first == command; });
  if (found == open->items.end()) return false;
  HWND owner = open->owner;
  open.reset();
  if (input::KindOf(owner) == Kind::None) return false;
  input::PostMenuCommand(owner, command);
  return EndAction();
}

void DismissMenu() { menus::CurrentHeldMenu().reset(); }

bool IsVisible(HWND window) { return input::Reachable(window); }

HWND FocusedWindow() { return input::Focus(); }

namespace {

void DescribeInto(std::ostringstream& out, HWND window, int depth) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  const int id = input::ControlIdOf(window);
  const auto idText = [&]() { return id >= 0 && id != 0xFFFF ? std::to_string(id) + " " : std::string(); };
  const Kind kind = input::KindOf(window);
  const std::string text = WindowText(window);
  HWND parent = backend::ParentOf(window);
  bool children = false;
  switch (kind) {
    case Kind::TopLevel:
    case Kind::Dialog:
      if (depth == 0) {
        out << indent << "[" << text << "]";
      } else {
        out << indent << "page " << TemplateIdOf(window);
      }
      children = true;
      break;
    case Kind::PushButton:
      out << indent << "button " << idText() << "\"" << text << "\"";
      break;
    case Kind::CheckBox:
      out << indent << (IsChecked(parent, id) ? "[x] " : "[ ] ") << idText() << "\"" << text << "\"";
      break;
    case Kind::GroupBox:
      out << indent << "group \"" << text << "\"";
      break;
    case Kind::Static:
      out << indent << "label \"" << text << "\"";
      break;
    case Kind::Edit:
      out << indent << "edit " << idText() << "\"" << text << "\""
          << ((input::StyleOf(window) & ES_READONLY) ? " (read-only)" : "");
      break;
    case Kind::ComboBox: {
      const ComboState combo = ReadCombo(parent, id);
      out << indent << "combo " << idText() << "field \"" << combo.field << "\"";
      for (std::size_t i = 0; i < combo.items.size(); ++i)
        out << "\n" << indent << "  " << (static_cast<int>(i) == combo.curSel ? "> " : "  ") << combo.items[i];
      break;
    }
    case Kind::Tab: {
      const TabState tabs = ReadTabs(parent, id);
      out << indent << "tabs " << idText();
      for (std::size_t i = 0; i < tabs.tabs.size(); ++i)
        out << (static_cast<int>(i) == tabs.curSel ? " [*" : " [") << tabs.tabs[i] << "]";
      children = true;  // the pages live inside the tab control
      break;
    }
    case Kind::ListView: {
      const ListViewState list = ReadListView(parent, id);
      out << indent << "list " << idText() << "|";
      for (int column : list.order) out << " " << list.columns[static_cast<std::size_t>(column)].heading << " |";
      for (std::size_t row = 0; row < list.rows.size(); ++row) {
        out << "\n" << indent << (list.selected[row] ? "  > |" : "    |");
        for (int column : list.order) {
          const auto c = static_cast<std::size_t>(column);
          out << " " << (c < list.rows[row].size() ? list.rows[row][c] : std::string()) << " |";
        }
      }
      break;
    }
    case Kind::None:
    case Kind::Other:
      out << indent << "window \"" << text << "\"";
      break;
  }
  out << "\n";
  if (!children) return;
  for (HWND inner : input::ChildrenOf(window)) {
    if (!(input::StyleOf(inner) & WS_VISIBLE)) continue;
    const Kind innerKind = input::KindOf(inner);
    // Inside a tab control only the pages count (not its scroll arrows).
    if (kind == Kind::Tab && innerKind != Kind::Dialog) continue;
    if (innerKind == Kind::Other) continue;
    DescribeInto(out, inner, depth + 1);
  }
}

}  // namespace

std::string Describe(HWND window) {
  if (input::KindOf(window) == Kind::None) return "(no window)\n";
  std::ostringstream out;
  if (!input::Reachable(window)) {
    out << "[" << WindowText(window) << "] (hidden)\n";
    return out.str();
  }
  DescribeInto(out, window, 0);
  return out.str();
}

}  // namespace fx::testing
