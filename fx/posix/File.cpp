#include "fx/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../core/FileFaults.h"

namespace fx {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

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
  if (m_fd < 0) return false;
  const detail::WriteBudget budget = detail::TakeWriteBudget();
  // A file deleted, or replaced by another renamed over it, while open has no name any more:
  // lines written to it would be lost without notice, so the write fails instead.
  struct stat info {};
  if (::fstat(m_fd, &info) != 0 || info.st_nlink == 0) return false;
  // The file is locked against other writers, so its size is where this write begins.
  if (WriteAll(m_fd, budget.Allowed(bytes)) && !budget.fails) return true;
  // Whatever part of it went in is taken back: a later line must not run on from a torn one.
  while (::ftruncate(m_fd, info.st_size) != 0 && errno == EINTR) {
  }
  return false;
}

void File::Close() {
  if (m_fd >= 0) {
    ::close(m_fd);  // closing also releases the lock
    m_fd = -1;
  }
}

}  // namespace fx
