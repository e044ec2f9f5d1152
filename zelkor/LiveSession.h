// A session on live IRC channels: the server's events reach the plug-in through the same runner
// as a script's, what the plug-in and the local user send goes to the channel, paced, and the
// connection is kept up (keep-alive, reconnection with back-off) while the plug-in runs on.
#pragma once

#include <csignal>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "zelkor/SessionRunner.h"
#include "zelkor/Transcript.h"
#include "zelkor/irc/Connection.h"
#include "zelkor/irc/LiveLoop.h"

namespace zelkor {

struct LiveOptions {
  irc::Endpoint server;
  std::vector<std::string> channels;
  std::string nick;
};

// "HOST", "HOST:PORT", "[v6]:PORT"; the port defaults to 6667, or 6697 with TLS. Nothing and a
// message for an address that cannot be used.
std::optional<irc::Endpoint> ParseServerAddress(std::string_view text, bool tls, std::string& error);
// A message for a channel or nick the server would refuse; empty when it can be used.
std::string CheckChannelName(std::string_view name);
std::string CheckNick(std::string_view nick);

// Runs until the local user quits (/quit, the end of input, a closed window) or `stop` is set,
// then sends QUIT and shuts the plug-in down in order. Returns the exit status.
int RunLive(const LiveOptions& options, SessionRunner& runner, Transcript& transcript, irc::LiveLoop& loop,
            std::ostream& errors, const volatile std::sig_atomic_t* stop);

// The host commands of a live session, for /help.
std::string LiveHelp();

}  // namespace zelkor
