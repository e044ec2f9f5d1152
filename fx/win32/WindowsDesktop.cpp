// The desktop of a Win32 process while the host installs none: the system's message boxes,
// beep, clipboard, shell open, folder picker, pointer and popup menus.
#include <cstring>

#include <shlobj.h>
#include <shellapi.h>

#include "../core/Backend.h"
#include "Win32.h"
#include "fx/Desktop.h"

namespace fx::win32 {
namespace {

// CP932 text that converts back to the same bytes, else nothing (a folder name CP932 cannot
// hold is refused rather than mangled).
std::optional<std::string> StrictNarrow(const std::wstring& wide) {
  BOOL usedDefault = FALSE;
  const int size = static_cast<int>(wide.size());
  const int length = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), length, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return out;
}

HGLOBAL CopyToGlobal(const void* data, std::size_t bytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return nullptr;
  void* target = ::GlobalLock(block);
  if (target == nullptr) {
    ::GlobalFree(block);
    return nullptr;
  }
  std::memcpy(target, data, bytes);
  ::GlobalUnlock(block);
  return block;
}

class WindowsDesktop : public Desktop {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override {
    const std::wstring text = Wide(request.text), caption = Wide(request.caption);
    return ::MessageBoxW(request.owner, text.c_str(), caption.c_str(), request.type);
  }

  void Beep(UINT type) override { ::MessageBeep(type); }

  bool OpenClipboard(HWND owner) override { return ::OpenClipboard(owner) != FALSE; }

  // CF_TEXT with the bytes as they are, and the same text as UTF-16 converted with code page
  // 932, so that no program reads it through another code page. Placed means CF_TEXT is.
  bool SetClipboardText(std::string_view text) override {
    if (!::EmptyClipboard()) return false;
    const std::string bytes(text);
    bool placed = false;
    if (HGLOBAL block = CopyToGlobal(bytes.c_str(), bytes.size() + 1)) {
      placed = ::SetClipboardData(CF_TEXT, block) != nullptr;
      if (!placed) ::GlobalFree(block);
    }
    if (!placed) return false;
    const std::wstring wide = Wide(text);
    if (HGLOBAL block = CopyToGlobal(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t))) {
      if (!::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
    }
    return true;
  }

  void CloseClipboard() override { ::CloseClipboard(); }

  // The default action of the target: no verb, no parameters, no command interpreter.
  void ShellOpen(std::string_view target) override {
    const std::wstring wide = Wide(target);
    ::ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_HIDE);
  }

  std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title) override {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring wideTitle = Wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    std::optional<std::string> chosen;
    if (PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info)) {
      wchar_t path[MAX_PATH] = {};
      if (::SHGetPathFromIDListW(list, path)) chosen = StrictNarrow(path);
      ::CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return chosen;
  }

  POINT CursorPos() override {
    POINT at{0, 0};
    ::GetCursorPos(&at);
    return at;
  }

  bool PopupMenusOnScreen() const override { return true; }
};

}  // namespace
}  // namespace fx::win32

namespace fx::backend {

Desktop& DefaultDesktop() {
  static win32::WindowsDesktop desktop;
  return desktop;
}

}  // namespace fx::backend
