// Desktop: every effect that leaves the process goes through this one interface, which the
// host supplies. Tests install a recording fake; the zelkor host prints the effects.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fx/Types.h"

namespace fx {

struct MessageBoxRequest {
  HWND owner;  // null for an application message box
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
  // False when another program holds the clipboard.
  virtual bool OpenClipboard();
  virtual void SetClipboardText(std::string_view text);
  // Opens a URL or path with the system's default action; never through a command interpreter.
  virtual void ShellOpen(std::string_view target);
  // A folder's full path (Shift-JIS), or nothing when the user cancels.
  virtual std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title);
  virtual POINT CursorPos();
};

// The installed desktop; until the host installs one, the backend's default (silent headless).
Desktop& GetDesktop();
// Installs a desktop (null: the silent default). The caller keeps ownership.
void SetDesktop(Desktop* desktop);

}  // namespace fx
