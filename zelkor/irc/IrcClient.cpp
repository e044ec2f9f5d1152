#include "zelkor/irc/IrcClient.h"

#include <algorithm>

#include "zelkor/irc/PersonName.h"
#include "zelkor/irc/WireText.h"

namespace zelkor::irc {
namespace {

constexpr std::size_t kShortestNickLimit = 9;
// What we assume of our own prefix until the server has shown it.
constexpr std::size_t kUnknownUserLength = 10;
constexpr std::size_t kUnknownHostLength = 63;

bool IsChannelName(std::string_view name) {
  return !name.empty() && (name.front() == '#' || name.front() == '&' || name.front() == '+' || name.front() == '!');
}

bool IsNumeric(const std::string& command, int low, int high) {
  if (command.size() != 3 || !std::all_of(command.begin(), command.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const int value = std::stoi(command);
  return value >= low && value <= high;
}

// A CTCP request or action: "\x01VERB rest\x01".
bool SplitCtcp(std::string_view text, std::string_view& verb, std::string_view& rest) {
  if (text.size() < 2 || text.front() != '\x01') return false;
  text.remove_prefix(1);
  if (text.back() == '\x01') text.remove_suffix(1);
  const std::size_t space = text.find(' ');
  verb = text.substr(0, space);
  rest = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  return true;
}

// The words after the first parameter of a server's reply, as a person reads them.
std::string ReplyText(const Message& message) {
  std::string text;
  for (std::size_t i = 1; i < message.params.size(); ++i) {
    if (!text.empty()) text += ' ';
    text += message.params[i];
  }
  return text;
}

}  // namespace

std::string AlternativeNick(std::string_view nick, int attempt) {
  const std::string suffix = attempt <= 1 ? "_" : std::to_string(attempt);
  std::string base(nick);
  if (base.size() + suffix.size() > kShortestNickLimit)
    base.resize(kShortestNickLimit > suffix.size() ? kShortestNickLimit - suffix.size() : 1);
  return base + suffix;
}

IrcClient::IrcClient(ClientConfig config, ClientListener& listener)
    : m_config(std::move(config)), m_listener(listener), m_nick(m_config.nick) {
  for (const std::string& name : m_config.channels) m_channels.push_back(Channel{name, false, false, {}, {}});
}

const std::string& IrcClient::ChannelName(ChannelId channel) const {
  static const std::string none;
  return channel >= 1 && channel <= m_channels.size() ? m_channels[channel - 1].name : none;
}

void IrcClient::Connected(Millis now) {
  Disconnected();
  m_lastHeard = now;
  Immediate(FormatLine("NICK", {m_nick}));
  Immediate(FormatLine("USER", {m_config.user, "0", "*", m_config.realName}));
}

void IrcClient::Disconnected() {
  m_registered = false;
  m_nick = m_config.nick;
  m_nickAttempt = 0;
  m_pingSent = false;
  m_quitting = false;
  m_immediate.clear();
  m_pacer.Reset();
  for (Channel& channel : m_channels) {
    channel.joined = channel.entered = false;
    channel.topic.clear();
    channel.members.clear();
  }
  m_people.clear();
  // Replies to people belong to the connection that asked; chat lines wait for the next one.
  std::erase_if(m_paced, [](const PacedLine& line) { return line.channel == 0; });
}

void IrcClient::Received(std::string_view line, Millis now) {
  m_lastHeard = now;
  m_pingSent = false;
  const auto message = ParseLine(line);
  if (!message) return;
  const Prefix from = SplitPrefix(message->prefix);
  // A person is kept while in a channel, or when the line may make them a member.
  Learn(from.nick, from.user, from.host, message->command == "JOIN" || message->command == "PRIVMSG");
  Handle(*message, from);
}

void IrcClient::Handle(const Message& message, const Prefix& from) {
  const std::string& command = message.command;
  if (command == "PING") {
    Immediate(FormatLine("PONG", {message.Param(0)}));
  } else if (command == "001") {
    OnWelcome(message);
  } else if (command == "005") {
    OnSupport(message);
  } else if ((command == "432" || command == "433" || command == "437") && !m_registered) {
    OnNickRefused();
  } else if (command == "JOIN") {
    OnJoin(message, from);
  } else if (command == "332") {
    if (Channel* channel = FindChannel(message.Param(1))) channel->topic = message.Param(2);
  } else if (command == "TOPIC") {
    if (Channel* channel = FindChannel(message.Param(0))) channel->topic = message.Param(1);
  } else if (command == "353") {
    OnNames(message);
  } else if (command == "366") {
    Channel* channel = FindChannel(message.Param(1));
    if (channel != nullptr && channel->joined && !channel->entered) {
      channel->entered = true;
      m_listener.Entered(IdOf(*channel), PersonName(WireToCp932(m_nick), m_ownUser, m_ownHost),
                         WireToCp932(WithoutFormatting(channel->topic)));
    }
  } else if (command == "352") {
    OnWho(message);
  } else if (command == "PRIVMSG" || command == "NOTICE") {
    OnPrivmsg(message, from, command == "NOTICE");
  } else if (command == "NICK") {
    OnNick(message, from);
  } else if (command == "PART") {
    if (Channel* channel = FindChannel(message.Param(0))) RemoveMember(*channel, from.nick);
    ForgetIfGone(from.nick);
  } else if (command == "KICK") {
    if (Channel* channel = FindChannel(message.Param(0))) {
      if (IsSelf(message.Param(1)))
        m_listener.Told("* kicked", WireToCp932(channel->name + " by " + from.nick + ": " + message.Param(2)));
      RemoveMember(*channel, message.Param(1));
    }
    ForgetIfGone(message.Param(1));
  } else if (command == "QUIT") {
    for (Channel& channel : m_channels) RemoveMember(channel, from.nick);
    ForgetIfGone(from.nick);
  } else if (command == "MODE") {
    OnMode(message);
  } else if (command == "ERROR") {
    m_listener.Told("* server", WireToCp932(message.Param(0)));
  } else if (IsNumeric(command, 400, 599)) {
    m_listener.Told("* server", WireToCp932(ReplyText(message)));
  }
}

void IrcClient::OnWelcome(const Message& message) {
  m_registered = true;
  if (!message.Param(0).empty()) m_nick = message.Param(0);
  // "Welcome to the network, nick!user@host" shows how the server sees us.
  const std::string& text = message.Param(1);
  const std::size_t start = text.rfind(' ') == std::string::npos ? 0 : text.rfind(' ') + 1;
  const Prefix self = SplitPrefix(std::string_view(text).substr(start));
  if (IsSelf(self.nick) && !self.host.empty()) {
    m_ownUser = self.user;
    m_ownHost = self.host;
  }
  m_listener.Registered(m_nick);
  for (const Channel& channel : m_channels) Immediate(FormatLine("JOIN", {channel.name}));
}

void IrcClient::OnNickRefused() {
  m_nick = AlternativeNick(m_config.nick, ++m_nickAttempt);
  m_listener.Told("* nick taken", "trying " + m_nick);
  Immediate(FormatLine("NICK", {m_nick}));
}

void IrcClient::OnSupport(const Message& message) {
  // "nick TOKEN=value ... :are supported"
  for (std::size_t i = 1; i + 1 < message.params.size(); ++i) {
    const std::string_view token = message.params[i];
    const std::size_t equals = token.find('=');
    const std::string_view key = token.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : token.substr(equals + 1);
    if (key == "PREFIX" && value.starts_with('(')) {
      const std::size_t close = value.find(')');
      if (close == std::string_view::npos || value.size() - close - 1 != close - 1) continue;
      m_prefixModes = std::string(value.substr(1, close - 1));
      m_prefixSymbols = std::string(value.substr(close + 1));
    } else if (key == "CHANMODES") {
      std::vector<std::string> types;
      std::size_t from = 0;
      for (std::size_t comma; (comma = value.find(',', from)) != std::string_view::npos; from = comma + 1)
        types.emplace_back(value.substr(from, comma - from));
      types.emplace_back(value.substr(from));
      if (types.size() < 3) continue;
      m_listModes = types[0];
      m_keyModes = types[1];
      m_setParamModes = types[2];
    } else if (key == "CASEMAPPING") {
      m_rfc1459Case = value != "ascii";
    }
  }
}

void IrcClient::OnJoin(const Message& message, const Prefix& from) {
  Channel* channel = FindChannel(message.Param(0));
  if (channel == nullptr) return;
  if (IsSelf(from.nick)) {
    channel->joined = true;
    channel->entered = false;
    channel->members.clear();
    if (!from.host.empty()) {
      m_ownUser = from.user;
      m_ownHost = from.host;
    }
    // Who is there, with their ident@host, so that their names are right from the start.
    Immediate(FormatLine("WHO", {channel->name}));
    return;
  }
  Member& member = channel->members[Fold(from.nick)];
  member = Member{from.nick, {}};
  if (channel->joined) m_listener.Joined(IdOf(*channel), PersonOf(member.nick));
}

void IrcClient::OnNames(const Message& message) {
  // "me = #channel :@op +voiced plain" (with userhost-in-names, nick!user@host)
  Channel* channel = FindChannel(message.Param(2));
  if (channel == nullptr || channel->entered) return;
  std::string_view names = message.Param(3);
  while (!names.empty()) {
    const std::size_t space = std::min(names.find(' '), names.size());
    std::string_view entry = names.substr(0, space);
    names.remove_prefix(std::min(space + 1, names.size()));
    std::string modes;
    while (!entry.empty() && m_prefixSymbols.find(entry.front()) != std::string::npos) {
      modes += m_prefixModes[m_prefixSymbols.find(entry.front())];
      entry.remove_prefix(1);
    }
    if (entry.empty()) continue;
    const Prefix who = SplitPrefix(entry);
    Learn(who.nick, who.user, who.host, true);
    channel->members[Fold(who.nick)] = Member{who.nick, modes};
  }
}

void IrcClient::OnWho(const Message& message) {
  // "me #channel user host server nick flags :hops real name"
  if (FindChannel(message.Param(1)) != nullptr) Learn(message.Param(5), message.Param(2), message.Param(3), true);
}

void IrcClient::OnPrivmsg(const Message& message, const Prefix& from, bool notice) {
  const std::string& target = message.Param(0);
  const std::string text = WithoutFormatting(message.Param(1));
  std::string_view verb, rest;
  const bool ctcp = SplitCtcp(text, verb, rest);
  Channel* channel = IsChannelName(target) ? FindChannel(target) : nullptr;
  if (IsChannelName(target) && (channel == nullptr || !channel->joined)) return;
  if (channel != nullptr && !notice) {
    if (ctcp && verb != "ACTION") return;
    Member& member = channel->members[Fold(from.nick)];
    member.nick = from.nick;
    m_listener.Said(IdOf(*channel), PersonOf(member.nick), WireToCp932(ctcp ? "* " + std::string(rest) : text),
                    IsOperator(member));
    return;
  }
  ForgetIfGone(from.nick);  // a person who only talks to us is not kept
  if (from.host.empty() && !m_registered) return;  // the server's own notices while we register
  if (ctcp && !notice && IsSelf(target)) {
    // The two requests every client answers; as replies to a person they are paced too.
    std::string reply;
    if (verb == "VERSION") reply = "\x01VERSION Zelkor with Pellix\x01";
    if (verb == "PING") reply = "\x01PING " + std::string(rest) + "\x01";
    if (!reply.empty() && m_paced.size() < 100) m_paced.push_back({0, FormatLine("NOTICE", {from.nick, reply})});
    return;
  }
  if (ctcp) return;
  const std::string label = (notice ? "-" : "*") + from.nick + (notice ? "-" : "*");
  m_listener.Told(label, WireToCp932(channel != nullptr ? channel->name + " " + text : text));
}

void IrcClient::OnNick(const Message& message, const Prefix& from) {
  const std::string& newNick = message.Param(0);
  if (newNick.empty()) return;
  if (IsSelf(from.nick)) {
    m_nick = newNick;
    return;
  }
  const Person before = PersonOf(from.nick);
  // The person keeps what we know of them, and nothing of whoever had the nick before.
  auto identity = m_people.extract(Fold(from.nick));
  m_people.erase(Fold(newNick));
  if (identity) {
    identity.key() = Fold(newNick);
    m_people.insert(std::move(identity));
  }
  const Person after = PersonOf(newNick);
  for (Channel& channel : m_channels) {
    const auto found = channel.members.find(Fold(from.nick));
    if (found == channel.members.end()) continue;
    Member member = std::move(found->second);
    channel.members.erase(found);
    member.nick = newNick;
    channel.members[Fold(newNick)] = std::move(member);
    if (channel.entered) m_listener.Renamed(IdOf(channel), before, after);
  }
}

void IrcClient::OnMode(const Message& message) {
  Channel* channel = FindChannel(message.Param(0));
  if (channel == nullptr) return;
  bool adding = true;
  std::size_t next = 2;  // the next mode parameter
  for (const char mode : message.Param(1)) {
    if (mode == '+' || mode == '-') {
      adding = mode == '+';
      continue;
    }
    const bool privilege = m_prefixModes.find(mode) != std::string::npos;
    const bool takesParam = privilege || m_listModes.find(mode) != std::string::npos ||
                            m_keyModes.find(mode) != std::string::npos ||
                            (adding && m_setParamModes.find(mode) != std::string::npos);
    if (!takesParam) continue;
    const std::string& param = message.Param(next++);
    if (!privilege) continue;
    const auto found = channel->members.find(Fold(param));
    if (found == channel->members.end()) continue;
    std::string& modes = found->second.modes;
    if (adding && modes.find(mode) == std::string::npos) modes += mode;
    if (!adding) std::erase(modes, mode);
  }
}

void IrcClient::RemoveMember(Channel& channel, std::string_view nick) {
  if (IsSelf(nick)) {
    channel.joined = channel.entered = false;
    channel.members.clear();
    return;
  }
  const auto found = channel.members.find(Fold(nick));
  if (found == channel.members.end()) return;
  const Member member = std::move(found->second);
  channel.members.erase(found);
  if (channel.entered) m_listener.Left(IdOf(channel), PersonOf(member.nick));
}

void IrcClient::Learn(std::string_view nick, std::string_view user, std::string_view host, bool add) {
  if (nick.empty() || host.empty() || IsSelf(nick)) return;
  const std::string folded = Fold(nick);
  if (!add && !m_people.contains(folded) && !InAnyChannel(folded)) return;
  Identity& identity = m_people[folded];
  identity.user = std::string(user);
  identity.host = std::string(host);
}

bool IrcClient::InAnyChannel(const std::string& folded) const {
  return std::any_of(m_channels.begin(), m_channels.end(),
                     [&folded](const Channel& channel) { return channel.members.contains(folded); });
}

void IrcClient::ForgetIfGone(std::string_view nick) {
  const std::string folded = Fold(nick);
  if (!InAnyChannel(folded)) m_people.erase(folded);
}

void IrcClient::Say(ChannelId channel, std::string_view cp932Text) {
  const std::string& name = ChannelName(channel);
  if (name.empty()) return;
  const std::string wire = Cp932ToWire(cp932Text);
  const std::size_t room = TextRoom(name);
  std::string_view rest = wire;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    for (const std::string_view piece : SplitUtf8(rest.substr(0, end), room)) {
      if (m_paced.size() >= kMostQueued) {
        m_listener.Told("* not sent (too many lines waiting)", WireToCp932(piece));
        continue;
      }
      m_paced.push_back({channel, FormatLine("PRIVMSG", {name, piece})});
    }
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
}

void IrcClient::Quit(std::string_view reason) {
  m_immediate.push_front(FormatLine("QUIT", {reason}));
  m_quitting = true;
}

std::string IrcClient::TakeOutgoing(Millis now) {
  std::string out;
  for (const std::string& line : m_immediate) out += line;
  m_immediate.clear();
  if (!m_registered || m_quitting) return out;
  // The first line whose channel is there to take it: a channel joined again after a
  // reconnection may come later than another, and each keeps its own order.
  for (auto it = m_paced.begin(); it != m_paced.end();) {
    const bool ready = it->channel == 0 || m_channels[it->channel - 1].joined;
    if (!ready) {
      ++it;
      continue;
    }
    if (!m_pacer.TakeTurn(now)) break;
    out += it->line;
    it = m_paced.erase(it);
  }
  return out;
}

Millis IrcClient::NextWake(Millis now) const {
  if (!m_immediate.empty()) return now;
  Millis wake = m_lastHeard + kQuietBeforePing + (m_pingSent ? kPingWait : 0);
  const bool sendable = m_registered && std::any_of(m_paced.begin(), m_paced.end(), [this](const PacedLine& line) {
                          return line.channel == 0 || m_channels[line.channel - 1].joined;
                        });
  if (sendable) wake = std::min(wake, m_pacer.NextTurn(now));
  return std::max(wake, now);
}

bool IrcClient::Alive(Millis now) {
  const auto quiet = now - m_lastHeard;
  if (quiet < kQuietBeforePing) return true;
  if (!m_pingSent) {
    m_pingSent = true;
    Immediate(FormatLine("PING", {"keep-alive"}));
    return true;
  }
  return quiet < kQuietBeforePing + kPingWait;
}

IrcClient::Channel* IrcClient::FindChannel(std::string_view name) {
  for (Channel& channel : m_channels)
    if (SameFolded(channel.name, name)) return &channel;
  return nullptr;
}

ChannelId IrcClient::IdOf(const Channel& channel) const {
  return static_cast<ChannelId>(&channel - m_channels.data()) + 1;
}

Person IrcClient::PersonOf(std::string_view nick) const {
  const auto found = m_people.find(Fold(nick));
  const Identity none;
  const Identity& identity = found != m_people.end() ? found->second : none;
  return Person{PersonName(WireToCp932(nick), identity.user, identity.host), PersonIp(identity.host)};
}

bool IrcClient::IsOperator(const Member& member) const {
  // Operators and every privilege above them (owners, admins on networks that have them).
  const std::size_t op = m_prefixModes.find('o');
  const std::size_t highest = op == std::string::npos ? 0 : op;
  return std::any_of(member.modes.begin(), member.modes.end(),
                     [&](char mode) { return m_prefixModes.find(mode) <= highest; });
}

bool IrcClient::IsSelf(std::string_view nick) const { return !nick.empty() && SameFolded(nick, m_nick); }

char IrcClient::FoldChar(char c) const {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  if (!m_rfc1459Case) return c;
  switch (c) {
    case '[': return '{';
    case ']': return '}';
    case '\\': return '|';
    case '~': return '^';
    default: return c;
  }
}

std::string IrcClient::Fold(std::string_view text) const {
  std::string folded(text);
  for (char& c : folded) c = FoldChar(c);
  return folded;
}

bool IrcClient::SameFolded(std::string_view a, std::string_view b) const {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [this](char x, char y) { return FoldChar(x) == FoldChar(y); });
}

std::size_t IrcClient::TextRoom(std::string_view target) const {
  const std::size_t user = m_ownHost.empty() ? kUnknownUserLength : m_ownUser.size();
  const std::size_t host = m_ownHost.empty() ? kUnknownHostLength : m_ownHost.size();
  // ":nick!user@host PRIVMSG target :text\r\n"
  const std::size_t frame = 1 + m_nick.size() + 1 + user + 1 + host + 1 + 8 + target.size() + 2 + 2;
  return frame < kMaxLineOnWire - 16 ? kMaxLineOnWire - frame : 16;
}

}  // namespace zelkor::irc
