// What each backend provides to the shared core.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fx/Clock.h"
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

// The parent of a child window; null for a top-level window (whose owner is not its parent).
HWND ParentOf(HWND window);

// The dialog manager on `dialog` for a message to it or to a window inside it: Enter, Escape,
// Tab and the like become the dialog's commands and focus moves. True when it took the message.
bool IsDialogMessage(HWND dialog, MSG* message);

// The system's local time, and the running program's full path as CP932 (empty when unknown).
LocalTime SystemLocalTime();
std::string ExecutablePath();

// The profile primitives under the shared name checks of fx/core/Profile.cpp: names arrive
// trimmed and usable, the file path non-empty and without NUL, the value on one line.
std::optional<std::string> ProfileLookUp(std::string_view section, std::string_view key, std::string_view file);
bool ProfileWrite(std::string_view section, std::string_view key, std::string_view value, std::string_view file);

}  // namespace fx::backend
