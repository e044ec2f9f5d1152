// What a live session waits on between its events: the connection, the local user's lines, a
// stop signal and the next timer (a paced send, a retry, a ping). The GUI thread waits here and
// nowhere else, so every plug-in call stays on it. Each platform has its own: a poll over the
// socket and standard input (zelkor/posix), zelkor.exe's message loop (zelkor/win32).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "zelkor/irc/Connection.h"

namespace zelkor::irc {

class LiveLoop {
 public:
  virtual ~LiveLoop() = default;

  // Waits until the connection (when not null) has something to serve, a local line is
  // waiting, input has ended, a stop was asked for, or `timeoutMillis` have passed; whichever comes
  // first. On Windows the window's messages are handled meanwhile.
  virtual void Wait(const Connection* connection, int timeoutMillis) = 0;
  // The next line the local user typed (UTF-8, without its line end), if one is waiting.
  virtual std::optional<std::string> TakeLine() = 0;
  // True once no more lines will come: standard input ended, or zelkor.exe's window was closed.
  virtual bool InputEnded() const = 0;
  // What to run, without waiting, while a popup menu holds the thread in the system's menu loop
  // (zelkor.exe), so that the channel's events go on while the person chooses; null for nothing.
  // Where no menu holds the thread (the Linux console), nothing calls it.
  virtual void WhileMenuOpen(std::function<void()> serve) { static_cast<void>(serve); }
};

}  // namespace zelkor::irc
