// The client's mapping of a channel's life to the plug-in's events, and what it sends back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zelkor/irc/IrcClient.h"
#include "zelkor/irc/PersonName.h"

namespace irc = zelkor::irc;

namespace {

class Recorder : public irc::ClientListener {
 public:
  std::vector<std::string> events;

  void Registered(std::string_view nick) override { events.push_back("registered " + std::string(nick)); }
  void Entered(ChannelId channel, const std::string& ownName, const std::string& topic) override {
    events.push_back("enter " + std::to_string(channel) + " " + ownName + " [" + topic + "]");
  }
  void Joined(ChannelId channel, const irc::Person& person) override { Add("join", channel, person); }
  void Left(ChannelId channel, const irc::Person& person) override { Add("leave", channel, person); }
  void Renamed(ChannelId channel, const irc::Person& before, const irc::Person& after) override {
    events.push_back("rename " + std::to_string(channel) + " " + before.name + " " + after.name);
  }
  void Said(ChannelId channel, const irc::Person& speaker, const std::string& text, bool op) override {
    events.push_back(std::string(op ? "op " : "chat ") + std::to_string(channel) + " " + speaker.name + " " + text);
  }
  void Told(std::string_view label, const std::string& text) override {
    events.push_back("told " + std::string(label) + " " + text);
  }

 private:
  void Add(const char* what, ChannelId channel, const irc::Person& person) {
    events.push_back(std::string(what) + " " + std::to_string(channel) + " " + person.name + " " + std::to_string(person.ip));
  }
};

std::string Name(const std::string& nick, const std::string& user, const std::string& host) {
  return irc::PersonName(nick, user, host);
}

// A client registered as "pellix" and in #a (and #b when asked), events cleared.
struct Session {
  explicit Session(std::vector<std::string> channels = {"#a"})
      : client(irc::ClientConfig{"pellix", channels}, recorder) {
    client.Connected(now);
    Take();
    Hear(":srv 001 pellix :Welcome to the net pellix!~px@me.example");
    for (const auto& channel : channels) {
      Hear(":pellix!~px@me.example JOIN " + channel);
      Hear(":srv 353 pellix = " + channel + " :pellix @carol dave");
      Hear(":srv 366 pellix " + channel + " :End of /NAMES list.");
    }
    Hear(":srv 352 pellix #a ~ca carol.host srv carol H@ :0 Carol");
    Take();
    recorder.events.clear();
  }
  void Hear(const std::string& line) { client.Received(line, now); }
  std::string Take() { return client.TakeOutgoing(now); }

  Recorder recorder;
  irc::IrcClient client;
  irc::Millis now = 5'000'000;
};

}  // namespace

TEST(IrcClientTest, RegistersJoinsAndEntersWithItsOwnName) {
  Recorder recorder;
  irc::IrcClient client(irc::ClientConfig{"pellix", {"#a", "#b"}}, recorder);
  client.Connected(0);
  EXPECT_EQ(client.TakeOutgoing(0), "NICK pellix\r\nUSER pellix 0 * :Pellix on Zelkor\r\n");
  client.Received(":srv 433 * pellix :Nickname already in use", 0);
  EXPECT_EQ(client.TakeOutgoing(0), "NICK pellix_\r\n");
  client.Received("PING :srv", 0);
  EXPECT_EQ(client.TakeOutgoing(0), "PONG srv\r\n");
  client.Received(":srv 001 pellix_ :Welcome pellix_!~px@me.example", 0);
  EXPECT_EQ(client.TakeOutgoing(0), "JOIN #a\r\nJOIN #b\r\n");
  EXPECT_EQ(client.Nick(), "pellix_");
  client.Received(":pellix_!~px@me.example JOIN :#a", 0);
  EXPECT_EQ(client.TakeOutgoing(0), "WHO #a\r\n");
  client.Received(":srv 332 pellix_ #a :\x02" "Welcome\x02 all", 0);
  client.Received(":srv 353 pellix_ = #a :pellix_ @carol", 0);
  client.Received(":srv 366 pellix_ #a :End", 0);
  // A server's refusal is told, not lost.
  client.Received(":srv 474 pellix_ #b :Cannot join channel (+b)", 0);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{
                                 "told * nick taken trying pellix_",
                                 "registered pellix_",
                                 "enter 1 " + Name("pellix_", "~px", "me.example") + " [Welcome all]",
                                 "told * server #b Cannot join channel (+b)",
                             }));
  EXPECT_EQ(irc::AlternativeNick("pellix", 2), "pellix2");
  EXPECT_EQ(irc::AlternativeNick("ninechars", 1), "ninechar_");
  EXPECT_EQ(irc::AlternativeNick("ninechars", 12), "ninecha12");
}

