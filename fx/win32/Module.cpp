#include "../core/Backend.h"
#include "Win32.h"

namespace fx::backend {

std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      buffer.resize(length);
      return win32::Narrow(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace fx::backend
