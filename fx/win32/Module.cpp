#include "fx/Module.h"

#include <mutex>
#include <optional>

#include "Win32.h"

namespace fx {
namespace {
std::mutex g_pathMutex;
std::optional<std::string> g_overridePath;

std::string ReadExecutablePath() {
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
}  // namespace

std::string GetHostProgramPath() {
  std::lock_guard lock(g_pathMutex);
  if (g_overridePath) return *g_overridePath;
  return ReadExecutablePath();
}

void SetHostProgramPath(std::string_view cp932Path) {
  std::lock_guard lock(g_pathMutex);
  g_overridePath = std::string(cp932Path);
}

void ClearHostProgramPath() {
  std::lock_guard lock(g_pathMutex);
  g_overridePath.reset();
}

}  // namespace fx
