// The driver on Win32: each action sends the real controls the messages a person's input would
// make them send (or changes them through their own messages and sends the notification they
// send), then runs the message queue; reading back asks the real controls.
#include <algorithm>
#include <sstream>

#include "Win32.h"
#include "fx/App.h"
#include "fx/ListCtrl.h"
#include "fx/Sjis.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"

namespace fx::testing {
namespace {

using win32::Info;
using win32::Kind;

enum class ControlKind { None, Dialog, PushButton, CheckBox, GroupBox, Edit, Static, ListView, ComboBox, Tab, Other };

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  const int length = ::GetClassNameW(window, name, 64);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)); }

ControlKind KindOf(HWND window) {
  if (window == nullptr || !::IsWindow(window)) return ControlKind::None;
  if (const auto* info = Info(window); info && info->kind != Kind::Control) return ControlKind::Dialog;
  const std::wstring name = ClassOf(window);
  const auto is = [&](const wchar_t* other) { return ::lstrcmpiW(name.c_str(), other) == 0; };
  if (is(L"#32770")) return ControlKind::Dialog;
  if (is(L"Button")) {
    switch (StyleOf(window) & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX: return ControlKind::CheckBox;
      case BS_GROUPBOX: return ControlKind::GroupBox;
      default: return ControlKind::PushButton;
    }
  }
  if (is(L"Edit")) return ControlKind::Edit;
  if (is(L"Static")) return ControlKind::Static;
  if (is(WC_LISTVIEWW)) return ControlKind::ListView;
  if (is(L"ComboBox")) return ControlKind::ComboBox;
  if (is(WC_TABCONTROLW)) return ControlKind::Tab;
  return ControlKind::Other;
}

bool Reachable(HWND window) { return window != nullptr && ::IsWindow(window) && ::IsWindowVisible(window); }

HWND Control(HWND dialog, int id) {
  if (dialog == nullptr || !::IsWindow(dialog)) return nullptr;
  return ::GetDlgItem(dialog, id);
}

HWND ReachableControl(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  return Reachable(control) ? control : nullptr;
}

void Notify(HWND control, UINT code) {
  ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

// Any action elsewhere closes an open popup menu, as a click outside it does.
void BeginAction() { win32::CurrentOpenMenu().reset(); }

bool EndAction() {
  PumpMessages();
  return true;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(window, message, wParam, lParam);
}

int RowCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT)); }
int RowOrNone(HWND list, int row) { return row >= 0 && row < RowCount(list) ? row : -1; }

bool IsSelected(HWND list, int row) { return (Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0; }

void SetSelected(HWND list, int row, bool selected, bool focus = false) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | (focus ? LVIS_FOCUSED : 0u);
  item.state = (selected ? LVIS_SELECTED : 0u) | (focus ? LVIS_FOCUSED : 0u);
  Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SelectOnly(HWND list, int row) {
  SetSelected(list, -1, false);
  if (row >= 0) SetSelected(list, row, true, true);
}

LRESULT NotifyList(HWND list, UINT code, int row, int column) {
  NMITEMACTIVATE notification{};
  notification.hdr.hwndFrom = list;
  notification.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
  notification.hdr.code = code;
  notification.iItem = row;
  notification.iSubItem = column;
  if (row >= 0) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (Send(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
      notification.ptAction = POINT{cell.left + 2, (cell.top + cell.bottom) / 2};
  }
  return Send(::GetParent(list), WM_NOTIFY, notification.hdr.idFrom, reinterpret_cast<LPARAM>(&notification));
}

HWND EditOf(HWND control, bool& isCombo) {
  isCombo = false;
  switch (KindOf(control)) {
    case ControlKind::Edit:
      return (StyleOf(control) & ES_READONLY) ? nullptr : control;
    case ControlKind::ComboBox: {
      COMBOBOXINFO info{};
      info.cbSize = sizeof info;
      if (!::GetComboBoxInfo(control, &info) || info.hwndItem == nullptr) return nullptr;
      isCombo = true;
      return info.hwndItem;
    }
    default:
      return nullptr;
  }
}

HWND FindByTemplate(HWND window, int templateId) {
  const auto* info = Info(window);
  if (info && info->kind == Kind::Dialog && info->templateId == templateId) return window;
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    if (HWND found = FindByTemplate(child, templateId)) return found;
  return nullptr;
}

bool IsTopLevel(HWND window) { return !(StyleOf(window) & WS_CHILD); }

}  // namespace

HWND FindDialog(int templateId) {
  for (HWND window : win32::OwnWindows())
    if (IsTopLevel(window))
      if (HWND found = FindByTemplate(window, templateId)) return found;
  return nullptr;
}

HWND FindControl(HWND dialog, int controlId) { return Control(dialog, controlId); }

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> result;
  for (HWND window : win32::OwnWindows())
    if (IsTopLevel(window)) result.push_back(window);
  return result;
}

