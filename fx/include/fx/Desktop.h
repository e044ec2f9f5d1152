// Desktop: every effect that leaves the process goes through this one interface, which the
// host supplies. Tests install a recording fake; the zelkor host prints the effects, and
// zelkor.exe with its window shows them on the screen as well.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fx/Types.h"

namespace fx {

struct MessageBoxRequest {
  HWND owner;  // the window the box is modal to; null for none
  std::string text;
  std::string caption;
  UINT type;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Returns the button that closed the box.
  virtual int ShowMessageBox(const MessageBoxRequest& request);
  virtual void Beep(UINT type);
  // The clipboard is opened once for a copy, by its owner window, and closed again: false
  // when another program holds it.
  virtual bool OpenClipboard(HWND owner);
  // Replaces the open clipboard's content with the text; false when it could not be placed
  // (no memory for it, or the clipboard refused it).
  virtual bool SetClipboardText(std::string_view text);
  virtual void CloseClipboard();
  // Opens a URL or path with the system's default action; never through a command interpreter.
  virtual void ShellOpen(std::string_view target);
  // A folder's full path (Shift-JIS), or nothing when the user cancels.
  virtual std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title);
  virtual POINT CursorPos();
  // True when popup menus are the system's own, shown at the given point and run modally;
  // false when they are held open for a driver to choose from.
  virtual bool PopupMenusOnScreen() const;
};

// The installed desktop; until the host installs one, the backend's default: the system's own
// on Win32, a silent one headless.
Desktop& GetDesktop();
// Installs a desktop (null: the backend's default). The caller keeps ownership.
void SetDesktop(Desktop* desktop);
// The backend's default desktop, for a host desktop that shows effects on the screen and
// records them too.
Desktop& SystemDesktop();

}  // namespace fx
