#include "fx/App.h"

#include <string>

#include "fx/Desktop.h"
#include "fx/Wnd.h"

namespace {

std::string& Title() {
  static std::string title = "Zelkor";
  return title;
}

CWnd* g_mainWindow = nullptr;

}  // namespace

int AfxMessageBox(const char* text, UINT type) {
  return fx::GetDesktop().ShowMessageBox({nullptr, text ? text : "", Title(), type});
}

CWnd* AfxGetMainWnd() { return g_mainWindow; }

namespace fx {

void SetMainWindow(CWnd* window) { g_mainWindow = window; }

void SetAppTitle(std::string_view title) { Title() = title; }
const char* AppTitle() { return Title().c_str(); }

void MessageBeep(UINT type) { GetDesktop().Beep(type); }

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  *point = GetDesktop().CursorPos();
  return TRUE;
}

}  // namespace fx
