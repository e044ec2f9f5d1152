// Runs a session script against the host: each line becomes a host call or a driver action,
// and what the plug-in does in return is written to the transcript.
#pragma once

#include <csignal>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "zelkor/ConsoleDesktop.h"
#include "zelkor/Host.h"
#include "zelkor/HostServices.h"
#include "zelkor/ScriptParser.h"
#include "zelkor/Transcript.h"

namespace zelkor {

// The program's exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitCannotRun = 1;  // the plug-in (or another file the run needs) is unusable
constexpr int kExitBadInput = 2;   // a malformed script line or command line

class SessionRunner : private HostServices {
 public:
  // `pluginPath` is in the platform's file-name encoding. The desktop is installed for the
  // plug-in's effects while the session runs.
  SessionRunner(std::string pluginPath, Transcript& transcript, ConsoleDesktop& desktop);
  ~SessionRunner() override;  // finishes the session if still running
  SessionRunner(const SessionRunner&) = delete;
  SessionRunner& operator=(const SessionRunner&) = delete;

  struct Outcome {
    // Ended: the line was `exit`, and the session has shut down. Help: `message` is the list
    // of script lines, for the person who asked.
    enum class Kind { Done, BadLine, CannotRun, Ended, Help };
    Kind kind = Kind::Done;
    std::string message;  // for BadLine, CannotRun and Help
  };

  // One script line (UTF-8). The plug-in is loaded and started by the first line that is not
  // a clock line, `help`, a comment or blank, so that leading clock lines hold from its start on.
  Outcome RunLine(std::string_view utf8Line);
  // Loads and starts the plug-in unless it runs already.
  Outcome Start();
  bool Started() const { return m_started; }
  // The orderly end: OnExitPlugin unless already done, the host's main window destroyed with
  // the plug-in's windows, the module unloaded. Once only.
  void Finish();

 private:
  void InputMessage(ChannelId channel, std::string_view text) override;
  void EchoText(ChannelId channel, std::string_view text, std::uint32_t colour) override;

  Outcome Execute(const ScriptCommand& command);
  Outcome ExecuteUi(const UiCommand& ui);
  void ShowOpenedMenu(bool menuWasOpen, const ScriptCommand& command);
  void ReportWhere(const UiCommand& ui);

  std::string m_pluginPath;
  Transcript& m_transcript;
  ConsoleDesktop& m_desktop;
  Host m_host;
  bool m_started = false;
  bool m_finished = false;
};

struct ScriptOptions {
  // A person at a terminal: the plug-in starts before the first line is read (its windows and
  // start-up recording are there to act on), a malformed line is reported and the run goes on,
  // and `exit` ends the run at once.
  bool interactive = false;
  // Written to `errors` before each line is read, when set.
  std::string prompt;
  // Set from a signal handler: the line being run is finished, then the session ends.
  const volatile std::sig_atomic_t* stop = nullptr;
};

// Runs every line of `in` and then finishes the session. Messages go to `errors` as
// "zelkor: line N: ..."; after `exit`, each later line is reported as ignored. Returns the exit
// status.
int RunScript(std::istream& in, SessionRunner& runner, std::ostream& errors, const ScriptOptions& options);

// "a.b.c.d" of the host's address value (first octet in the low byte).
std::string FormatDottedIp(std::uint32_t ip);

}  // namespace zelkor