TEST(IrcClientTest, PeopleJoinSpeakRenameAndLeaveUnderOneSuffix) {
  Session s({"#a", "#b"});
  s.Hear(":erin!~er@10.1.2.3 JOIN #a");
  s.Hear(":erin!~er@10.1.2.3 PRIVMSG #a :hi \x03" "4there");
  s.Hear(":erin!~er@10.1.2.3 PRIVMSG #A :\x01" "ACTION waves\x01");
  s.Hear(":erin!~er@10.1.2.3 PRIVMSG #a :\x01VERSION\x01");  // a request, not chat
  s.Hear(":carol!~ca@carol.host PRIVMSG #a :from the op");
  s.Hear(":erin!~er@10.1.2.3 NICK :erin2");
  s.Hear(":erin2!~er@10.1.2.3 PART #a :bye");
  s.Hear(":dave!~da@dave.host JOIN #b");
  s.Hear(":carol!~ca@carol.host KICK #a dave :out");
  s.Hear(":dave!~da@dave.host QUIT :gone");
  s.Hear(":frank!~fr@f.host PRIVMSG #elsewhere :not ours");
  const std::string erin = Name("erin", "~er", "10.1.2.3"), erin2 = Name("erin2", "~er", "10.1.2.3");
  const std::string ip = std::to_string(irc::PersonIp("10.1.2.3"));
  EXPECT_EQ(s.recorder.events, (std::vector<std::string>{
                                   "join 1 " + erin + " " + ip,
                                   "chat 1 " + erin + " hi there",
                                   "chat 1 " + erin + " * waves",
                                   "op 1 " + Name("carol", "~ca", "carol.host") + " from the op",
                                   "rename 1 " + erin + " " + erin2,
                                   "leave 1 " + erin2 + " " + ip,
                                   "join 2 " + Name("dave", "~da", "dave.host") + " 0",
                                   // known in #a from the names only: the same person, the same name
                                   "leave 1 " + Name("dave", "~da", "dave.host") + " 0",
                                   "leave 2 " + Name("dave", "~da", "dave.host") + " 0",
                               }));
}

TEST(IrcClientTest, OperatorStatusFollowsModesAndServerPrefixes) {
  Session s;
  s.Hear(":srv 005 pellix PREFIX=(qaohv)~&@%+ CHANMODES=beI,k,l,imnpst :are supported");
  s.Hear(":carol!~ca@carol.host MODE #a +o-o+l+b dave carol 10 *!*@spam");
  s.Hear(":dave!~da@dave.host PRIVMSG #a :now op");
  s.Hear(":carol!~ca@carol.host PRIVMSG #a :not any more");
  s.Hear(":carol!~ca@carol.host MODE #a +q carol");
  s.Hear(":carol!~ca@carol.host PRIVMSG #a :owner counts");
  s.Hear(":carol!~ca@carol.host MODE #a -q+h carol carol");
  s.Hear(":carol!~ca@carol.host PRIVMSG #a :half is not");
  ASSERT_EQ(s.recorder.events.size(), 4u);
  EXPECT_TRUE(s.recorder.events[0].starts_with("op 1 dave#"));
  EXPECT_TRUE(s.recorder.events[1].starts_with("chat 1 carol#"));
  EXPECT_TRUE(s.recorder.events[2].starts_with("op 1 carol#"));
  EXPECT_TRUE(s.recorder.events[3].starts_with("chat 1 carol#"));
}

TEST(IrcClientTest, ChannelsAndOurNickMatchUnderTheServersCaseMapping) {
  Session s({"#a[1]"});
  // RFC 1459, the default: [ ] \ ~ are the capitals of { } | ^.
  s.Hear(":erin!~er@e.host PRIVMSG #A{1} :folded");
  s.Hear(":srv 005 pellix CASEMAPPING=ascii :are supported");
  s.Hear(":erin!~er@e.host PRIVMSG #A{1} :another channel now");
  s.Hear(":erin!~er@e.host PRIVMSG #A[1] :letters still fold");
  // Our nick in capitals is still us: we left, and no one else did.
  s.Hear(":PELLIX!~px@me.example PART #a[1]");
  s.Hear(":erin!~er@e.host PRIVMSG #a[1] :not heard once we left");
  const std::string erin = Name("erin", "~er", "e.host");
  EXPECT_EQ(s.recorder.events, (std::vector<std::string>{"chat 1 " + erin + " folded", "chat 1 " + erin + " letters still fold"}));
}

