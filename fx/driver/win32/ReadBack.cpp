// What a person sees of the real windows, for the driver: read from the controls themselves.
#include <algorithm>

#include "driver/Input.h"
#include "win32/Win32.h"
#include "fx/ListCtrl.h"
#include "fx/Testing.h"

namespace fx::testing {
namespace {

using win32::Info;

HWND Control(HWND dialog, int id) {
  if (dialog == nullptr || !::IsWindow(dialog)) return nullptr;
  return ::GetDlgItem(dialog, id);
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(window, message, wParam, lParam);
}

bool IsSelected(HWND list, int row) {
  return (Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

}  // namespace

int TemplateIdOf(HWND dialog) {
  const auto* info = ::IsWindow(dialog) ? Info(dialog) : nullptr;
  return info ? info->templateId : -1;
}

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
  if (input::StyleOf(window) & WS_CHILD) ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
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
  if (input::KindOf(list) != input::Kind::ListView) return state;
  state.columns = Columns(list);
  state.order = ColumnOrder(list, state.columns.size());
  const int rows = input::RowCount(list);
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
  state.style = input::StyleOf(list);
  return state;
}

ComboState ReadCombo(HWND dialog, int comboId) {
  HWND combo = Control(dialog, comboId);
  if (input::KindOf(combo) != input::Kind::ComboBox) return ComboState{{}, -1, {}};
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
  if (input::KindOf(tab) != input::Kind::Tab) return TabState{{}, -1};
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

}  // namespace fx::testing
