// Runs a session script against the host: each line becomes a host call or a driver action,
// and what the plug-in does in return is written to the transcript.
#pragma once

#include <csignal>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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

// Where the lines the local user and the plug-in send to a channel go, besides the transcript.
class ChannelOutput {
 public:
  virtual ~ChannelOutput() = default;
  virtual void Send(ChannelId channel, std::string_view cp932Text) = 0;
};

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
  // A command for one channel (a live session has several; a script only Host::kChannel).
  Outcome Run(ChannelId channel, const ScriptCommand& command);
  // We are in a channel: the transcript line, then OnEnterChannel.
  void Enter(ChannelId channel, std::string_view cp932ChannelName, std::string_view ownName, std::string_view topic);
  // The channel that typed lines and the script's events go to.
  void SetChannel(ChannelId channel) { m_channel = channel; }
  // Sent lines go there too; null: the transcript only.
  void SetOutput(ChannelOutput* output) { m_output = output; }
  // With more than one channel, each channel's transcript lines begin with its label.
  void SetChannelLabels(std::vector<std::string> utf8Labels) { m_labels = std::move(utf8Labels); }
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
  void ShowOpenedMenu(bool menuWasOpen, const ScriptCommand& command);
  void LabelFor(ChannelId channel);

  std::string m_pluginPath;
  Transcript& m_transcript;
  ConsoleDesktop& m_desktop;
  Host m_host;
  bool m_started = false;
  bool m_finished = false;
  ChannelId m_channel = Host::kChannel;
  ChannelOutput* m_output = nullptr;
  std::vector<std::string> m_labels;
};

struct ScriptOptions {
  // A person at a terminal: the plug-in starts before the first line is read (its windows and
  // start-up recording are there to act on), a malformed line is reported and the run goes on,
  // and `exit` ends the run at once.
  bool interactive = false;
  // The lines come from a stream that may never end (standard input: a pipe or a FIFO whose
  // writer stays): `exit` ends the run at once instead of reading on to report later lines.
  bool endAtExit = false;
  // Written to `errors` before each line is read, when set.
  std::string prompt;
  // Set from a signal handler: the line being run is finished, then the session ends.
  const volatile std::sig_atomic_t* stop = nullptr;
  // How many lines of `in` were run meanwhile by another caller (zelkor.exe's window, while a
  // menu was open), so that the line numbers of messages still count them.
  const long* linesRunAside = nullptr;
};

// Runs every line of `in` and then finishes the session. Messages go to `errors` as
// "zelkor: line N: ..."; after `exit`, each later line of a script is reported as ignored. Returns the exit
// status.
int RunScript(std::istream& in, SessionRunner& runner, std::ostream& errors, const ScriptOptions& options);

}  // namespace zelkor
