#include "fx/Module.h"

#include <mutex>
#include <optional>

#include "Backend.h"

namespace fx {
namespace {
std::mutex g_pathMutex;
std::optional<std::string> g_overridePath;
}  // namespace

std::string GetHostProgramPath() {
  std::lock_guard lock(g_pathMutex);
  if (g_overridePath) return *g_overridePath;
  return backend::ExecutablePath();
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
