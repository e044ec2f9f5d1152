// What each backend provides to the shared core.
#pragma once

#include <memory>
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

// What a window has attached: the object its messages go to, or, when none is, the wrapper
// CWnd::FromHandle made for it. Each backend keeps one per live window.
struct Attachment {
  CWnd* object = nullptr;
  std::unique_ptr<CWnd> temporary;
};

// The attachment of a live window; null for a null or stale handle. With `adopt`, a window fx
// has not seen before (a control looked up by its id) gets one and is followed from then on.
Attachment* AttachmentOf(HWND window, bool adopt);

// Destroys a window whose object is going away; the object is already detached from it.
void DestroyOrphan(HWND window);

// Menus: a menu bar made from a template, with a popup per template popup (null when it cannot
// be made); the popup at a position (null when there is none); freeing a bar with its popups.
HMENU MakeMenu(const MenuTemplate& tmpl);
HMENU SubMenuAt(HMENU menu, int position);
void FreeMenu(HMENU menu);
// Runs the system's modal popup menu when menus are shown on the screen; nullopt otherwise,
// and the menu is then held open for the driver.
std::optional<BOOL> TrackMenuOnScreen(HMENU menu, UINT flags, int x, int y, HWND owner, LPCRECT rect);

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

// Whether the key (VK_CONTROL, VK_SHIFT) is held down as the current keyboard message came.
bool IsKeyDown(int virtualKey);

// A dialog's own tab control (its first); null when it has none.
HWND TabControlOf(HWND dialog);
// Selects the tab `step` places on, wrapping around, as a person's keys do: the tab control's
// parent is asked first (TCN_SELCHANGING) and told after (TCN_SELCHANGE).
void StepTab(HWND tab, int step);

// The window a person works in among `owner` and the top-level windows it owns: the one of them
// that was active last, when it is still shown and enabled; else `owner` itself.
HWND LastActivePopup(HWND owner);

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
