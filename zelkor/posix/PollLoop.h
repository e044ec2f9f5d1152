// The live session's loop on POSIX: one ppoll over the connection's socket and standard input,
// woken by SIGINT and SIGTERM as well: they are blocked outside the wait, so a stop that comes
// while the session works is seen at the next wait instead of being lost before it.
#pragma once

#include <signal.h>

#include <csignal>
#include <deque>
#include <string>

#include "zelkor/irc/LiveLoop.h"

namespace zelkor::posix {

class PollLoop : public irc::LiveLoop {
 public:
  // `stop` is the flag the signal handler sets. Blocks SIGINT and SIGTERM until destroyed. A
  // closed standard input is opened on /dev/null, so that no socket takes its number.
  explicit PollLoop(const volatile std::sig_atomic_t* stop);
  ~PollLoop() override;
  PollLoop(const PollLoop&) = delete;
  PollLoop& operator=(const PollLoop&) = delete;

  void Wait(const irc::Connection* connection, int timeoutMillis) override;
  std::optional<std::string> TakeLine() override;
  bool InputEnded() const override { return m_inputEnded && m_lines.empty(); }

  // A longer line is cut here (before a character the cut would split); the rest of it, up to
  // its line end, is dropped.
  static constexpr std::size_t kMaxLine = 64 * 1024;

 private:
  void ReadInput();
  void EndLine();

  const volatile std::sig_atomic_t* m_stop;
  sigset_t m_savedMask;
  sigset_t m_waitMask;
  std::string m_partial;
  std::deque<std::string> m_lines;
  bool m_inputEnded = false;
};

}  // namespace zelkor::posix
