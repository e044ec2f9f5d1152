#include "Win32.h"

namespace fx::win32 {

std::wstring Wide(std::string_view cp932) {
  if (cp932.empty()) return std::wstring();
  const int size = static_cast<int>(cp932.size());
  const int length = ::MultiByteToWideChar(932, 0, cp932.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(932, 0, cp932.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = ::WideCharToMultiByte(932, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) ::WideCharToMultiByte(932, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::string WindowTextOf(HWND window) {
  if (window == nullptr) return std::string();
  const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

void SetWindowTextOf(HWND window, std::string_view cp932) {
  const std::wstring text = Wide(cp932);
  ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace fx::win32
