// CWnd's window operations on real windows.
#include "Win32.h"
#include "fx/App.h"
#include "fx/Desktop.h"
#include "fx/Wnd.h"

using fx::win32::Info;
using fx::win32::WindowInfo;

CWnd::CWnd() = default;

CWnd::~CWnd() {
  HWND window = m_hWnd;
  if (window == nullptr) return;
  m_hWnd = nullptr;
  if (WindowInfo* info = Info(window); info && info->object == this) info->object = nullptr;
  if (::IsWindow(window)) ::DestroyWindow(window);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr || !::IsWindow(hWnd)) return nullptr;
  WindowInfo* info = Info(hWnd);
  if (info != nullptr && info->object != nullptr) return info->object;
  if (info == nullptr) {
    fx::win32::WatchControl(hWnd);
    info = Info(hWnd);
  }
  if (!info->temporary) {
    info->temporary = std::make_unique<CWnd>();
    info->temporary->m_hWnd = hWnd;
  }
  return info->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == nullptr || !::IsWindow(hWnd)) return nullptr;
  const WindowInfo* info = Info(hWnd);
  return info != nullptr ? info->object : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || !::IsWindow(hWnd)) return FALSE;
  fx::win32::WatchControl(hWnd);
  WindowInfo* info = Info(hWnd);
  if (info->object != nullptr && info->object != this) return FALSE;
  info->object = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND handle = m_hWnd;
  if (WindowInfo* info = Info(handle); info && info->object == this) info->object = nullptr;
  m_hWnd = nullptr;
  return handle;
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

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  if (m_hWnd) ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

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

CWnd* CWnd::GetParent() const {
  if (m_hWnd == nullptr || !(::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)) return nullptr;
  return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetOwner() const { return m_hWnd ? FromHandle(::GetWindow(m_hWnd, GW_OWNER)) : nullptr; }

int CWnd::GetDlgCtrlID() const { return m_hWnd ? ::GetDlgCtrlID(m_hWnd) : 0; }

void CWnd::SetWindowText(const char* text) {
  if (m_hWnd) fx::win32::SetWindowTextOf(m_hWnd, text ? text : "");
}

void CWnd::GetWindowText(CString& text) const { text = fx::win32::WindowTextOf(m_hWnd); }

int CWnd::GetWindowTextLength() const { return static_cast<int>(fx::win32::WindowTextOf(m_hWnd).size()); }

CWnd* CWnd::GetDlgItem(int id) const { return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, id)) : nullptr; }

void CWnd::SetDlgItemText(int id, const char* text) {
  if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
}

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

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return fx::GetDesktop().ShowMessageBox({m_hWnd, text ? text : "", caption ? caption : fx::AppTitle(), type});
}
