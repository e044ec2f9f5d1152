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

bool ValidRow(const Window* list, int item) { return item >= 0 && item < static_cast<int>(list->rows.size()); }

void ContentChanged(Window* list) { list->listContentVersion = fx::headless::NextListContentVersion(); }

// A list without columns still shows its rows' first cells.
bool ValidColumn(const Window* list, int subItem) {
  return subItem >= 0 && subItem < static_cast<int>(std::max<std::size_t>(list->columns.size(), 1));
}

// The cell, or "" (never a null view) for a missing row or column.
std::string_view Cell(const Window* list, int item, int subItem) {
  if (list == nullptr || !ValidRow(list, item) || !ValidColumn(list, subItem)) return "";
  return list->rows[static_cast<std::size_t>(item)].Cell(static_cast<std::size_t>(subItem));
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
  for (auto& row : list->rows) row.InsertCell(at);
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
  return list ? static_cast<int>(list->rows.size()) : 0;
}

int CListCtrl::InsertItem(int item, const char* text) {
  Window* list = List(this);
  if (list == nullptr || item < 0) return -1;
  const int at = std::min<int>(item, static_cast<int>(list->rows.size()));
  fx::headless::ListRow row;
  row.SetCell(std::max<std::size_t>(list->columns.size(), 1) - 1, "");
  row.SetCell(0, text ? text : "");
  list->rows.insert(list->rows.begin() + at, std::move(row));
  ContentChanged(list);
  return at;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  Window* list = List(this);
  if (list == nullptr || !ValidRow(list, item) || !ValidColumn(list, subItem)) return FALSE;
  list->rows[static_cast<std::size_t>(item)].SetCell(static_cast<std::size_t>(subItem), text ? text : "");
  ContentChanged(list);
  return TRUE;
}

CString CListCtrl::GetItemText(int item, int subItem) const { return CString(Cell(List(this), item, subItem)); }

int CListCtrl::GetItemText(int item, int subItem, char* buffer, int bufferSize) const {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  const std::string_view text = Cell(List(this), item, subItem);
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

std::size_t ListRow::CellStart(std::size_t index) const noexcept {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) {
    const std::size_t end = m_packed.find('\0', start);
    if (end == std::string::npos) return std::string::npos;
    start = end + 1;
  }
  return start < m_packed.size() ? start : std::string::npos;
}

std::size_t ListRow::CellCount() const noexcept {
  std::size_t count = 0;
  for (const char c : m_packed) count += c == '\0';
  return count;
}

std::string_view ListRow::Cell(std::size_t index) const noexcept {
  const std::size_t start = CellStart(index);
  if (start == std::string::npos) return "";  // never a null view: callers copy from it
  return std::string_view(m_packed).substr(start, m_packed.find('\0', start) - start);
}

void ListRow::SetCell(std::size_t index, std::string_view text) {
  const std::string_view clean = text.substr(0, text.find('\0'));
  const std::size_t count = CellCount();
  if (index >= count) m_packed.append(index + 1 - count, '\0');
  const std::size_t start = CellStart(index);
  m_packed.replace(start, m_packed.find('\0', start) - start, clean);
}

void ListRow::InsertCell(std::size_t at) {
  const std::size_t start = CellStart(at);
  if (start != std::string::npos) m_packed.insert(start, 1, '\0');
}

std::vector<std::string> ListRow::Cells(std::size_t count) const {
  std::vector<std::string> cells;
  for (std::size_t start = 0; start < m_packed.size();) {
    const std::size_t end = m_packed.find('\0', start);
    cells.emplace_back(m_packed, start, end - start);
    start = end + 1;
  }
  cells.resize(count);
  return cells;
}

}  // namespace fx::headless

BOOL CListCtrl::DeleteItem(int item) {
  Window* list = List(this);
  if (list == nullptr || !ValidRow(list, item)) return FALSE;
  list->rows.erase(list->rows.begin() + item);
  ContentChanged(list);
  return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  list->rows.clear();
  ContentChanged(list);
  return TRUE;
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  Window* list = List(this);
  if (list == nullptr) return -1;
  for (int i = start < 0 ? 0 : start + 1; i < static_cast<int>(list->rows.size()); ++i)
    if (!(flags & LVNI_SELECTED) || list->rows[static_cast<std::size_t>(i)].selected) return i;
  return -1;
}

UINT CListCtrl::GetSelectedCount() const {
  Window* list = List(this);
  if (list == nullptr) return 0;
  UINT count = 0;
  for (const auto& row : list->rows) count += row.selected ? 1 : 0;
  return count;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  Window* list = List(this);
  if (list == nullptr) return FALSE;
  if (!(mask & LVIS_SELECTED)) return TRUE;
  const bool select = (state & LVIS_SELECTED) != 0;
  // Item -1 addresses every row, as with the real control.
  if (item == -1) {
    for (auto& row : list->rows) row.selected = select;
    return TRUE;
  }
  if (!ValidRow(list, item)) return FALSE;
  if (select && (list->style & LVS_SINGLESEL))
    for (auto& row : list->rows) row.selected = false;
  list->rows[static_cast<std::size_t>(item)].selected = select;
  return TRUE;
}

