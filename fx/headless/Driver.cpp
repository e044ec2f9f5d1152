// The driver on the headless backend: each action changes the control as the real one would,
// then sends the notification the real control sends, then delivers posted messages.
#include <algorithm>
#include <sstream>

#include "Window.h"
#include "fx/App.h"
#include "fx/Sjis.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"

namespace fx::testing {
namespace {

using headless::Kind;
using headless::Live;
using headless::Window;

bool Reachable(const Window* window) {
  for (const Window* w = window; w != nullptr; w = w->parent)
    if (!w->visible) return false;
  return window != nullptr;
}

Window* Control(HWND dialog, int id) {
  Window* parent = Live(dialog);
  if (parent == nullptr) return nullptr;
  for (auto& child : parent->children)
    if (child->id == id) return child.get();
  return nullptr;
}

Window* ReachableControl(HWND dialog, int id) {
  Window* control = Control(dialog, id);
  return control && Reachable(control) ? control : nullptr;
}

// Any action elsewhere closes an open popup menu, as a click outside it does.
void BeginAction() { headless::CurrentOpenMenu().reset(); }

bool EndAction() {
  PumpMessages();
  return true;
}

void SelectOnly(Window* list, int row) {
  for (std::size_t i = 0; i < list->rows.size(); ++i) list->rows[i].selected = static_cast<int>(i) == row;
}

int RowOrNone(const Window* list, int row) { return row >= 0 && row < static_cast<int>(list->rows.size()) ? row : -1; }

Window* FindByTemplate(Window* window, int templateId) {
  if (window->templateId == templateId && window->kind == Kind::Dialog) return window;
  for (auto& child : window->children)
    if (Window* found = FindByTemplate(child.get(), templateId)) return found;
  return nullptr;
}

}  // namespace

HWND FindDialog(int templateId) {
  for (Window* top : headless::TopLevels())
    if (Window* found = FindByTemplate(top, templateId)) return found->handle();
  return nullptr;
}

HWND FindControl(HWND dialog, int controlId) {
  Window* control = Control(dialog, controlId);
  return control ? control->handle() : nullptr;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> result;
  for (Window* top : headless::TopLevels()) result.push_back(top->handle());
  return result;
}

int TemplateIdOf(HWND dialog) {
  Window* window = Live(dialog);
  return window ? window->templateId : -1;
}

bool Click(HWND dialog, int controlId) {
  BeginAction();
  Window* control = ReachableControl(dialog, controlId);
  if (control == nullptr || (control->kind != Kind::PushButton && control->kind != Kind::CheckBox)) return false;
  if (control->kind == Kind::CheckBox && (control->style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  headless::NotifyCommand(control, BN_CLICKED);
  return EndAction();
}

bool TypeText(HWND dialog, int controlId, std::string_view text) {
  BeginAction();
  Window* control = ReachableControl(dialog, controlId);
  if (control == nullptr) return false;
  const bool isEdit = control->kind == Kind::Edit && !(control->style & ES_READONLY);
  if (!isEdit && control->kind != Kind::ComboBox) return false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = sjis::CharLength(text, pos);
    control->text.append(text.substr(pos, length));
    pos += length;
    if (isEdit) {
      headless::NotifyCommand(control, EN_CHANGE);
    } else {
      control->curSel = -1;
      headless::NotifyCommand(control, CBN_EDITCHANGE);
    }
    if (!headless::IsLive(control->handle())) break;
  }
  return EndAction();
}

bool ClearText(HWND dialog, int controlId) {
  BeginAction();
  Window* control = ReachableControl(dialog, controlId);
  if (control == nullptr) return false;
  const bool isEdit = control->kind == Kind::Edit && !(control->style & ES_READONLY);
  if (!isEdit && control->kind != Kind::ComboBox) return false;
  if (!control->text.empty()) {
    control->text.clear();
    headless::NotifyCommand(control, isEdit ? EN_CHANGE : CBN_EDITCHANGE);
  }
  return EndAction();
}

bool ClickRow(HWND dialog, int listId, int row, int column, Keys keys) {
  BeginAction();
  Window* list = ReachableControl(dialog, listId);
  if (list == nullptr || !list->IsListView()) return false;
  row = RowOrNone(list, row);
  const bool multi = !(list->style & LVS_SINGLESEL);
  if (row < 0) {
    if (keys != Keys::Control) SelectOnly(list, -1);
  } else if (multi && keys == Keys::Control) {
    list->rows[static_cast<std::size_t>(row)].selected = !list->rows[static_cast<std::size_t>(row)].selected;
  } else if (multi && keys == Keys::Shift) {
    int anchor = row;
    for (std::size_t i = 0; i < list->rows.size(); ++i)
      if (list->rows[i].selected) { anchor = static_cast<int>(i); break; }
    const int from = std::min(anchor, row), to = std::max(anchor, row);
    for (std::size_t i = 0; i < list->rows.size(); ++i)
      list->rows[i].selected = static_cast<int>(i) >= from && static_cast<int>(i) <= to;
  } else {
    SelectOnly(list, row);
  }
  headless::NotifyList(list, NM_CLICK, row, row < 0 ? -1 : column);
  return EndAction();
}

bool RightClickRow(HWND dialog, int listId, int row, int column) {
  BeginAction();
  Window* list = ReachableControl(dialog, listId);
  if (list == nullptr || !list->IsListView()) return false;
  row = RowOrNone(list, row);
  // A right click keeps a selection that includes the row under the mouse.
  if (row < 0 || !list->rows[static_cast<std::size_t>(row)].selected) SelectOnly(list, row);
  headless::NotifyList(list, NM_RCLICK, row, row < 0 ? -1 : column);
  PumpMessages();
  return true;
}

bool DoubleClickRow(HWND dialog, int listId, int row, int column) {
  if (!ClickRow(dialog, listId, row, column)) return false;
  Window* list = ReachableControl(dialog, listId);
  if (list == nullptr) return true;
  row = RowOrNone(list, row);
  headless::NotifyList(list, NM_DBLCLK, row, row < 0 ? -1 : column);
  return EndAction();
}

bool SelectRowByKeyboard(HWND dialog, int listId, int row) {
  BeginAction();
  Window* list = ReachableControl(dialog, listId);
  if (list == nullptr || !list->IsListView() || RowOrNone(list, row) < 0) return false;
  SelectOnly(list, row);
  return EndAction();
}

bool SetColumnOrder(HWND dialog, int listId, const std::vector<int>& order) {
  BeginAction();
  Window* list = ReachableControl(dialog, listId);
  if (list == nullptr || !list->IsListView() || !(list->extendedStyle & LVS_EX_HEADERDRAGDROP)) return false;
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int>(i)) return false;
  if (sorted.size() != list->columns.size()) return false;
  list->columnOrder = order;
  return EndAction();
}

bool SelectTab(HWND dialog, int tabId, int index) {
  BeginAction();
  Window* tab = ReachableControl(dialog, tabId);
  if (tab == nullptr || tab->kind != Kind::Tab || index < 0 || index >= static_cast<int>(tab->items.size())) return false;
  if (tab->curSel == index) return EndAction();
  tab->curSel = index;
  NMHDR header{tab->handle(), static_cast<UINT_PTR>(tab->id), TCN_SELCHANGE};
  headless::Send(tab->parent, WM_NOTIFY, static_cast<WPARAM>(tab->id), reinterpret_cast<LPARAM>(&header));
  return EndAction();
}

bool PickComboItem(HWND dialog, int comboId, int index) {
  BeginAction();
  Window* combo = ReachableControl(dialog, comboId);
  if (combo == nullptr || combo->kind != Kind::ComboBox || index < 0 || index >= static_cast<int>(combo->items.size()))
    return false;
  combo->curSel = index;
  combo->text = combo->items[static_cast<std::size_t>(index)];
  headless::NotifyCommand(combo, CBN_SELCHANGE);
  return EndAction();
}

bool PressEnter(HWND dialog) {
  BeginAction();
  Window* window = Live(dialog);
  if (window == nullptr || !Reachable(window) || window->kind != Kind::Dialog) return false;
  Window* button = Control(dialog, IDOK);
  headless::Send(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button ? button->handle() : nullptr));
  return EndAction();
}

