#include "fx/Testing.h"

namespace fx::testing {

int RecordingDesktop::ShowMessageBox(const MessageBoxRequest& request) {
  messageBoxes.push_back(request);
  return IDOK;
}

void RecordingDesktop::Beep(UINT type) { beeps.push_back(type); }

bool RecordingDesktop::OpenClipboard(HWND owner) {
  if (clipboardBusy || clipboardOpen) return false;
  clipboardOpen = true;
  clipboardOwners.push_back(owner);
  return true;
}

bool RecordingDesktop::SetClipboardText(std::string_view text) {
  if (!clipboardOpen || clipboardRefusesText) return false;
  clipboard.emplace_back(text);
  return true;
}

void RecordingDesktop::CloseClipboard() { clipboardOpen = false; }

void RecordingDesktop::ShellOpen(std::string_view target) { shellOpens.emplace_back(target); }

std::optional<std::string> RecordingDesktop::BrowseForFolder(HWND, std::string_view title) {
  folderPickerTitles.emplace_back(title);
  if (folderAnswers.empty()) return std::nullopt;
  auto answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

POINT RecordingDesktop::CursorPos() { return cursor; }

}  // namespace fx::testing
