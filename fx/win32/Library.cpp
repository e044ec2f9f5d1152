#include "fx/Library.h"

#include "Win32.h"

namespace fx {
namespace {

// Paths come as UTF-8 from the project's own code and as the ANSI code page from
// std::filesystem; both are accepted.
std::wstring WidePath(const std::string& path) {
  for (UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int length = ::MultiByteToWideChar(codePage, flags, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) continue;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, path.data(), static_cast<int>(path.size()), wide.data(), length);
    return wide;
  }
  return std::wstring();
}

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = "error " + std::to_string(error);
  if (length > 0 && text != nullptr) {
    std::wstring wide(text, length);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    message += ": " + utf8;
  }
  if (text != nullptr) ::LocalFree(text);
  return message;
}

}  // namespace

std::unique_ptr<Library> Library::Load(const std::string& path, std::string& error) {
  const std::wstring wide = WidePath(path);
  HMODULE handle = wide.empty() ? nullptr : ::LoadLibraryW(wide.c_str());
  if (handle == nullptr) {
    error = path + ": " + SystemMessage(::GetLastError());
    return nullptr;
  }
  return std::unique_ptr<Library>(new Library(reinterpret_cast<void*>(handle)));
}

Library::~Library() {
  if (m_handle != nullptr) ::FreeLibrary(static_cast<HMODULE>(m_handle));
}

}  // namespace fx