int TemplateIdOf(HWND dialog) {
  const auto* info = ::IsWindow(dialog) ? Info(dialog) : nullptr;
  return info ? info->templateId : -1;
}

bool Click(HWND dialog, int controlId) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  const ControlKind kind = KindOf(control);
  if (kind != ControlKind::PushButton && kind != ControlKind::CheckBox) return false;
  if (kind == ControlKind::CheckBox && (StyleOf(control) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
    const bool checked = Send(control, BM_GETCHECK) == BST_CHECKED;
    Send(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED);
  }
  Notify(control, BN_CLICKED);
  return EndAction();
}

// Each character goes to the edit as WM_CHAR at the end of its text; the edit (and a combo box
// around it) send their own change notifications.
bool TypeText(HWND dialog, int controlId, std::string_view text) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  bool isCombo = false;
  HWND edit = EditOf(control, isCombo);
  if (edit == nullptr) return false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = sjis::CharLength(text, pos);
    const std::wstring wide = win32::Wide(text.substr(pos, length));
    pos += length;
    const LRESULT end = Send(edit, WM_GETTEXTLENGTH);
    Send(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    for (wchar_t c : wide) Send(edit, WM_CHAR, c, 1);
    if (!::IsWindow(edit)) break;
  }
  return EndAction();
}

bool ClearText(HWND dialog, int controlId) {
  BeginAction();
  HWND control = ReachableControl(dialog, controlId);
  bool isCombo = false;
  HWND edit = EditOf(control, isCombo);
  if (edit == nullptr) return false;
  if (Send(edit, WM_GETTEXTLENGTH) > 0) {
    Send(edit, EM_SETSEL, 0, -1);
    Send(edit, WM_CLEAR);
  }
  return EndAction();
}

bool ClickRow(HWND dialog, int listId, int row, int column, Keys keys) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (KindOf(list) != ControlKind::ListView) return false;
  row = RowOrNone(list, row);
  const bool multi = !(StyleOf(list) & LVS_SINGLESEL);
  if (row < 0) {
    if (keys != Keys::Control) SelectOnly(list, -1);
  } else if (multi && keys == Keys::Control) {
    SetSelected(list, row, !IsSelected(list, row), true);
  } else if (multi && keys == Keys::Shift) {
    int anchor = static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (anchor < 0) anchor = row;
    const int from = std::min(anchor, row), to = std::max(anchor, row);
    for (int i = 0; i < RowCount(list); ++i) SetSelected(list, i, i >= from && i <= to, i == row);
  } else {
    SelectOnly(list, row);
  }
  NotifyList(list, NM_CLICK, row, row < 0 ? -1 : column);
  return EndAction();
}

bool RightClickRow(HWND dialog, int listId, int row, int column) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (KindOf(list) != ControlKind::ListView) return false;
  row = RowOrNone(list, row);
  // A right click keeps a selection that includes the row under the mouse.
  if (row < 0 || !IsSelected(list, row)) SelectOnly(list, row);
  NotifyList(list, NM_RCLICK, row, row < 0 ? -1 : column);
  PumpMessages();
  return true;
}

