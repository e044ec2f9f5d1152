#include "fx/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../core/FileFaults.h"

namespace fx {

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
  if (m_fd < 0 || !detail::TakeWriteBudget()) return false;
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

}  // namespace fx
