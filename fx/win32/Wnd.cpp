// CWnd's window operations on real windows.
#include "Win32.h"
#include "fx/Wnd.h"

using fx::win32::Info;

fx::backend::Attachment* fx::backend::AttachmentOf(HWND window, bool adopt) {
  if (window == nullptr || !::IsWindow(window)) return nullptr;
  if (adopt && Info(window) == nullptr) fx::win32::WatchControl(window);
  return Info(window);
}

void fx::backend::DestroyOrphan(HWND window) {
  if (::IsWindow(window)) ::DestroyWindow(window);
}

BOOL CWnd::CreateTopLevel(const char* caption, int width, int height) {
  if (m_hWnd != nullptr) return FALSE;
  const std::wstring title = fx::win32::Wide(caption ? caption : "");
  HWND window = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(fx::win32::TopLevelClass())), title.c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (window == nullptr) return FALSE;
  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  return TRUE;
}

// The system destroys owned windows topmost first; fx destroys them in the order they were
// made, as the headless backend does, so that what their destroy handlers save comes out the
// same on both.
BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return FALSE;
  for (HWND owned : fx::win32::OwnWindows())
    if (owned != m_hWnd && ::IsWindow(owned) && ::GetWindow(owned, GW_OWNER) == m_hWnd) ::DestroyWindow(owned);
  return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::ShowWindow(int command) { return m_hWnd ? ::ShowWindow(m_hWnd, command) : FALSE; }

BOOL CWnd::IsWindowVisible() const { return m_hWnd ? ::IsWindowVisible(m_hWnd) : FALSE; }

BOOL CWnd::SetForegroundWindow() { return m_hWnd ? ::SetForegroundWindow(m_hWnd) : FALSE; }

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (m_hWnd == nullptr) return FALSE;
  return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{0, 0, 0, 0};
  if (m_hWnd) ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(RECT* rect) const {
  *rect = RECT{0, 0, 0, 0};
  if (m_hWnd) ::GetWindowRect(m_hWnd, rect);
}

CWnd* CWnd::GetOwner() const { return m_hWnd ? FromHandle(::GetWindow(m_hWnd, GW_OWNER)) : nullptr; }

void CWnd::SetWindowText(const char* text) {
  if (m_hWnd) fx::win32::SetWindowTextOf(m_hWnd, text ? text : "");
}

void CWnd::GetWindowText(CString& text) const { text = fx::win32::WindowTextOf(m_hWnd); }

CWnd* CWnd::GetDlgItem(int id) const { return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, id)) : nullptr; }

UINT CWnd::IsDlgButtonChecked(int id) const { return m_hWnd ? ::IsDlgButtonChecked(m_hWnd, id) : BST_UNCHECKED; }

void CWnd::CheckDlgButton(int id, UINT check) {
  if (m_hWnd) ::CheckDlgButton(m_hWnd, id, check);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? ::PostMessageW(m_hWnd, message, wParam, lParam) : FALSE;
}
