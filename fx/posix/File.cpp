#include "fx/File.h"

#include <cerrno>
#include <cstdint>
#include <optional>
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

struct LinksAndSize {
  std::uint64_t links = 0;
  off_t size = 0;
};

// Only the link count and the size are asked for: a query of a file's times makes the kernel
// give its next write a fine-grained time stamp, and with it an inode update, on every line.
// fstat serves where statx is refused (an old kernel or a container's filter).
std::optional<LinksAndSize> QueryLinksAndSize(int fd) {
  struct statx info {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_NLINK | STATX_SIZE, &info) == 0 &&
      (info.stx_mask & (STATX_NLINK | STATX_SIZE)) == (STATX_NLINK | STATX_SIZE))
    return LinksAndSize{info.stx_nlink, static_cast<off_t>(info.stx_size)};
  struct stat fallback {};
  if (::fstat(fd, &fallback) != 0) return std::nullopt;
  return LinksAndSize{static_cast<std::uint64_t>(fallback.st_nlink), fallback.st_size};
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
  const std::optional<LinksAndSize> before = QueryLinksAndSize(m_fd);
  if (!before || before->links == 0) return false;
  // The file is locked against other writers, so its size is where this write begins.
  if (WriteAll(m_fd, budget.Allowed(bytes)) && !budget.fails) return true;
  // Whatever part of it went in is taken back: a later line must not run on from a torn one.
  while (::ftruncate(m_fd, before->size) != 0 && errno == EINTR) {
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