bool DoubleClickRow(HWND dialog, int listId, int row, int column) {
  if (!ClickRow(dialog, listId, row, column)) return false;
  HWND list = ReachableControl(dialog, listId);
  if (list == nullptr) return true;
  row = RowOrNone(list, row);
  NotifyList(list, NM_DBLCLK, row, row < 0 ? -1 : column);
  return EndAction();
}

bool SelectRowByKeyboard(HWND dialog, int listId, int row) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (KindOf(list) != ControlKind::ListView || RowOrNone(list, row) < 0) return false;
  SelectOnly(list, row);
  return EndAction();
}

bool SetColumnOrder(HWND dialog, int listId, const std::vector<int>& order) {
  BeginAction();
  HWND list = ReachableControl(dialog, listId);
  if (KindOf(list) != ControlKind::ListView) return false;
  const DWORD extended = static_cast<DWORD>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE));
  if (!(extended & LVS_EX_HEADERDRAGDROP)) return false;
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
  const int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT)) : 0;
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  if (static_cast<int>(sorted.size()) != columns) return false;
  for (std::size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int>(i)) return false;
  std::vector<int> copy = order;
  Send(list, LVM_SETCOLUMNORDERARRAY, copy.size(), reinterpret_cast<LPARAM>(copy.data()));
  return EndAction();
}

bool SelectTab(HWND dialog, int tabId, int index) {
  BeginAction();
  HWND tab = ReachableControl(dialog, tabId);
  if (KindOf(tab) != ControlKind::Tab || index < 0 || index >= static_cast<int>(Send(tab, TCM_GETITEMCOUNT))) return false;
  if (static_cast<int>(Send(tab, TCM_GETCURSEL)) == index) return EndAction();
  NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGING)};
  if (Send(::GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) != 0) return EndAction();
  Send(tab, TCM_SETCURSEL, static_cast<WPARAM>(index));
  header.code = TCN_SELCHANGE;
  Send(::GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  return EndAction();
}

bool PickComboItem(HWND dialog, int comboId, int index) {
  BeginAction();
  HWND combo = ReachableControl(dialog, comboId);
  if (KindOf(combo) != ControlKind::ComboBox || index < 0 || index >= static_cast<int>(Send(combo, CB_GETCOUNT)))
    return false;
  Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
  Notify(combo, CBN_SELCHANGE);
  return EndAction();
}

