#include "fx/App.h"

#include <string>

#include "Backend.h"
#include "fx/Desktop.h"
#include "fx/Wnd.h"

namespace {

std::string& Title() {
  static std::string title = "Zelkor";
  return title;
}

CWnd* g_mainWindow = nullptr;

}  // namespace

// The box belongs to the window the person works in, so that it stays above it and that window
// takes no clicks until the box is answered: a box owned by the main window alone would leave
// a settings window in front of it, and open to a second click.
int AfxMessageBox(const char* text, UINT type) {
  const HWND owner = g_mainWindow ? fx::backend::LastActivePopup(g_mainWindow->m_hWnd) : nullptr;
  return fx::GetDesktop().ShowMessageBox({owner, text ? text : "", Title(), fx::WithDefaultIcon(type)});
}

CWnd* AfxGetMainWnd() { return g_mainWindow; }

namespace fx {

void SetMainWindow(CWnd* window) { g_mainWindow = window; }

void SetAppTitle(std::string_view title) { Title() = title; }
const char* AppTitle() { return Title().c_str(); }

UINT WithDefaultIcon(UINT type) {
  if ((type & MB_ICONMASK) != 0) return type;
  switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
      return type | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return type | MB_ICONQUESTION;
    default:  // abort/retry/ignore and retry/cancel boxes have none
      return type;
  }
}

void MessageBeep(UINT type) { GetDesktop().Beep(type); }

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  *point = GetDesktop().CursorPos();
  return TRUE;
}

}  // namespace fx
