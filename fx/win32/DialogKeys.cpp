// The dialog manager's keys: the system's, with a tab control that holds pages taking the focus
// in its place in the Tab order. The system's manager only ever looks inside a control parent,
// never stops on it; here such a window that is a tab stop comes just before its controls.
#include "../core/Backend.h"
#include "Win32.h"

namespace fx::backend {
namespace {

bool Usable(HWND window) { return ::IsWindowVisible(window) && ::IsWindowEnabled(window); }

bool IsContainerStop(HWND window) {
  return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
         (::GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) && Usable(window);
}

// The outermost tab-stop control parent below `dialog` around `window` and not around `other`.
HWND ContainerStopLeft(HWND dialog, HWND window, HWND other) {
  HWND found = nullptr;
  for (HWND w = ParentOf(window); w != nullptr && w != dialog; w = ParentOf(w))
    if (IsContainerStop(w) && !::IsChild(w, other) && w != other) found = w;
  return found;
}

// The first tab stop inside `container`, as the system's manager orders them.
HWND FirstStopInside(HWND container) {
  for (HWND child = ::GetWindow(container, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!Usable(child)) continue;
    if (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      if (IsContainerStop(child)) return child;
      if (HWND inner = FirstStopInside(child)) return inner;
    } else if (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) {
      return child;
    }
  }
  return nullptr;
}

// Where Tab (Shift+Tab when `back`) goes from `focus` when the order differs from the system's.
HWND TabTarget(HWND dialog, HWND focus, bool back) {
  if (!back && IsContainerStop(focus)) return FirstStopInside(focus);
  if (back && IsContainerStop(focus)) {
    HWND first = FirstStopInside(focus);
    return ::GetNextDlgTabItem(dialog, first ? first : focus, TRUE);
  }
  HWND next = ::GetNextDlgTabItem(dialog, focus, back ? TRUE : FALSE);
  if (next == nullptr) return nullptr;
  // Forward into a tab stop's controls from outside: the stop first. Back out of them: the same.
  return back ? ContainerStopLeft(dialog, focus, next) : ContainerStopLeft(dialog, next, focus);
}

}  // namespace

bool IsDialogMessage(HWND dialog, MSG* message) {
  if (message->message == WM_KEYDOWN && message->wParam == VK_TAB && !IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU)) {
    HWND focus = ::GetFocus();
    if (focus != nullptr && (focus == dialog || ::IsChild(dialog, focus)) &&
        !(::SendMessageW(focus, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(message)) & DLGC_WANTTAB)) {
      if (HWND target = TabTarget(dialog, focus, IsKeyDown(VK_SHIFT))) {
        ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        return true;
      }
    }
  }
  return ::IsDialogMessageW(dialog, message) != FALSE;
}

bool IsKeyDown(int virtualKey) { return ::GetKeyState(virtualKey) < 0; }

HWND TabControlOf(HWND dialog) { return ::FindWindowExW(dialog, nullptr, WC_TABCONTROLW, nullptr); }

// What the system's tab control does for a click on a tab.
void StepTab(HWND tab, int step) {
  const int count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  const int current = static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0));
  const int next = ((current + step) % count + count) % count;
  if (next == current) return;
  HWND parent = ::GetParent(tab);
  NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGING};
  if (::SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) != 0) return;
  ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
  header.code = TCN_SELCHANGE;
  ::SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace fx::backend