bool PressEscape(HWND dialog) {
  BeginAction();
  Window* window = Live(dialog);
  if (window == nullptr || !Reachable(window) || window->kind != Kind::Dialog) return false;
  headless::Send(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return EndAction();
}

bool CloseBox(HWND dialog) {
  BeginAction();
  Window* window = Live(dialog);
  if (window == nullptr || !window->visible || window->parent != nullptr || !(window->style & WS_SYSMENU)) return false;
  headless::Send(window, WM_CLOSE);
  return EndAction();
}

bool Resize(HWND handle, int clientWidth, int clientHeight) {
  BeginAction();
  Window* window = Live(handle);
  if (window == nullptr || !(window->style & WS_THICKFRAME) || clientWidth < 0 || clientHeight < 0) return false;
  RECT client{};
  CWnd::FromHandle(handle)->GetClientRect(&client);
  window->rect.right += clientWidth - client.right;
  window->rect.bottom += clientHeight - client.bottom;
  headless::Send(window, WM_SIZE, 0,
                 static_cast<LPARAM>(MAKEWPARAM(static_cast<unsigned>(clientWidth), static_cast<unsigned>(clientHeight))));
  return EndAction();
}

std::optional<OpenMenu> CurrentMenu() {
  auto& open = headless::CurrentOpenMenu();
  if (!open || !headless::IsLive(open->owner)) return std::nullopt;
  OpenMenu menu{open->owner, open->at, {}};
  for (const auto& [command, text] : open->items) menu.items.push_back(MenuItem{command, text});
  return menu;
}

bool ChooseMenuItem(UINT command) {
  auto& open = headless::CurrentOpenMenu();
  if (!open || command == 0) return false;
  const auto found = std::find_if(open->items.begin(), open->items.end(), [&](const auto& item) { return item.first == command; });
  if (found == open->items.end()) return false;
  Window* owner = Live(open->owner);
  open.reset();
  if (owner == nullptr) return false;
  headless::Post(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return EndAction();
}

void DismissMenu() { headless::CurrentOpenMenu().reset(); }

bool IsVisible(HWND window) { return Reachable(Live(window)); }

std::string WindowText(HWND window) {
  Window* w = Live(window);
  return w ? w->text : std::string();
}

std::string ControlText(HWND dialog, int controlId) {
  Window* control = Control(dialog, controlId);
  return control ? control->text : std::string();
}

bool IsChecked(HWND dialog, int controlId) {
  Window* control = Control(dialog, controlId);
  return control && control->check == BST_CHECKED;
}

RECT ClientRect(HWND window) {
  RECT rect{0, 0, 0, 0};
  if (CWnd* wnd = CWnd::FromHandle(window)) wnd->GetClientRect(&rect);
  return rect;
}

RECT WindowRect(HWND window) {
  Window* w = Live(window);
  return w ? w->rect : RECT{0, 0, 0, 0};
}

int IconId(HWND window, bool big) {
  Window* w = Live(window);
  return w ? (big ? w->bigIcon : w->smallIcon) : -1;
}

ListViewState ReadListView(HWND dialog, int listId) {
  ListViewState state{};
  Window* list = Control(dialog, listId);
  if (list == nullptr || !list->IsListView()) return state;
  for (const auto& column : list->columns) state.columns.push_back(ListColumn{column.heading, column.format, column.width});
  state.order = list->columnOrder;
  for (const auto& row : list->rows) {
    state.rows.push_back(row.Cells(std::max<std::size_t>(list->columns.size(), 1)));
    state.selected.push_back(row.selected);
  }
  state.bkColor = list->bkColor;
  state.textColor = list->textColor;
  state.textBkColor = list->textBkColor;
  state.extendedStyle = list->extendedStyle;
  state.style = list->style;
  return state;
}

ComboState ReadCombo(HWND dialog, int comboId) {
  Window* combo = Control(dialog, comboId);
  if (combo == nullptr || combo->kind != Kind::ComboBox) return ComboState{{}, -1, {}};
  return ComboState{combo->items, combo->curSel, combo->text};
}

TabState ReadTabs(HWND dialog, int tabId) {
  Window* tab = Control(dialog, tabId);
  if (tab == nullptr || tab->kind != Kind::Tab) return TabState{{}, -1};
  return TabState{tab->items, tab->curSel};
}

namespace {

void DescribeInto(std::ostringstream& out, Window* window, int depth) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  auto idText = [&]() { return window->id >= 0 ? std::to_string(window->id) + " " : std::string(); };
  switch (window->kind) {
    case Kind::TopLevel:
    case Kind::Dialog:
      if (depth == 0) {
        out << indent << "[" << window->text << "]";
      } else {
        out << indent << "page " << window->templateId;
      }
      break;
    case Kind::PushButton:
      out << indent << "button " << idText() << "\"" << window->text << "\"";
      break;
    case Kind::CheckBox:
      out << indent << (window->check == BST_CHECKED ? "[x] " : "[ ] ") << idText() << "\"" << window->text << "\"";
      break;
    case Kind::GroupBox:
      out << indent << "group \"" << window->text << "\"";
      break;
    case Kind::Static:
      out << indent << "label \"" << window->text << "\"";
      break;
    case Kind::Edit:
      out << indent << "edit " << idText() << "\"" << window->text << "\"" << ((window->style & ES_READONLY) ? " (read-only)" : "");
      break;
    case Kind::ComboBox:
      out << indent << "combo " << idText() << "field \"" << window->text << "\"";
      for (std::size_t i = 0; i < window->items.size(); ++i)
        out << "\n" << indent << "  " << (static_cast<int>(i) == window->curSel ? "> " : "  ") << window->items[i];
      break;
    case Kind::Tab:
      out << indent << "tabs " << idText();
      for (std::size_t i = 0; i < window->items.size(); ++i)
        out << (static_cast<int>(i) == window->curSel ? " [*" : " [") << window->items[i] << "]";
      break;
    case Kind::ListView: {
      out << indent << "list " << idText();
      const auto& order = window->columnOrder;
      out << "|";
      for (int column : order) out << " " << window->columns[static_cast<std::size_t>(column)].heading << " |";
      for (const auto& row : window->rows) {
        out << "\n" << indent << (row.selected ? "  > |" : "    |");
        for (int column : order) {
          const auto c = static_cast<std::size_t>(column);
          out << " " << row.Cell(c) << " |";
        }
      }
      break;
    }
  }
  out << "\n";
  for (auto& child : window->children)
    if (child->visible) DescribeInto(out, child.get(), depth + 1);
}

}  // namespace

std::string Describe(HWND handle) {
  Window* window = Live(handle);
  if (window == nullptr) return "(no window)\n";
  std::ostringstream out;
  if (!Reachable(window)) {
    out << "[" << window->text << "] (hidden)\n";
    return out.str();
  }
  DescribeInto(out, window, 0);
  return out.str();
}

}  // namespace fx::testing
