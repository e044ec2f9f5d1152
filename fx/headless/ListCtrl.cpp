#include "fx/ListCtrl.h"

#include <algorithm>
#include <cstring>

#include "Window.h"
#include "fx/Sjis.h"

using fx::headless::Live;
using fx::headless::Window;

namespace {

Window* List(const CListCtrl* list) {
  Window* window = Live(list->m_hWnd);
  return window && window->IsListView() ? window : nullptr;
}

bool ValidRow(const Window* list, int item) { return item >= 0 && item < list->RowCount(); }

void ContentChanged(Window* list) { list->listContentVersion = fx::headless::NextListContentVersion(); }

// A list without columns still shows its rows' first cells.
bool ValidColumn(const Window* list, int subItem) {
  return subItem >= 0 && subItem < static_cast<int>(std::max<std::size_t>(list->columns.size(), 1));
}

// Asks the owner, as the real control does: into a buffer that grows while the text fills it,
// unless the owner points at a text of its own.
std::string OwnerCellText(const Window* list, int item, int subItem) {
  if (list->parent == nullptr) return "";
  std::vector<char> buffer(1024);
  for (;;) {
    NMLVDISPINFO info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(const_cast<Window*>(list));
    info.hdr.idFrom = static_cast<UINT_PTR>(list->id);
    info.hdr.code = LVN_GETDISPINFO;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = subItem;
    info.item.pszText = buffer.data();
    info.item.cchTextMax = static_cast<int>(buffer.size());
    fx::headless::Send(list->parent, WM_NOTIFY, static_cast<WPARAM>(list->id), reinterpret_cast<LPARAM>(&info));
    if (info.item.pszText == nullptr) return "";
    if (info.item.pszText != buffer.data()) return info.item.pszText;
    const std::size_t length = ::strnlen(buffer.data(), buffer.size() - 1);
    if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) return std::string(buffer.data(), length);
    buffer.assign(buffer.size() * 4, '\0');
  }
}

}  // namespace

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
  Window* list = List(this);
  if (list == nullptr || column < 0) return -1;
  const auto at = static_cast<std::size_t>(std::min<int>(column, static_cast<int>(list->columns.size())));
  list->columns.insert(list->columns.begin() + static_cast<std::ptrdiff_t>(at),
                       fx::headless::ListColumnData{heading ? heading : "", format, width < 0 ? 0 : width});
  for (int& index : list->columnOrder)
    if (index >= static_cast<int>(at)) ++index;
  list->columnOrder.push_back(static_cast<int>(at));
  for (auto& cells : list->rowCells)
    if (at < cells.size()) cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), std::string());
  ContentChanged(list);
  return static_cast<int>(at);
}

BOOL CListCtrl::SetBkColor(COLORREF colour) {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  list->bkColor = colour;
  return TRUE;
}

BOOL CListCtrl::SetTextColor(COLORREF colour) {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  list->textColor = colour;
  return TRUE;
}

BOOL CListCtrl::SetTextBkColor(COLORREF colour) {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  list->textBkColor = colour;
  return TRUE;
}

DWORD CListCtrl::SetExtendedStyle(DWORD styles) {
  Window* list = List(this);
  if (list == nullptr) return 0;
  const DWORD previous = list->extendedStyle;
  list->extendedStyle = styles;
  return previous;
}

int CListCtrl::GetItemCount() const {
  Window* list = List(this);
  return list ? list->RowCount() : 0;
}

BOOL CListCtrl::SetItemCountEx(int count, DWORD /*flags: nothing is drawn*/) {
  Window* list = List(this);
  if (list == nullptr || count < 0) return FALSE;
  if (!list->IsOwnerData()) return TRUE;
  list->rowSelected.resize(static_cast<std::size_t>(count));
  ContentChanged(list);
  return TRUE;
}

// An owner-data list takes the row, without a text, as the real control does.
int CListCtrl::InsertItem(int item, const char* text) {
  Window* list = List(this);
  if (list == nullptr || item < 0) return -1;
  const int at = std::min(item, list->RowCount());
  if (!list->IsOwnerData()) {
    std::vector<std::string> cells(std::max<std::size_t>(list->columns.size(), 1));
    cells[0] = text ? text : "";
    list->rowCells.insert(list->rowCells.begin() + at, std::move(cells));
  }
  list->rowSelected.insert(list->rowSelected.begin() + at, false);
  ContentChanged(list);
  return at;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  Window* list = List(this);
  if (list == nullptr || list->IsOwnerData() || !ValidRow(list, item) || !ValidColumn(list, subItem)) return FALSE;
  auto& cells = list->rowCells[static_cast<std::size_t>(item)];
  if (static_cast<std::size_t>(subItem) >= cells.size()) cells.resize(static_cast<std::size_t>(subItem) + 1);
  // A cell comes from a C string: it never holds a NUL.
  cells[static_cast<std::size_t>(subItem)] = text ? text : "";
  ContentChanged(list);
  return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  const Window* list = List(this);
  return list ? CString(fx::headless::ListCellText(list, item, subItem)) : CString();
}

int CListCtrl::GetItemText(int item, int subItem, char* buffer, int bufferSize) const {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  const Window* list = List(this);
  const std::string text = list ? fx::headless::ListCellText(list, item, subItem) : std::string();
  const std::size_t length = fx::sjis::CutLength(text, static_cast<std::size_t>(bufferSize) - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

std::uint64_t CListCtrl::GetContentVersion() const {
  Window* list = List(this);
  return list ? list->listContentVersion : 0;
}

namespace fx::headless {

std::uint64_t NextListContentVersion() {
  static std::uint64_t last = 0;
  return ++last;
}

std::string ListCellText(const Window* list, int row, int column) {
  if (!ValidRow(list, row) || !ValidColumn(list, column)) return "";
  if (list->IsOwnerData()) return OwnerCellText(list, row, column);
  const auto& cells = list->rowCells[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : std::string();
}

}  // namespace fx::headless

BOOL CListCtrl::DeleteItem(int item) {
  Window* list = List(this);
  if (list == nullptr || !ValidRow(list, item)) return FALSE;
  if (!list->IsOwnerData()) list->rowCells.erase(list->rowCells.begin() + item);
  list->rowSelected.erase(list->rowSelected.begin() + item);
  ContentChanged(list);
  return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  list->rowCells.clear();
  list->rowSelected.clear();
  ContentChanged(list);
  return TRUE;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  Window* list = List(this);
  if (list == nullptr) return -1;
  for (int i = start < 0 ? 0 : start + 1; i < list->RowCount(); ++i)
    if (!(flags & LVNI_SELECTED) || list->rowSelected[static_cast<std::size_t>(i)]) return i;
  return -1;
}

UINT CListCtrl::GetSelectedCount() const {
  Window* list = List(this);
  if (list == nullptr) return 0;
  return static_cast<UINT>(std::count(list->rowSelected.begin(), list->rowSelected.end(), true));
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  if (!(mask & LVIS_SELECTED)) return TRUE;
  const bool select = (state & LVIS_SELECTED) != 0;
  // Item -1 addresses every row, as with the real control.
  if (item == -1) {
    list->rowSelected.assign(list->rowSelected.size(), select);
    return TRUE;
  }
  if (!ValidRow(list, item)) return FALSE;
  if (select && (list->style & LVS_SINGLESEL)) list->rowSelected.assign(list->rowSelected.size(), false);
  list->rowSelected[static_cast<std::size_t>(item)] = select;
  return TRUE;
}

