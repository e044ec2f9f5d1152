// zelkor.exe's window: the host's main window gets a read-only transcript and an input line,
// and the session's lines reach the runner on the GUI thread.
//
// Lines come from the script file, from standard input (read on a thread of its own) and from
// the input line, where a typed line is a "say" line. Waiting for the next line runs the
// message loop, so the plug-in's windows stay alive between lines; every call into the plug-in
// stays on the GUI thread, inside the runner. Closing the main window ends the input, and the
// runner then shuts the session down in order.
#pragma once

#include <csignal>
#include <istream>
#include <memory>

namespace zelkor::win32 {

class HostWindow {
 public:
  // `script` is the script file, or null to read standard input (when there is one).
  // `stop` is the flag a signal handler sets.
  HostWindow(std::istream* script, const volatile std::sig_atomic_t* stop);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // The lines of the session, for RunScript.
  std::istream& Input();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// Standard output carries the transcript as UTF-8 bytes: no CR is added before each LF.
void UseBinaryStandardOutput();

}  // namespace zelkor::win32
