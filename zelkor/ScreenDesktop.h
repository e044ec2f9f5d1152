// The desktop of zelkor.exe with its window, as a person uses it: every effect is the system's
// own (message boxes modal to their owner, the folder picker, the clipboard, the pointer, popup
// menus at it, shell opens), and the transcript still gets one line for each.
#pragma once

#include <ostream>

#include "zelkor/ConsoleDesktop.h"

namespace zelkor {

class ScreenDesktop : public ConsoleDesktop {
 public:
  ScreenDesktop(Transcript& transcript, std::ostream& errors);

  int ShowMessageBox(const fx::MessageBoxRequest& request) override;
  void Beep(UINT type) override;
  bool OpenClipboard(HWND owner) override;
  bool SetClipboardText(std::string_view text) override;
  void CloseClipboard() override;
  void ShellOpen(std::string_view target) override;
  std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title) override;
  POINT CursorPos() override;
  bool PopupMenusOnScreen() const override;
  // The picker on the screen is answered there.
  bool QueueFolderAnswer(std::optional<std::string> cp932Path) override;
};

// The name of the button that closed a message box, for the transcript.
std::string MessageBoxAnswerName(int answer);

}  // namespace zelkor