// Enter and Escape as the dialog manager turns them into commands.
bool PressEnter(HWND dialog) {
  BeginAction();
  if (KindOf(dialog) != ControlKind::Dialog || !Reachable(dialog) || Info(dialog) == nullptr ||
      Info(dialog)->kind != Kind::Dialog)
    return false;
  Send(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
  return EndAction();
}

bool PressEscape(HWND dialog) {
  BeginAction();
  if (KindOf(dialog) != ControlKind::Dialog || !Reachable(dialog) || Info(dialog) == nullptr ||
      Info(dialog)->kind != Kind::Dialog)
    return false;
  Send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return EndAction();
}

bool CloseBox(HWND dialog) {
  BeginAction();
  if (dialog == nullptr || !::IsWindow(dialog) || !(StyleOf(dialog) & WS_VISIBLE) || !IsTopLevel(dialog) ||
      !(StyleOf(dialog) & WS_SYSMENU))
    return false;
  Send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return EndAction();
}

bool Resize(HWND window, int clientWidth, int clientHeight) {
  BeginAction();
  if (window == nullptr || !::IsWindow(window) || !(StyleOf(window) & WS_THICKFRAME) || clientWidth < 0 ||
      clientHeight < 0)
    return false;
  RECT outer{}, client{};
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  const int width = (outer.right - outer.left) - client.right + clientWidth;
  const int height = (outer.bottom - outer.top) - client.bottom + clientHeight;
  ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return EndAction();
}

std::optional<OpenMenu> CurrentMenu() {
  auto& open = win32::CurrentOpenMenu();
  if (!open || !::IsWindow(open->owner)) return std::nullopt;
  OpenMenu menu{open->owner, open->at, {}};
  for (const auto& [command, text] : open->items) menu.items.push_back(MenuItem{command, text});
  return menu;
}

bool ChooseMenuItem(UINT command) {
  auto& open = win32::CurrentOpenMenu();
  if (!open || command == 0) return false;
  const auto found =
      std::find_if(open->items.begin(), open->items.end(), [&](const auto& item) { return item.first == command; });
  if (found == open->items.end()) return false;
  HWND owner = open->owner;
  open.reset();
  if (!::IsWindow(owner)) return false;
  // As the system's menu does once it has closed.
  ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return EndAction();
}

void DismissMenu() { win32::CurrentOpenMenu().reset(); }

bool IsVisible(HWND window) { return Reachable(window); }

std::string WindowText(HWND window) { return ::IsWindow(window) ? win32::WindowTextOf(window) : std::string(); }

std::string ControlText(HWND dialog, int controlId) { return win32::WindowTextOf(Control(dialog, controlId)); }

bool IsChecked(HWND dialog, int controlId) {
  HWND control = Control(dialog, controlId);
  return control && Send(control, BM_GETCHECK) == BST_CHECKED;
}

RECT ClientRect(HWND window) {
  RECT rect{0, 0, 0, 0};
  if (::IsWindow(window)) ::GetClientRect(window, &rect);
  return rect;
}

RECT WindowRect(HWND window) {
  RECT rect{0, 0, 0, 0};
  if (!::IsWindow(window)) return rect;
  ::GetWindowRect(window, &rect);
  if (StyleOf(window) & WS_CHILD) ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int IconId(HWND window, bool big) {
  if (!::IsWindow(window)) return -1;
  return win32::IconIdOf(reinterpret_cast<HICON>(Send(window, WM_GETICON, big ? ICON_BIG : ICON_SMALL)));
}

namespace {

std::vector<ListColumn> Columns(HWND list) {
  std::vector<ListColumn> columns;
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
  const int count = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT)) : 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = 256;
    Send(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    columns.push_back(ListColumn{win32::Narrow(text), column.fmt & LVCFMT_JUSTIFYMASK, column.cx});
  }
  return columns;
}

std::vector<int> ColumnOrder(HWND list, std::size_t count) {
  std::vector<int> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = static_cast<int>(i);
  if (count > 0) Send(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
  return order;
}

std::string Cell(HWND list, int row, int column) {
  // A wrapper of our own for the read, let go before it could take the control with it.
  CListCtrl reader;
  reader.m_hWnd = list;
  std::string text = reader.GetItemText(row, column).Str();
  reader.m_hWnd = nullptr;
  return text;
}

}  // namespace

ListViewState ReadListView(HWND dialog, int listId) {
  ListViewState state{};
  HWND list = Control(dialog, listId);
  if (KindOf(list) != ControlKind::ListView) return state;
  state.columns = Columns(list);
  state.order = ColumnOrder(list, state.columns.size());
  const int rows = RowCount(list);
  for (int row = 0; row < rows; ++row) {
    std::vector<std::string> cells;
    const int columns = std::max<int>(static_cast<int>(state.columns.size()), 1);
    for (int column = 0; column < columns; ++column) cells.push_back(Cell(list, row, column));
    state.rows.push_back(std::move(cells));
    state.selected.push_back(IsSelected(list, row));
  }
  state.bkColor = static_cast<COLORREF>(Send(list, LVM_GETBKCOLOR));
  state.textColor = static_cast<COLORREF>(Send(list, LVM_GETTEXTCOLOR));
  state.textBkColor = static_cast<COLORREF>(Send(list, LVM_GETTEXTBKCOLOR));
  state.extendedStyle = static_cast<DWORD>(Send(list, LVM_GETEXTENDEDLISTVIEWSTYLE));
  state.style = StyleOf(list);
  return state;
}

ComboState ReadCombo(HWND dialog, int comboId) {
  HWND combo = Control(dialog, comboId);
  if (KindOf(combo) != ControlKind::ComboBox) return ComboState{{}, -1, {}};
  ComboState state{{}, static_cast<int>(Send(combo, CB_GETCURSEL)), win32::WindowTextOf(combo)};
  const int count = static_cast<int>(Send(combo, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    state.items.push_back(win32::Narrow(text));
  }
  return state;
}

TabState ReadTabs(HWND dialog, int tabId) {
  HWND tab = Control(dialog, tabId);
  if (KindOf(tab) != ControlKind::Tab) return TabState{{}, -1};
  TabState state{{}, static_cast<int>(Send(tab, TCM_GETCURSEL))};
  const int count = static_cast<int>(Send(tab, TCM_GETITEMCOUNT));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    Send(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    state.tabs.push_back(win32::Narrow(text));
  }
  return state;
}

namespace {

// The same picture as the headless backend draws, read from the real controls.
void DescribeInto(std::ostringstream& out, HWND window, int depth) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  const int id = ::GetDlgCtrlID(window);
  auto idText = [&]() { return id >= 0 && id != 0xFFFF ? std::to_string(id) + " " : std::string(); };
  const ControlKind kind = KindOf(window);
  const std::string text = win32::WindowTextOf(window);
  bool children = false;
  switch (kind) {
    case ControlKind::Dialog:
      if (depth == 0) {
        out << indent << "[" << text << "]";
      } else {
        out << indent << "page " << TemplateIdOf(window);
      }
      children = true;
      break;
    case ControlKind::PushButton:
      out << indent << "button " << idText() << "\"" << text << "\"";
      break;
    case ControlKind::CheckBox:
      out << indent << (Send(window, BM_GETCHECK) == BST_CHECKED ? "[x] " : "[ ] ") << idText() << "\"" << text << "\"";
      break;
    case ControlKind::GroupBox:
      out << indent << "group \"" << text << "\"";
      break;
    case ControlKind::Static:
      out << indent << "label \"" << text << "\"";
      break;
    case ControlKind::Edit:
      out << indent << "edit " << idText() << "\"" << text << "\"" << ((StyleOf(window) & ES_READONLY) ? " (read-only)" : "");
      break;
    case ControlKind::ComboBox: {
      const HWND parent = ::GetParent(window);
      const ComboState combo = ReadCombo(parent, id);
      out << indent << "combo " << idText() << "field \"" << combo.field << "\"";
      for (std::size_t i = 0; i < combo.items.size(); ++i)
        out << "\n" << indent << "  " << (static_cast<int>(i) == combo.curSel ? "> " : "  ") << combo.items[i];
      break;
    }
    case ControlKind::Tab: {
      const TabState tabs = ReadTabs(::GetParent(window), id);
      out << indent << "tabs " << idText();
      for (std::size_t i = 0; i < tabs.tabs.size(); ++i)
        out << (static_cast<int>(i) == tabs.curSel ? " [*" : " [") << tabs.tabs[i] << "]";
      children = true;  // the pages live inside the tab control
      break;
    }
    case ControlKind::ListView: {
      const ListViewState list = ReadListView(::GetParent(window), id);
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
    default:
      out << indent << "window \"" << text << "\"";
      break;
  }
  out << "\n";
  if (!children) return;
  for (HWND inner = ::GetWindow(window, GW_CHILD); inner != nullptr; inner = ::GetWindow(inner, GW_HWNDNEXT)) {
    if (!(StyleOf(inner) & WS_VISIBLE)) continue;
    const ControlKind innerKind = KindOf(inner);
    // Inside a tab control only the pages count (not its scroll arrows).
    if (kind == ControlKind::Tab && innerKind != ControlKind::Dialog) continue;
    if (innerKind == ControlKind::Other) continue;
    DescribeInto(out, inner, depth + 1);
  }
}

}  // namespace

std::string Describe(HWND handle) {
  if (handle == nullptr || !::IsWindow(handle)) return "(no window)\n";
  std::ostringstream out;
  if (!Reachable(handle)) {
    out << "[" << win32::WindowTextOf(handle) << "] (hidden)\n";
    return out.str();
  }
  DescribeInto(out, handle, 0);
  return out.str();
}

}  // namespace fx::testing
