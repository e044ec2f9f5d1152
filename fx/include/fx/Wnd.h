// CWnd: a C++ object attached to a window. Messages reach the object through WindowProc, which
// dispatches commands, notifications and plain messages through the class's message table.
#pragma once

#include "fx/MessageMap.h"
#include "fx/String.h"
#include "fx/Types.h"

class CDataExchange;

class CWnd {
 public:
  CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  // A window still attached when its object goes away is destroyed without reaching the
  // object, whose derived parts are already gone by then.
  virtual ~CWnd();

  HWND m_hWnd = nullptr;
  operator HWND() const noexcept { return m_hWnd; }  // NOLINT

  // The object attached to a window, or a temporary wrapper owned by the window.
  static CWnd* FromHandle(HWND hWnd);
  // The object attached to a window; null when none is (no temporary wrapper is made).
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Attaches this object to an existing window (what DDX_Control does to controls).
  BOOL SubclassWindow(HWND hWnd);

  // A plain top-level window with a caption, such as a host's main window.
  BOOL CreateTopLevel(const char* caption, int width, int height);
  BOOL DestroyWindow();

  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  BOOL SetForegroundWindow();
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  void GetClientRect(RECT* rect) const;
  void GetWindowRect(RECT* rect) const;
  CWnd* GetOwner() const;

  void SetWindowText(const char* text);
  void GetWindowText(CString& text) const;

  CWnd* GetDlgItem(int id) const;
  void SetDlgItemText(int id, const char* text);
  int GetDlgItemText(int id, CString& text) const;
  UINT IsDlgButtonChecked(int id) const;
  void CheckDlgButton(int id, UINT check);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // A message box owned by this window.
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  // The entry of every message; dispatches through OnWndMsg, then the default handling.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // The message loop's offer of a message before it is dispatched, to this window's object
  // and then to those of the windows around it (fx::PreTranslateMessage). TRUE: this window
  // has handled it, and it is not dispatched. By default nothing is taken.
  virtual BOOL PreTranslateMessage(MSG* message);

 protected:
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void DoDataExchange(CDataExchange* dx);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the default handling of the message being dispatched.
  LRESULT Default();

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnDestroy();

  static const ::fx::MessageMap* GetThisMessageMap();
  virtual const ::fx::MessageMap* GetMessageMap() const;

 private:
  BOOL DispatchFromMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result);
  friend class CDialog;
};

// The host's main window: the owner of every window created without a parent.
CWnd* AfxGetMainWnd();
namespace fx {
void SetMainWindow(CWnd* window);
}
