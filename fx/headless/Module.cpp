#include "fx/Module.h"

#include <mutex>
#include <optional>
#include <unistd.h>

#include "fx/Sjis.h"

namespace fx {
namespace {
std::mutex g_pathMutex;
std::optional<std::string> g_overridePath;

std::string ReadExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return std::string();
  buffer.resize(static_cast<std::size_t>(length));
  // A name CP932 cannot represent is passed on as its bytes rather than lost.
  return sjis::FromUtf8(buffer).value_or(buffer);
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
