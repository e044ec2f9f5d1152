// What a hostile server or peer can send: the byte stream cut into lines, each parsed and fed to
// the client, whose events and replies must stay well formed; and the wire's text conversions.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "fx/Sjis.h"
#include "zelkor/irc/IrcClient.h"
#include "zelkor/irc/IrcMessage.h"
#include "zelkor/irc/WireText.h"

namespace {

namespace irc = zelkor::irc;

void CheckName(const irc::Person& person) {
  fuzz::Check(person.name.size() >= 9 && person.name[person.name.size() - 9] == '#', "a name ends in # and 8 digits",
              person.name);
  fuzz::Check(person.name.find('\0') == std::string::npos, "no NUL in a name", person.name);
}

void CheckText(const std::string& text) {
  fuzz::Check(text.find('\0') == std::string::npos, "no NUL in a text", text);
  fuzz::Check(text.find_first_of("\r\n") == std::string::npos, "no line break in a text", text);
}

class Listener : public irc::ClientListener {
 public:
  irc::IrcClient* client = nullptr;
  void Registered(std::string_view) override {}
  void Entered(ChannelId channel, const std::string& ownName, const std::string& topic) override {
    CheckChannel(channel);
    CheckText(ownName);
    CheckText(topic);
  }
  void Joined(ChannelId channel, const irc::Person& person) override { Person(channel, person); }
  void Left(ChannelId channel, const irc::Person& person) override { Person(channel, person); }
  void Renamed(ChannelId channel, const irc::Person& before, const irc::Person& after) override {
    Person(channel, before);
    Person(channel, after);
    fuzz::Check(before.name.substr(before.name.size() - 9) == after.name.substr(after.name.size() - 9),
                "a rename keeps the suffix", after.name);
  }
  void Said(ChannelId channel, const irc::Person& speaker, const std::string& text, bool) override {
    Person(channel, speaker);
    CheckText(text);
    client->Say(channel, text);  // as a rule's answer would
  }
  void Told(std::string_view, const std::string& text) override { CheckText(text); }

 private:
  void CheckChannel(ChannelId channel) { fuzz::Check(channel >= 1 && channel <= 2, "a channel we are on"); }
  void Person(ChannelId channel, const irc::Person& person) {
    CheckChannel(channel);
    CheckName(person);
  }
};

void CheckOutgoing(const std::string& out, const std::string& nick) {
  for (std::size_t start = 0; start < out.size();) {
    const std::size_t end = out.find("\r\n", start);
    fuzz::Check(end != std::string::npos, "every line sent ends in CR LF", out.substr(start));
    const std::string_view line(out.data() + start, end - start);
    fuzz::Check(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos, "one command a line", line);
    // As the server relays it, with our prefix ":nick!user@host " before it.
    fuzz::Check(line.size() + 2 + nick.size() + 4 <= irc::kMaxLineOnWire || !line.starts_with("PRIVMSG"),
                "within the limit", line);
    start = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The conversions on the raw bytes.
  const std::string cp932 = irc::WireToCp932(bytes);
  fuzz::Check(cp932.size() <= bytes.size() * 2 + 1, "conversion stays bounded");
  const std::string wire = irc::Cp932ToWire(cp932);
  fuzz::Check(irc::IsUtf8(wire), "what goes on the wire is UTF-8", wire);
  std::string joined;
  for (const std::string_view piece : irc::SplitUtf8(wire, 1 + size % 40)) {
    fuzz::Check(piece.size() <= std::max<std::size_t>(4, 1 + size % 40), "a piece within its size", piece);
    fuzz::Check(irc::IsUtf8(piece), "a piece is whole characters", piece);
    joined += piece;
  }
  fuzz::Check(joined == wire, "the pieces are the whole text", wire);
  (void)irc::WithoutFormatting(bytes);

  // The same bytes as a server's stream, after a registration and two joins.
  Listener listener;
  irc::IrcClient client(irc::ClientConfig{"pellix", {"#a", "#b"}}, listener);
  listener.client = &client;
  irc::LineReader reader;
  client.Connected(0);
  reader.Feed(":s 001 pellix :hi pellix!~p@h\r\n:pellix!~p@h JOIN #a\r\n:s 366 pellix #a :e\r\n");
  reader.Feed(":pellix!~p@h JOIN #b\r\n:s 366 pellix #b :e\r\n");
  reader.Feed(bytes);
  irc::Millis now = 0;
  while (auto line = reader.Next()) {
    fuzz::Check(line->size() <= irc::kMaxReceivedLine, "a line within the limit");
    fuzz::Check(line->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos, "a line is one line");
    if (const auto message = irc::ParseLine(*line)) {
      fuzz::Check(message->params.size() <= 15, "at most 15 parameters");
      fuzz::Check(!message->command.empty(), "a command");
    }
    client.Received(*line, now);
    now += 700;
    CheckOutgoing(client.TakeOutgoing(now), client.Nick());
    (void)client.Alive(now);
  }
  return 0;
}
