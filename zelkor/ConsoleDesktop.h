// The desktop of the console host: every effect the plug-in asks for is written to the
// transcript, and answered the same way on every run (message boxes with OK, the folder picker
// from the script, popup menus held open for the script). Shell opens reach the real desktop
// (xdg-open) only when asked to.
#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fx/Desktop.h"
#include "zelkor/Transcript.h"

namespace zelkor {

class ConsoleDesktop : public fx::Desktop {
 public:
  ConsoleDesktop(Transcript& transcript, std::ostream& errors, bool openTargets);
  ~ConsoleDesktop() override;

  int ShowMessageBox(const fx::MessageBoxRequest& request) override;
  void Beep(UINT type) override;
  bool OpenClipboard(HWND owner) override;
  bool SetClipboardText(std::string_view text) override;
  void ShellOpen(std::string_view target) override;
  std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title) override;
  POINT CursorPos() override;

  // The answer for the next folder picker: a Shift-JIS path, or nothing for a cancel.
  // Without a queued answer the picker is cancelled. False when the picker is a person's to
  // answer on the screen.
  virtual bool QueueFolderAnswer(std::optional<std::string> cp932Path);

 protected:
  Transcript& transcript() { return m_transcript; }

 private:
  void Launch(const std::string& utf8Target);
  void ReapFinishedChildren();

  Transcript& m_transcript;
  std::ostream& m_errors;
  bool m_openTargets;
  std::deque<std::optional<std::string>> m_folderAnswers;
  std::vector<long> m_children;
};

// The transcript lines of effects, the same whether or not the effect is on the screen.
std::string MessageBoxLine(const fx::MessageBoxRequest& request);
std::string FolderPickerLine(std::string_view cp932Title, const std::optional<std::string>& cp932Answer);

// What is handed to xdg-open for a shell target (UTF-8): a bare "www." address gets its
// scheme, and a target that would read as an option is made a relative path.
std::string LaunchTarget(std::string_view utf8Target);

}  // namespace zelkor
