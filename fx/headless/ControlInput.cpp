// The headless controls' answers to keyboard and mouse messages, with the real controls' rules:
// a button clicks when the mouse button or Space goes up; an edit appends typed characters; a
// list-view selects on mouse down (Ctrl toggles, Shift extends) and reports the click, right
// click and double click with the cell under the mouse; a tab control asks before it changes.
#include <algorithm>

#include "Window.h"

namespace fx::headless {
namespace {

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<LONG>(static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)))),
               static_cast<LONG>(static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam))))};
}

struct Cell {
  int row;
  int column;
};

Cell HitTest(const Window* list, POINT at) {
  const int offset = at.y - kListHeaderHeight;
  const int row = offset < 0 ? -1 : offset / kListRowHeight;
  if (row >= list->RowCount()) return Cell{-1, -1};
  int left = 0;
  for (int column : list->columnOrder) {
    const int width = list->columns[static_cast<std::size_t>(column)].width;
    if (at.x >= left && at.x < left + std::max(width, 1)) return Cell{row, column};
    left += width;
  }
  return Cell{row, -1};
}

void SelectOnly(Window* list, int row) {
  list->rowSelected.assign(list->rowSelected.size(), false);
  if (row >= 0) list->rowSelected[static_cast<std::size_t>(row)] = true;
}

int FirstSelected(const Window* list) {
  const auto found = std::find(list->rowSelected.begin(), list->rowSelected.end(), true);
  return found == list->rowSelected.end() ? -1 : static_cast<int>(found - list->rowSelected.begin());
}

void ListMouseDown(Window* list, WPARAM keys, Cell cell, bool right) {
  SetFocus(list);
  const int row = cell.row;
  const bool multi = !(list->style & LVS_SINGLESEL);
  if (right) {
    // A right click keeps a selection that includes the row under the mouse.
    if (row < 0 || !list->rowSelected[static_cast<std::size_t>(row)]) SelectOnly(list, row);
  } else if (row < 0) {
    if (!(keys & (MK_CONTROL | MK_SHIFT))) SelectOnly(list, -1);
  } else if (multi && (keys & MK_CONTROL)) {
    list->rowSelected[static_cast<std::size_t>(row)].flip();
  } else if (multi && (keys & MK_SHIFT)) {
    const int anchor = FirstSelected(list) < 0 ? row : FirstSelected(list);
    const int from = std::min(anchor, row), to = std::max(anchor, row);
    for (int i = 0; i < list->RowCount(); ++i) list->rowSelected[static_cast<std::size_t>(i)] = i >= from && i <= to;
  } else {
    SelectOnly(list, row);
  }
}

LRESULT ListInput(Window* list, UINT message, WPARAM wParam, LPARAM lParam) {
  const Cell cell = HitTest(list, PointOf(lParam));
  // Below the rows the real control reports column 0 with row -1.
  const int column = cell.row < 0 ? 0 : cell.column;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      ListMouseDown(list, wParam, cell, message == WM_RBUTTONDOWN);
      break;
    case WM_LBUTTONUP:
      NotifyList(list, NM_CLICK, cell.row, column);
      break;
    case WM_RBUTTONUP:
      NotifyList(list, NM_RCLICK, cell.row, column);
      break;
    case WM_LBUTTONDBLCLK:
      NotifyList(list, NM_DBLCLK, cell.row, column);
      break;
    case WM_KEYDOWN:
      // Home and the arrows move the selection alone; no click is reported.
      if (list->RowCount() == 0) break;
      if (wParam == VK_HOME) SelectOnly(list, 0);
      if (wParam == VK_DOWN) SelectOnly(list, std::min(FirstSelected(list) + 1, list->RowCount() - 1));
      if (wParam == VK_UP) SelectOnly(list, std::max(FirstSelected(list) - 1, 0));
      break;
    default:
      break;
  }
  return 0;
}

void ButtonClicked(Window* button) {
  if (button->kind == Kind::CheckBox && (button->style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
    button->check = button->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  NotifyCommand(button, BN_CLICKED);
}

// A typed character in wParam: one byte, or a double-byte character's lead byte then its trail.
void Typed(Window* control, WPARAM wParam) {
  const auto lead = static_cast<char>(wParam & 0xFF), trail = static_cast<char>((wParam >> 8) & 0xFF);
  if (static_cast<unsigned char>(lead) < 0x20) return;  // control characters type nothing
  control->text += lead;
  if (trail != '\0') control->text += trail;
  if (control->kind == Kind::Edit) {
    NotifyCommand(control, EN_CHANGE);
  } else {
    control->curSel = -1;
    NotifyCommand(control, CBN_EDITCHANGE);
  }
}

}  // namespace

HeldModifiers& HeldKeys() {
  static HeldModifiers keys;
  return keys;
}

void SelectTabAsPerson(Window* tab, int index) {
  if (index < 0 || index >= static_cast<int>(tab->items.size()) || index == tab->curSel) return;
  NMHDR header{tab->handle(), static_cast<UINT_PTR>(tab->id), TCN_SELCHANGING};
  if (Send(tab->parent, WM_NOTIFY, static_cast<WPARAM>(tab->id), reinterpret_cast<LPARAM>(&header)) != 0) return;
  tab->curSel = index;
  header.code = TCN_SELCHANGE;
  Send(tab->parent, WM_NOTIFY, static_cast<WPARAM>(tab->id), reinterpret_cast<LPARAM>(&header));
}

POINT CellPoint(const Window* list, int row, int column) {
  int left = 0, width = 0;
  for (int index : list->columnOrder) {
    width = list->columns[static_cast<std::size_t>(index)].width;
    if (index == column) break;
    left += width;
  }
  const int rows = list->RowCount();
  const int top = kListHeaderHeight + (row < 0 ? rows : row) * kListRowHeight;
  return POINT{left + std::min(2, width / 2), top + kListRowHeight / 2};
}

LRESULT ControlInput(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (window->kind) {
    case Kind::ListView:
      return ListInput(window, message, wParam, lParam);
    case Kind::PushButton:
    case Kind::CheckBox:
      if (message == WM_LBUTTONDOWN) SetFocus(window);
      if (message == WM_LBUTTONUP || (message == WM_KEYUP && wParam == VK_SPACE)) ButtonClicked(window);
      return 0;
    case Kind::Edit:
    case Kind::ComboBox:
      if (message == WM_LBUTTONDOWN) SetFocus(window);
      if (message == WM_CHAR && !(window->style & ES_READONLY && window->kind == Kind::Edit)) Typed(window, wParam);
      return 0;
    case Kind::Tab:
      // A click on a tab, or an arrow key while the tab control has the focus (no wrapping).
      if (message == WM_LBUTTONDOWN) {
        SetFocus(window);
        SelectTabAsPerson(window, PointOf(lParam).x / kTabWidth);
      } else if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
        SelectTabAsPerson(window, window->curSel + (wParam == VK_LEFT ? -1 : 1));
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace fx::headless
