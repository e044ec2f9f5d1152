#include "fx/ListCtrl.h"

#include <algorithm>
#include <cstring>

#include "Win32.h"
#include "fx/Sjis.h"

namespace {

LRESULT Send(const CListCtrl* list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return list->m_hWnd ? ::SendMessageW(list->m_hWnd, message, wParam, lParam) : 0;
}

int ColumnCount(const CListCtrl* list) {
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
  return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

}  // namespace

namespace fx::win32 {

std::uint64_t NextListContentVersion() {
  static std::uint64_t last = 0;
  return ++last;
}

bool ChangesListContent(UINT message) {
  switch (message) {
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_SETITEMA:
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTA:
    case LVM_SETITEMTEXTW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_INSERTCOLUMNA:
    case LVM_INSERTCOLUMNW:
    case LVM_DELETECOLUMN:
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
    case LVM_SETITEMCOUNT:
      return true;
    default:
      return false;
  }
}

}  // namespace fx::win32

std::uint64_t CListCtrl::GetContentVersion() const {
  const fx::win32::WindowInfo* info = m_hWnd ? fx::win32::Info(m_hWnd) : nullptr;
  if (m_hWnd == nullptr) return 0;
  // A control nobody watches could change unseen: it counts as changed at every call.
  if (info == nullptr || !info->subclassed) return fx::win32::NextListContentVersion();
  return info->listContentVersion;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
  if (m_hWnd == nullptr || column < 0) return -1;
  std::wstring text = fx::win32::Wide(heading ? heading : "");
  LVCOLUMNW data{};
  data.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
  data.fmt = format;
  data.pszText = text.data();
  data.iSubItem = column;
  if (width >= 0) {
    data.mask |= LVCF_WIDTH;
    data.cx = width;
  }
  return static_cast<int>(Send(this, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&data)));
}

BOOL CListCtrl::SetBkColor(COLORREF colour) { return static_cast<BOOL>(Send(this, LVM_SETBKCOLOR, 0, colour)); }
BOOL CListCtrl::SetTextColor(COLORREF colour) { return static_cast<BOOL>(Send(this, LVM_SETTEXTCOLOR, 0, colour)); }
BOOL CListCtrl::SetTextBkColor(COLORREF colour) { return static_cast<BOOL>(Send(this, LVM_SETTEXTBKCOLOR, 0, colour)); }

DWORD CListCtrl::SetExtendedStyle(DWORD styles) {
  return static_cast<DWORD>(Send(this, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles)));
}

int CListCtrl::GetItemCount() const { return static_cast<int>(Send(this, LVM_GETITEMCOUNT)); }

BOOL CListCtrl::SetItemCountEx(int count, DWORD flags) {
  if (m_hWnd == nullptr || count < 0) return FALSE;
  return static_cast<BOOL>(Send(this, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags)));
}

int CListCtrl::InsertItem(int item, const char* text) {
  if (m_hWnd == nullptr || item < 0) return -1;
  std::wstring wide = fx::win32::Wide(text ? text : "");
  LVITEMW data{};
  data.mask = LVIF_TEXT;
  data.iItem = item;
  data.pszText = wide.data();
  return static_cast<int>(Send(this, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&data)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  if (item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= std::max(ColumnCount(this), 1)) return FALSE;
  std::wstring wide = fx::win32::Wide(text ? text : "");
  LVITEMW data{};
  data.iSubItem = subItem;
  data.pszText = wide.data();
  return static_cast<BOOL>(Send(this, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&data)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  // A column the list does not have is empty, as on every backend.
  if (item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= std::max(ColumnCount(this), 1)) return CString();
  // The control copies at most the buffer's size less one: grow until the text fits.
  for (std::size_t size = 1024;; size *= 4) {
    std::wstring buffer(size, L'\0');
    LVITEMW data{};
    data.iSubItem = subItem;
    data.pszText = buffer.data();
    data.cchTextMax = static_cast<int>(size);
    const auto length = static_cast<std::size_t>(
        Send(this, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&data)));
    if (length + 1 < size || size >= (1u << 20)) {
      buffer.resize(std::min(length, size));
      return CString(fx::win32::Narrow(buffer));
    }
  }
}

int CListCtrl::GetItemText(int item, int subItem, char* buffer, int bufferSize) const {
  if (buffer == nullptr || bufferSize <= 0) return 0;
  const CString text = GetItemText(item, subItem);
  const std::size_t length = fx::sjis::CutLength(text.View(), static_cast<std::size_t>(bufferSize) - 1);
  std::memcpy(buffer, text.GetString(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

BOOL CListCtrl::DeleteItem(int item) {
  if (item < 0 || item >= GetItemCount()) return FALSE;
  return static_cast<BOOL>(Send(this, LVM_DELETEITEM, static_cast<WPARAM>(item)));
}

BOOL CListCtrl::DeleteAllItems() {
  if (m_hWnd == nullptr) return FALSE;
  return static_cast<BOOL>(Send(this, LVM_DELETEALLITEMS));
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  return m_hWnd ? static_cast<int>(Send(this, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0))) : -1;
}

UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(Send(this, LVM_GETSELECTEDCOUNT)); }

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  if (m_hWnd == nullptr || item < -1 || item >= GetItemCount()) return FALSE;
  LVITEMW data{};
  data.stateMask = mask;
  data.state = state;
  return static_cast<BOOL>(Send(this, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&data)));
}

