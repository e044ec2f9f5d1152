#include "fx/File.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fx/Sjis.h"

namespace fx {
namespace {

std::mutex g_faultMutex;
std::optional<std::size_t> g_writesBeforeFailure;

// Consumes one write from the injected budget; false when the write must fail.
bool TakeWriteBudget() {
  std::lock_guard lock(g_faultMutex);
  if (!g_writesBeforeFailure) return true;
  if (*g_writesBeforeFailure == 0) return false;
  --*g_writesBeforeFailure;
  return true;
}

}  // namespace

std::string NativePath(std::string_view cp932Path) { return sjis::ToUtf8(cp932Path); }

File::~File() { Close(); }

File::File(File&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.m_fd;
    other.m_fd = -1;
  }
  return *this;
}

bool File::OpenForAppend(std::string_view cp932Path) {
  Close();
  const std::string path = NativePath(cp932Path);
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  return true;
}

bool File::Write(std::string_view bytes) {
  if (m_fd < 0 || !TakeWriteBudget()) return false;
  // A file deleted, or replaced by another renamed over it, while open has no name any more:
  // lines written to it would be lost without notice, so the write fails instead.
  struct stat info {};
  if (::fstat(m_fd, &info) != 0 || info.st_nlink == 0) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void File::Close() {
  if (m_fd >= 0) {
    ::close(m_fd);  // closing also releases the lock
    m_fd = -1;
  }
}

namespace testing {
void FailFileWritesAfter(std::optional<std::size_t> successfulWrites) {
  std::lock_guard lock(g_faultMutex);
  g_writesBeforeFailure = successfulWrites;
}
}  // namespace testing

}  // namespace fx
