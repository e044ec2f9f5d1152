// What each backend provides to the shared core.
#pragma once

#include "fx/Resources.h"
#include "fx/Types.h"

class CWnd;

namespace fx {
class Desktop;
}

namespace fx::backend {

// The desktop in use while the host has installed none: silent on the headless backend, the
// real message boxes, clipboard and shell on Win32.
Desktop& DefaultDesktop();

// Builds the dialog window and its controls from the template, attaches `object` to it, sends
// WM_INITDIALOG and shows it when the template says so. False when it cannot be created.
bool CreateDialogWindow(CWnd* object, const DialogTemplate& tmpl, HWND parent, HWND owner);

// The default handling of a message for the window's class.
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace fx::backend
