#include "zelkor/posix/PollLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "zelkor/irc/WireText.h"

namespace zelkor::posix {

namespace {

// While the connection's name is looked up it has nothing to wait on yet.
constexpr int kLookUpWake = 20;

}  // namespace

PollLoop::PollLoop(const volatile std::sig_atomic_t* stop) : m_stop(stop) {
  sigset_t stopSignals;
  ::sigemptyset(&stopSignals);
  ::sigaddset(&stopSignals, SIGINT);
  ::sigaddset(&stopSignals, SIGTERM);
  ::pthread_sigmask(SIG_BLOCK, &stopSignals, &m_savedMask);
  m_waitMask = m_savedMask;
  ::sigdelset(&m_waitMask, SIGINT);
  ::sigdelset(&m_waitMask, SIGTERM);
  if (::fcntl(STDIN_FILENO, F_GETFD) < 0 && errno == EBADF) {
    // No input at all. The number is taken (open gives the lowest free one), so that a socket
    // made later cannot be read as the local user's lines.
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd > STDIN_FILENO) ::close(fd);
    m_inputEnded = true;
  }
}

PollLoop::~PollLoop() { ::pthread_sigmask(SIG_SETMASK, &m_savedMask, nullptr); }

void PollLoop::Wait(const irc::Connection* connection, int timeoutMillis) {
  if (m_stop && *m_stop) return;
  int timeout = m_lines.empty() ? std::max(timeoutMillis, 0) : 0;
  pollfd fds[2];
  nfds_t count = 0;
  int inputAt = -1;
  if (!m_inputEnded) {
    inputAt = static_cast<int>(count);
    fds[count++] = pollfd{STDIN_FILENO, POLLIN, 0};
  }
  if (connection && connection->GetStatus() != irc::Connection::Status::Closed) {
    const irc::Connection::Wait wait = connection->WaitFor();
    if (wait.handle >= 0) {
      short events = 0;
      if (wait.readable) events |= POLLIN;
      if (wait.writable) events |= POLLOUT;
      fds[count++] = pollfd{static_cast<int>(wait.handle), events, 0};
    }
    if (wait.handle < 0) timeout = std::min(timeout, kLookUpWake);
  }
  timespec span{};
  span.tv_sec = static_cast<std::time_t>(timeout / 1000);
  span.tv_nsec = static_cast<long>(timeout % 1000) * 1000000L;
  // The stop signals get through only here; one that was pending arrives at once.
  const int ready = ::ppoll(fds, count, &span, &m_waitMask);
  if (ready <= 0) return;  // timeout, or EINTR from a stop signal: the flag tells
  if (inputAt >= 0 && fds[inputAt].revents != 0) {
    if (fds[inputAt].revents & POLLNVAL) {
      m_inputEnded = true;
    } else {
      ReadInput();
    }
  }
}

// One read per wake: poll said it will not block, and standard input keeps its blocking mode,
// which it shares with whatever else uses it (a shell on the same terminal).
void PollLoop::ReadInput() {
  char buffer[64 * 1024];
  ssize_t size;
  do {
    size = ::read(STDIN_FILENO, buffer, sizeof buffer);
  } while (size < 0 && errno == EINTR && !(m_stop && *m_stop));
  if (size < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return;
  if (size <= 0) {
    // The end, or an input that cannot be read: a last line without its line end counts.
    if (!m_partial.empty()) EndLine();
    m_inputEnded = true;
    return;
  }
  const char* at = buffer;
  const char* const end = buffer + size;
  while (at < end) {
    const char* newline = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    const char* const lineEnd = newline ? newline : end;
    // One byte over the limit is kept: a CR there is the line's end, anything else says cut.
    const std::size_t room = kMaxLine + 1 - m_partial.size();
    m_partial.append(at, std::min(room, static_cast<std::size_t>(lineEnd - at)));
    if (!newline) break;
    EndLine();
    at = newline + 1;
  }
}

void PollLoop::EndLine() {
  if (!m_partial.empty() && m_partial.back() == '\r') m_partial.pop_back();
  // Cut before a UTF-8 character the limit would split.
  m_partial.resize(irc::Utf8CutLength(m_partial, kMaxLine));
  m_lines.push_back(std::move(m_partial));
  m_partial.clear();
}

std::optional<std::string> PollLoop::TakeLine() {
  if (m_lines.empty()) return std::nullopt;
  std::string line = std::move(m_lines.front());
  m_lines.pop_front();
  return line;
}

}  // namespace zelkor::posix
