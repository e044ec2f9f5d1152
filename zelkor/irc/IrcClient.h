// The client side of the IRC protocol for the host: registration, the channels and who is in
// them, the mapping of what people do to the plug-in's events, and the lines to send, paced.
// Pure logic: it is fed the server's lines and the time, and hands back the bytes to write; the
// connection and the loop are elsewhere.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/ZelkorPlugin.h"
#include "zelkor/irc/IrcMessage.h"
#include "zelkor/irc/SendPacer.h"

namespace zelkor::irc {

// A person as the plug-in sees them: the name (Shift-JIS, with its suffix) and the address.
struct Person {
  std::string name;
  std::uint32_t ip = 0;
};

// What the client reports. Texts are Shift-JIS unless said otherwise.
class ClientListener {
 public:
  virtual ~ClientListener() = default;
  virtual void Registered(std::string_view wireNick) = 0;
  // We are in the channel: its names and topic have arrived.
  virtual void Entered(ChannelId channel, const std::string& ownName, const std::string& topic) = 0;
  virtual void Joined(ChannelId channel, const Person& person) = 0;
  virtual void Left(ChannelId channel, const Person& person) = 0;
  virtual void Renamed(ChannelId channel, const Person& before, const Person& after) = 0;
  virtual void Said(ChannelId channel, const Person& speaker, const std::string& text, bool op) = 0;
  // Anything else worth a line of the transcript: a notice, a private message, the server's
  // refusals and errors. `label` is ASCII.
  virtual void Told(std::string_view label, const std::string& text) = 0;
};

struct ClientConfig {
  std::string nick;                   // as on the command line (the wire's text)
  std::vector<std::string> channels;  // ChannelId i + 1 is channels[i]
  std::string user = "pellix";
  std::string realName = "Pellix on Zelkor";
};

class IrcClient {
 public:
  // Silence from the server this long asks it for a PING; this long again after that ends
  // the connection as dead.
  static constexpr Millis kQuietBeforePing = 120'000;
  static constexpr Millis kPingWait = 60'000;

  IrcClient(ClientConfig config, ClientListener& listener);

  // A new connection is open: the registration is queued.
  void Connected(Millis now);
  // The connection ended. Everyone the channels held is forgotten (no leave events); the
  // channels are joined again on the next connection, and chat lines still queued wait for it.
  void Disconnected();
  // One line from the server, without its line end.
  void Received(std::string_view line, Millis now);

  // A line for a channel (Shift-JIS): split at its line breaks and at the server's length
  // limit, converted to UTF-8 and queued, in order.
  void Say(ChannelId channel, std::string_view cp932Text);
  // QUIT goes before anything still queued, and no chat line goes after it.
  void Quit(std::string_view reason);

  // The bytes to write now: protocol replies at once, chat lines as the pacer lets them go.
  std::string TakeOutgoing(Millis now);
  // When there is more to do: the next paced line, or the keep-alive check.
  Millis NextWake(Millis now) const;
  // False once the server stayed silent after our PING: the connection is dead.
  bool Alive(Millis now);

  bool IsRegistered() const { return m_registered; }
  const std::string& Nick() const { return m_nick; }
  // More lines than this waiting to be sent (people can make the plug-in answer faster than the
  // pacer lets it) are refused, each with a transcript line.
  static constexpr std::size_t kMostQueued = 2000;
  // Chat lines queued and not yet sent.
  std::size_t QueuedLines() const { return m_paced.size(); }
  std::size_t ChannelCount() const { return m_channels.size(); }
  const std::string& ChannelName(ChannelId channel) const;

 private:
  struct Member {
    std::string nick;
    std::string modes;  // channel privilege letters: "o", "v"...
  };
  // How the server shows a person, from any line that had it; one for all channels.
  struct Identity {
    std::string user, host;
  };
  struct Channel {
    std::string name;
    bool joined = false;   // our JOIN came back
    bool entered = false;  // and its names ended
    std::string topic;
    std::unordered_map<std::string, Member> members;  // by folded nick
  };
  struct PacedLine {
    ChannelId channel;  // 0: not for a channel (a reply to a person)
    std::string line;
  };

  void Handle(const Message& message, const Prefix& from);
  void OnWelcome(const Message& message);
  void OnNickRefused();
  void OnSupport(const Message& message);
  void OnJoin(const Message& message, const Prefix& from);
  void OnNames(const Message& message);
  void OnWho(const Message& message);
  void OnPrivmsg(const Message& message, const Prefix& from, bool notice);
  void OnNick(const Message& message, const Prefix& from);
  void OnMode(const Message& message);
  void RemoveMember(Channel& channel, std::string_view nick);
  // Refreshes how a person is shown; one not known yet only when `add` or in a channel.
  void Learn(std::string_view nick, std::string_view user, std::string_view host, bool add);
  // Forgets how a person is shown once no channel has them.
  void ForgetIfGone(std::string_view nick);
  bool InAnyChannel(const std::string& foldedNick) const;

  Channel* FindChannel(std::string_view name);
  ChannelId IdOf(const Channel& channel) const;
  Person PersonOf(std::string_view nick) const;
  bool IsOperator(const Member& member) const;
  bool IsSelf(std::string_view nick) const;
  char FoldChar(char c) const;
  std::string Fold(std::string_view text) const;
  // Fold(a) == Fold(b) without building either: every line asks it of the channel and of us.
  bool SameFolded(std::string_view a, std::string_view b) const;
  // The room a PRIVMSG's text has on the wire, with our prefix as the server relays it.
  std::size_t TextRoom(std::string_view target) const;
  void Immediate(std::string line) { m_immediate.push_back(std::move(line)); }

  ClientConfig m_config;
  ClientListener& m_listener;
  std::vector<Channel> m_channels;
  std::unordered_map<std::string, Identity> m_people;  // by folded nick
  std::string m_nick;
  int m_nickAttempt = 0;
  bool m_registered = false;
  std::string m_ownUser, m_ownHost;  // as the server sees us, once known
  // From the server's ISUPPORT: privilege modes with their symbols, highest first; the modes
  // that take a parameter; the case mapping.
  std::string m_prefixModes = "ov", m_prefixSymbols = "@+";
  std::string m_listModes = "beI", m_keyModes = "k", m_setParamModes = "l";
  bool m_rfc1459Case = true;

  std::deque<std::string> m_immediate;
  std::deque<PacedLine> m_paced;
  SendPacer m_pacer;
  Millis m_lastHeard = 0;
  bool m_pingSent = false;
  bool m_quitting = false;
};

// The nick to try when `nick` is taken: `attempt` 1 adds "_", later ones a number, within the
// nine characters every server allows.
std::string AlternativeNick(std::string_view nick, int attempt);

}  // namespace zelkor::irc
