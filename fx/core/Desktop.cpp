#include "fx/Desktop.h"

#include "Backend.h"

namespace fx {
namespace {

Desktop* g_desktop = nullptr;

}  // namespace

int Desktop::ShowMessageBox(const MessageBoxRequest&) { return IDOK; }
void Desktop::Beep(UINT) {}
bool Desktop::OpenClipboard(HWND) { return true; }
bool Desktop::SetClipboardText(std::string_view) { return true; }
void Desktop::CloseClipboard() {}
void Desktop::ShellOpen(std::string_view) {}
std::optional<std::string> Desktop::BrowseForFolder(HWND, std::string_view) { return std::nullopt; }
POINT Desktop::CursorPos() { return POINT{0, 0}; }
bool Desktop::PopupMenusOnScreen() const { return false; }

Desktop& GetDesktop() { return g_desktop ? *g_desktop : backend::DefaultDesktop(); }
void SetDesktop(Desktop* desktop) { g_desktop = desktop; }
Desktop& SystemDesktop() { return backend::DefaultDesktop(); }

}  // namespace fx
