#include "fx/TabCtrl.h"

#include "Win32.h"

LONG CTabCtrl::InsertItem(int item, const char* text) {
  if (m_hWnd == nullptr || item < 0) return -1;
  std::wstring wide = fx::win32::Wide(text ? text : "");
  TCITEMW data{};
  data.mask = TCIF_TEXT;
  data.pszText = wide.data();
  return static_cast<LONG>(::SendMessageW(m_hWnd, TCM_INSERTITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&data)));
}

int CTabCtrl::GetItemCount() const { return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, TCM_GETITEMCOUNT, 0, 0)) : 0; }

int CTabCtrl::GetCurSel() const { return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0)) : -1; }

int CTabCtrl::SetCurSel(int item) {
  if (m_hWnd == nullptr || item < 0 || item >= GetItemCount()) return -1;
  return static_cast<int>(::SendMessageW(m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(item), 0));
}
