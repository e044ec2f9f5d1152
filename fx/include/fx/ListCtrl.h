// CListCtrl: a list-view control in report view. Rows are addressed by index, columns by their
// index whatever their order on screen. A list with the LVS_OWNERDATA style keeps no texts: its
// owner holds the rows, sets their count and answers LVN_GETDISPINFO for each cell shown or read.
#pragma once

#include <cstdint>

#include "fx/Wnd.h"

class CListCtrl : public CWnd {
 public:
  int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
  BOOL SetBkColor(COLORREF colour);
  BOOL SetTextColor(COLORREF colour);
  BOOL SetTextBkColor(COLORREF colour);
  // Sets the extended styles with mask 0: every style not in `styles` is switched off.
  DWORD SetExtendedStyle(DWORD styles);

  int GetItemCount() const;
  // An owner-data list's row count (rows past it go, new rows come unselected); `flags` are
  // LVSICF_NOINVALIDATEALL and LVSICF_NOSCROLL. An ordinary list takes it as a hint only.
  BOOL SetItemCountEx(int count, DWORD flags = LVSICF_NOINVALIDATEALL);
  int InsertItem(int item, const char* text);  // returns the new row's index, -1 on failure
  BOOL SetItemText(int item, int subItem, const char* text);
  CString GetItemText(int item, int subItem) const;
  // Reads at most bufferSize - 1 bytes of the cell, cut at a character boundary.
  int GetItemText(int item, int subItem, char* buffer, int bufferSize) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();

  // Changes whenever a row is inserted or deleted, a cell's text is set or a column is added or
  // removed, and no two lists (nor one list before and after a change) share a value, so a
  // caller may keep what it derived from the rows for as long as this stays the same.
  std::uint64_t GetContentVersion() const;

  // From `start` (-1: from the top), the next row with the flags (LVNI_SELECTED); -1 if none.
  int GetNextItem(int start, UINT flags) const;
  UINT GetSelectedCount() const;
  BOOL SetItemState(int item, UINT state, UINT mask);
};
