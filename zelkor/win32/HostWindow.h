// zelkor.exe's window: the host's main window gets a read-only transcript and an input line,
// and the session's lines reach the runner on the GUI thread.
//
// Lines come from the script file, from standard input (read on a thread of its own) and from
// the input line, where a typed line is a "say" line; in a live session a typed line is what
// the local user says (or a /command) as it is. Waiting for the next line, or for the
// connection, runs the message loop, so the plug-in's windows stay alive meanwhile; every call
// into the plug-in stays on the GUI thread. Closing the main window ends the input, and the
// session then shuts down in order.
#pragma once

#include <csignal>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelkor::irc {
class LiveLoop;
}

namespace zelkor::win32 {

class HostWindow {
 public:
  // `script` is the script file, or null to read standard input (when there is one).
  // `stop` is the flag a signal handler sets. `live`: the lines are a live session's.
  HostWindow(std::istream* script, const volatile std::sig_atomic_t* stop, bool live = false);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // The lines of the session, for RunScript.
  std::istream& Input();
  // The live session's loop: the message loop, waiting on the lines and the connection.
  irc::LiveLoop& Loop();
  // While a popup menu is open, the waiting lines that pass `isEvent` are taken in order and
  // given to `run`, so that a script's events go on while a person chooses; the first other
  // line waits for the menu to close. Null `isEvent`: every line waits.
  void RunEventsUnderMenus(std::function<bool(std::string_view)> isEvent, std::function<void(const std::string&)> run);
  // How many lines were run so, for RunScript's line numbers.
  const long& LinesRunAside() const;
  // The window's title becomes "Zelkor - " and the channels (UTF-8), now or when it appears.
  void SetChannels(const std::vector<std::string>& channels);

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// Standard output carries the transcript as UTF-8 bytes: no CR is added before each LF.
void UseBinaryStandardOutput();

}  // namespace zelkor::win32
