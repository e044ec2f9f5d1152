#include "fx/Desktop.h"

namespace fx {
namespace {

Desktop& SilentDesktop() {
  static Desktop silent;
  return silent;
}

Desktop* g_desktop = nullptr;

}  // namespace

int Desktop::ShowMessageBox(const MessageBoxRequest&) { return IDOK; }
void Desktop::Beep(UINT) {}
bool Desktop::OpenClipboard() { return true; }
void Desktop::SetClipboardText(std::string_view) {}
void Desktop::ShellOpen(std::string_view) {}
std::optional<std::string> Desktop::BrowseForFolder(HWND, std::string_view) { return std::nullopt; }
POINT Desktop::CursorPos() { return POINT{0, 0}; }

Desktop& GetDesktop() { return g_desktop ? *g_desktop : SilentDesktop(); }
void SetDesktop(Desktop* desktop) { g_desktop = desktop; }

}  // namespace fx
