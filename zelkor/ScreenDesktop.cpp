#include "zelkor/ScreenDesktop.h"

#include <iterator>
#include <string>

namespace zelkor {

std::string MessageBoxAnswerName(int answer) {
  static const char* const kNames[] = {"OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
  if (answer <= 0) return "not shown";  // the system could not make the box (no desktop)
  if (answer <= static_cast<int>(std::size(kNames))) return kNames[answer - 1];
  return "button " + std::to_string(answer);
}

ScreenDesktop::ScreenDesktop(Transcript& transcript, std::ostream& errors) : ConsoleDesktop(transcript, errors, false) {}

// The line follows the answer: the box holds the thread until a person closes it.
int ScreenDesktop::ShowMessageBox(const fx::MessageBoxRequest& request) {
  const int answer = fx::SystemDesktop().ShowMessageBox(request);
  transcript().Line(MessageBoxLine(request) + " -> " + MessageBoxAnswerName(answer));
  return answer;
}

void ScreenDesktop::Beep(UINT type) {
  fx::SystemDesktop().Beep(type);
  transcript().Line("[beep]");
}

bool ScreenDesktop::OpenClipboard(HWND owner) {
  if (fx::SystemDesktop().OpenClipboard(owner)) return true;
  transcript().Line("[clipboard] not copied: another program holds the clipboard");
  return false;
}

bool ScreenDesktop::SetClipboardText(std::string_view text) {
  if (!fx::SystemDesktop().SetClipboardText(text)) {
    transcript().Line("[clipboard] not copied: the clipboard did not take the text");
    return false;
  }
  transcript().Item("[clipboard]", text);
  return true;
}

void ScreenDesktop::CloseClipboard() { fx::SystemDesktop().CloseClipboard(); }

void ScreenDesktop::ShellOpen(std::string_view target) {
  transcript().Item("[open]", target);
  fx::SystemDesktop().ShellOpen(target);
}

std::optional<std::string> ScreenDesktop::BrowseForFolder(HWND owner, std::string_view title) {
  std::optional<std::string> chosen = fx::SystemDesktop().BrowseForFolder(owner, title);
  transcript().Line(FolderPickerLine(title, chosen));
  return chosen;
}

POINT ScreenDesktop::CursorPos() { return fx::SystemDesktop().CursorPos(); }

bool ScreenDesktop::PopupMenusOnScreen() const { return true; }

bool ScreenDesktop::QueueFolderAnswer(std::optional<std::string>) { return false; }

}  // namespace zelkor