TEST(IrcClientTest, SaysArePacedSplitAndKeptAcrossAReconnection) {
  Session s;
  // Twelve answers at once: a burst now, the rest one per interval, all in order.
  for (int i = 0; i < 12; ++i) s.client.Say(1, "answer " + std::to_string(i));
  std::string sent = s.Take();
  EXPECT_EQ(sent.find("answer 5"), std::string::npos);
  EXPECT_NE(sent.find("PRIVMSG #a :answer 4\r\n"), std::string::npos);
  EXPECT_EQ(s.client.NextWake(s.now), s.now + irc::SendPacer::kInterval);
  s.now += irc::SendPacer::kInterval;
  sent = s.Take();
  EXPECT_EQ(sent, "PRIVMSG #a :answer 5\r\n");

  // Lost: what waits is kept, and goes out once the channel is joined again.
  s.client.Disconnected();
  s.client.Connected(s.now);
  EXPECT_EQ(s.Take(), "NICK pellix\r\nUSER pellix 0 * :Pellix on Zelkor\r\n");
  s.Hear(":srv 001 pellix :Welcome pellix!~px@me.example");
  EXPECT_EQ(s.Take(), "JOIN #a\r\n");
  s.Hear(":pellix!~px@me.example JOIN #a");
  sent = s.Take();
  EXPECT_TRUE(sent.starts_with("WHO #a\r\nPRIVMSG #a :answer 6\r\n")) << sent;
  s.now += 30 * irc::SendPacer::kInterval;
  sent += s.Take();
  for (int i = 6; i < 12; ++i) EXPECT_NE(sent.find("answer " + std::to_string(i) + "\r\n"), std::string::npos) << i;
  EXPECT_LT(sent.find("answer 10"), sent.find("answer 11"));
  EXPECT_EQ(s.client.QueuedLines(), 0u);

  // Line breaks make lines of their own; a long text is split within the limit, losing nothing.
  s.now += 60'000;
  s.client.Say(1, "one\r\ntwo\n\nthree");
  EXPECT_EQ(s.Take(), "PRIVMSG #a one\r\nPRIVMSG #a two\r\nPRIVMSG #a three\r\n");
  s.now += 60'000;
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "表";
  s.client.Say(1, longText);
  sent = s.Take();
  std::string joined;
  const std::string prefix = ":pellix!~px@me.example ";
  for (std::size_t start = 0; start < sent.size();) {
    const std::size_t end = sent.find("\r\n", start);
    const std::string line = sent.substr(start, end - start);
    EXPECT_LE(prefix.size() + line.size() + 2, irc::kMaxLineOnWire);
    joined += line.substr(line.find(' ', 8) + 1);
    start = end + 2;
  }
  std::string expected;
  for (int i = 0; i < 300; ++i) expected += reinterpret_cast<const char*>(u8"表");
  EXPECT_EQ(joined, expected);
}

TEST(IrcClientTest, KeepAliveQuitAndAFullQueue) {
  Session s;
  EXPECT_TRUE(s.client.Alive(s.now + irc::IrcClient::kQuietBeforePing - 1));
  EXPECT_EQ(s.Take(), "");
  s.now += irc::IrcClient::kQuietBeforePing;
  EXPECT_TRUE(s.client.Alive(s.now));
  EXPECT_EQ(s.Take(), "PING keep-alive\r\n");
  EXPECT_FALSE(s.client.Alive(s.now + irc::IrcClient::kPingWait));
  s.Hear(":srv PONG srv keep-alive");
  EXPECT_TRUE(s.client.Alive(s.now + irc::IrcClient::kPingWait));

  for (std::size_t i = 0; i < irc::IrcClient::kMostQueued + 3; ++i) s.client.Say(1, "x");
  EXPECT_EQ(s.client.QueuedLines(), irc::IrcClient::kMostQueued);
  EXPECT_EQ(s.recorder.events.size(), 3u);
  s.client.Quit("bye now");
  EXPECT_EQ(s.Take(), "QUIT :bye now\r\n");  // and no chat line after it
}

TEST(IrcClientTest, HostileLinesChangeNothing) {
  Session s;
  for (const char* line : {"", ":", "PRIVMSG", "PRIVMSG #a", ":x PRIVMSG #a :", "JOIN", ":!@ JOIN #a", "353", "366",
                           ":srv 353 pellix = #a :@ + @@ ", "MODE #a +oooooo", ":srv 005 pellix PREFIX=(ov :x",
                           ":srv 005 pellix PREFIX=(ov)@ :x", "NICK", ":pellix NICK", "KICK #a", "\x01\x01\x01"}) {
    s.Hear(line);
  }
  // Private messages from people in no channel leave nothing behind (a server cannot grow our
  // memory with names): a later line without the prefix's host knows nothing of them.
  for (int i = 0; i < 3; ++i) s.Hear(":stranger!~st@host" + std::to_string(i) + " PRIVMSG pellix :\x01VERSION\x01");
  s.Hear(":stranger PRIVMSG #a :no host shown");
  EXPECT_EQ(s.recorder.events.back(), "chat 1 " + Name("stranger", "", "") + " no host shown");
  s.Hear(":stranger!~st@h PART #a");
  // A rename onto a nick that is already there still keeps the renamed person's suffix.
  s.Hear(":erin!~er@e.host JOIN #a");
  s.Hear(":dave!~da@dave.host NICK erin");
  s.Hear(":carol!~ca@carol.host PRIVMSG #a :still fine");
  ASSERT_GE(s.recorder.events.size(), 2u);
  EXPECT_EQ(s.recorder.events[s.recorder.events.size() - 2],
            "rename 1 " + Name("dave", "~da", "dave.host") + " " + Name("erin", "~da", "dave.host"));
  EXPECT_EQ(s.recorder.events.back(), "op 1 " + Name("carol", "~ca", "carol.host") + " still fine");
}
