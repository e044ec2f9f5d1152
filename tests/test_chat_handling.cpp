// Chat lines as the user sees them: collected URLs, chat and administrative records, and the
// keyword rules answering in the channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fx/ListCtrl.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"
#include "test_chat_support.h"

namespace t = fx::testing;
using namespace chat_test;

namespace {

constexpr const char* kBob = "bob#00000002";

std::string RulesIni(const std::vector<std::pair<std::string, std::string>>& rules) {
  std::string words = "[KeyWord]\r\n";
  std::string responses = "[ResMsg]\r\n";
  for (std::size_t i = 0; i < rules.size(); ++i) {
    words += "Word[" + std::to_string(i) + "]=" + rules[i].first + "\r\n";
    responses += "Msg[" + std::to_string(i) + "]=" + rules[i].second + "\r\n";
  }
  return "[React]\r\nAutoReact=1\r\nReactNum=" + std::to_string(rules.size()) + "\r\n" + words + responses;
}

std::vector<std::string> CollectedUrls(const PluginSession& s) {
  return t::ReadCombo(s.Dialog(IDD_URL), IDC_URL_COMBO).items;
}

// URLs found in one line, each from a fresh session so no duplicate rule interferes.
std::vector<std::string> UrlsOf(const std::string& line) {
  PluginSession s;
  s.Start();
  s.Chat(kBob, line);
  return CollectedUrls(s);
}

}  // namespace

TEST(ChatUrls, FoundAsTheScanRulesSay) {
  using V = std::vector<std::string>;
  EXPECT_EQ(UrlsOf("see ttp://x/y now"), V{"http://x/y"});
  EXPECT_EQ(UrlsOf("http://x/y"), V{"http://x/y"});
  EXPECT_EQ(UrlsOf("www.p/q and ftp://r/s"), V{"ftp://r/s"});
  EXPECT_EQ(UrlsOf("https://x/y"), V{});
  EXPECT_EQ(UrlsOf("https://www.x/y"), V{"www.x/y"});
  EXPECT_EQ(UrlsOf("http://a/?u=http://b"), V{"ttp://a/?u=http://b"});
  EXPECT_EQ(UrlsOf("http://x/yアイ"), V{"http://x/y"});
  EXPECT_EQ(UrlsOf("ttp://one ttp://two"), (V{"http://one", "http://two"}));
}

TEST(ChatUrls, RecordedAndLoggedOnlyWhenCollectedAndUrlLogIsOn) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\nURLLog=1\r\nMessageLog=0\r\n"));
  s.Start();
  s.Chat(kBob, "http://a/bc");
  s.Chat(kBob, "http://A/BC again");  // equal ignoring case: refused
  s.Chat(kBob, "http://a/b");         // only a prefix of an entry: collected
  EXPECT_EQ(CollectedUrls(s), (std::vector<std::string>{"http://a/bc", "http://a/b"}));
  EXPECT_EQ(Records(s), (std::vector<Record>{{"URL", "http://a/bc"}, {"URL", "http://a/b"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "URL http://a/bc\r\nURL http://a/b\r\n");
}

TEST(ChatUrls, CollectedButNotRecordedWithUrlLogOff) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nMessageLog=0\r\n");
  s.Start();
  s.Chat(kBob, "ftp://files/x");
  EXPECT_EQ(CollectedUrls(s), (std::vector<std::string>{"ftp://files/x"}));
  EXPECT_TRUE(Records(s).empty());
}

TEST(ChatUrls, HtmlLinesEscapeTheUrlInTheLinkAndItsText) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("URLLog=1\r\nMessageLog=0\r\n"));
  s.Start();
  s.Chat(kBob, "http://x/?a=1&b=\"2\"<i>");
  EXPECT_EQ(Records(s), (std::vector<Record>{{"URL", "http://x/?a=1&b=\"2\"<i>"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "URL <a href=\"http://x/?a=1&amp;b=&quot;2&quot;&lt;i&gt;\">http://x/?a=1&amp;b=&quot;2&quot;&lt;i&gt;</a>"
            "<br>\r\n");
}

TEST(ChatLines, EverySpeakerWithTheNameColour) {
  PluginSession s;
  s.WriteFile("Zelkor.ini", "[ColorSetting]\r\nNameText=255\r\n");
  s.WriteFile("Pellix.ini", LoggingIni(""));
  s.Start();
  s.Chat(kBob, "a <b>bold</b> & 100% claim");
  EXPECT_EQ(Records(s), (std::vector<Record>{{"発言", "<bob#00000002> a <b>bold</b> & 100% claim"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "<font color=\"#FF0000\">発言 &lt;bob#00000002&gt; </font>a &lt;b&gt;bold&lt;/b&gt; &amp; 100% claim<br>\r\n");
}

TEST(ChatLines, TextLinesWithTheSpeaker) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n"));
  s.Start();
  s.Chat(kBob, "hello there");
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "発言 <bob#00000002> hello there\r\n");
}

TEST(ChatLines, AWatchedNameIsFoundIgnoringCase) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n", "[LogSettings]\r\nCheckUser=abc\r\n"));
  s.Start();
  s.Chat("xxABCyy#00000003", "watched");
  s.Chat(kBob, "not watched");
  EXPECT_EQ(Records(s), (std::vector<Record>{{"発言", "<xxABCyy#00000003> watched"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "発言 <xxABCyy#00000003> watched\r\n");
}

TEST(ChatLines, AWatchedNameWithoutNameIncludeRecordsTheTextOnly) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("NameInclude=0\r\n", "[LogSettings]\r\nCheckUser=abc\r\n"));
  s.Start();
  s.Chat("abc#00000003", "just <this>");
  EXPECT_EQ(Records(s), (std::vector<Record>{{"発言", "just <this>"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "<font color=\"#FFFFFF\">発言 </font>just &lt;this&gt;<br>\r\n");
}

TEST(ChatLines, AnUnwatchedSpeakerStillGetsAdministrativeRecordsAndAnswers) {
  PluginSession s;
  s.WriteFile("Pellix.ini",
              LoggingIni("Html=0\r\nRCMSLog=1\r\n", "[LogSettings]\r\nCheckUser=abc\r\n" + RulesIni({{"kick", "ok"}})));
  s.Start();
  s.Chat("管理］root#00000009", "kick spammer", 1);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"管理", "kick spammer"}}));
  EXPECT_EQ(s.sent, (std::vector<std::string>{"ok"}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "管理 kick spammer\r\n");
}

TEST(ChatLines, MessageLogOffRecordsNoChatLine) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nMessageLog=0\r\n");
  s.Start();
  s.Chat(kBob, "hello");
  EXPECT_TRUE(Records(s).empty());
}

TEST(AdministrativeLines, NeedAMarkerAFlagAndRcmsLog) {
  PluginSession s;
  s.WriteFile("Zelkor.ini", "[ColorSetting]\r\nActionText=65280\r\n");
  s.WriteFile("Pellix.ini", LoggingIni("RCMSLog=1\r\nMessageLog=0\r\n"));
  s.Start();
  s.Chat("管理］root#00000009", "flag zero", 0);
  s.Chat(kBob, "no marker", 1);
  s.Chat("(ﾟзﾟ)＜X#00000009", "<marked>", 7);
  s.Chat("(ﾟ_ﾟ)＜#00000009", "second", 1);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"管理", "<marked>"}, {"管理", "second"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "<font color=\"#00FF00\">管理 &lt;marked&gt;</font><br>\r\n"
            "<font color=\"#00FF00\">管理 second</font><br>\r\n");
}

TEST(AdministrativeLines, OffByDefault) {
  PluginSession s;
  s.Start();
  s.Chat("管理］root#00000009", "hi", 1);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"発言", "<管理］root#00000009> hi"}}));
}

TEST(ChatHandling, UrlsComeFirstThenTheChatLineThenTheAdministrativeRecord) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\nRCMSLog=1\r\nURLLog=1\r\n"));
  s.Start();
  s.Chat("管理］root#00000009", "rules at www.x/r", 1);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"URL", "www.x/r"},
                                             {"発言", "<管理］root#00000009> rules at www.x/r"},
                                             {"管理", "rules at www.x/r"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "URL www.x/r\r\n発言 <管理］root#00000009> rules at www.x/r\r\n管理 rules at www.x/r\r\n");
}

TEST(AutoReaction, EveryMatchingRuleAnswersInRowOrder) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RulesIni({{"WORLD", "second? no, first: %name% and %NAME%"},
                                      {"absent", "never"},
                                      {"hello", "hi"},
                                      {"o w", ""}}));
  s.Start();
  s.Chat(kBob, "Hello World");
  EXPECT_EQ(s.sent, (std::vector<std::string>{"second? no, first: bob#00000002 and %NAME%", "hi", ""}));
}

TEST(AutoReaction, OffByDefaultAndKeywordsMatchWholeCharacters) {
  {
    PluginSession s;
    s.WriteFile("Pellix.ini", "[React]\r\nAutoReact=0\r\nReactNum=1\r\n[KeyWord]\r\nWord[0]=hello\r\n[ResMsg]\r\nMsg[0]=hi\r\n");
    s.Start();
    s.Chat(kBob, "hello");
    EXPECT_TRUE(s.sent.empty());
  }
  PluginSession s;
  s.WriteFile("Pellix.ini", RulesIni({{"ア", "katakana"}, {"", "empty keyword"}}));
  s.Start();
  s.Chat(kBob, "ャA");  // byte by byte, ア's two bytes sit across ャ's trail byte and the A
  s.Chat(kBob, "アイ");
  EXPECT_EQ(s.sent, (std::vector<std::string>{"katakana"}));
}

TEST(AutoReaction, RulesAddedInTheSettingsWindowAnswerAtOnce) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[React]\r\nAutoReact=1\r\n");
  s.Start();
  const HWND page = s.Dialog(IDD_AUTOREACT);
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_WORD, "ping"));
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_RES, "pong %NAME%"));
  ASSERT_TRUE(t::Click(page, IDC_REACT_ADD));
  s.Chat(kBob, "PING?");
  EXPECT_EQ(s.sent, (std::vector<std::string>{"pong bob#00000002"}));
}

// The rule list stays the one place the rules live: each edit in the settings window between
// two lines shows in the answers to the second, in row order.
TEST(AutoReaction, RulesAddedChangedAndDeletedBetweenLinesAnswerTheNextLine) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RulesIni({{"alpha", "A"}, {"beta", "B"}}));
  s.Start();
  const HWND page = s.Dialog(IDD_AUTOREACT);
  const auto answers = [&] {
    s.sent.clear();
    s.Chat(kBob, "Alpha, beta and gamma");
    return s.sent;
  };
  using Sent = std::vector<std::string>;
  EXPECT_EQ(answers(), (Sent{"A", "B"}));

  ASSERT_TRUE(t::TypeText(page, IDC_REACT_WORD, "GAMMA"));
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_RES, "G"));
  ASSERT_TRUE(t::Click(page, IDC_REACT_ADD));
  EXPECT_EQ(answers(), (Sent{"A", "B", "G"})) << "added";

  ASSERT_TRUE(t::ClickRow(page, IDC_REACT_LIST, 0));  // change mode for the first row
  ASSERT_TRUE(t::ClearText(page, IDC_REACT_WORD));
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_WORD, "omega"));
  ASSERT_TRUE(t::Click(page, IDC_REACT_ADD));
  EXPECT_EQ(answers(), (Sent{"B", "G"})) << "the first row's keyword changed to one the line lacks";

  ASSERT_TRUE(t::Click(page, IDC_REACT_DELETE));  // the first row is still the one selected
  EXPECT_EQ(answers(), (Sent{"B", "G"})) << "deleted";
  ASSERT_TRUE(t::ClickRow(page, IDC_REACT_LIST, 1));
  ASSERT_TRUE(t::ClearText(page, IDC_REACT_WORD));
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_WORD, "and"));
  ASSERT_TRUE(t::ClearText(page, IDC_REACT_RES));
  ASSERT_TRUE(t::TypeText(page, IDC_REACT_RES, "&"));
  ASSERT_TRUE(t::Click(page, IDC_REACT_ADD));
  EXPECT_EQ(answers(), (Sent{"B", "&"})) << "changed to another keyword the line holds";
  ASSERT_TRUE(t::ClickRow(page, IDC_REACT_LIST, 0));
  ASSERT_TRUE(t::Click(page, IDC_REACT_DELETE));
  EXPECT_EQ(answers(), (Sent{"&"})) << "deleted again";
}

namespace {

// A host whose every send deletes the first rule, as a callback inside InputMessage might.
class RuleDeletingSession : public PluginSession {
 private:
  void InputMessage(ChannelId, std::string_view text) override {
    sent.emplace_back(text);
    static_cast<CListCtrl*>(CWnd::FromHandle(Dialog(IDD_AUTOREACT))->GetDlgItem(IDC_REACT_LIST))->DeleteItem(0);
  }
};

}  // namespace

// After a send the rows are read again: with the first row gone, the rows after the one that
// answered have moved up by one, and they answer as they stand now.
TEST(AutoReaction, RowsEditedDuringASendAnswerAsTheyAreNow) {
  RuleDeletingSession s;
  s.WriteFile("Pellix.ini", RulesIni({{"x", "0"}, {"y", "1"}, {"x", "2"}, {"x", "3"}, {"x", "4"}}));
  s.Start();
  s.Chat(kBob, "x");
  // Row 0 answers "0" and goes, so "2" stands at row 1, next in turn: it answers and row 0
  // ("1") goes, so row 2, next in turn, is now "4". Rules matched before the first send
  // would have answered "3" instead.
  EXPECT_EQ(s.sent, (std::vector<std::string>{"0", "2", "4"}));
}

TEST(AutoReaction, NinetyNineRulesAllMatchingOneLine) {
  std::vector<std::pair<std::string, std::string>> rules;
  for (int i = 0; i < 99; ++i) rules.push_back({"x", "r" + std::to_string(i) + " %NAME%"});
  PluginSession s;
  s.WriteFile("Pellix.ini", RulesIni(rules));
  s.Start();
  s.Chat(std::string(10000, 'n'), "x");
  ASSERT_EQ(s.sent.size(), 99u);
  EXPECT_EQ(s.sent[0].size(), 1023u) << "the response is cut to its working text";
  EXPECT_EQ(s.sent[98].substr(0, 5), "r98 n");
}

namespace {

// A host that hands the plug-in's own sends back to it as chat lines of the local user.
class EchoingSession : public PluginSession {
 private:
  void InputMessage(ChannelId channel, std::string_view text) override {
    sent.emplace_back(text);
    if (sent.size() > 10) return;  // the test's own safety net
    const std::string line(text);
    plugin()->OnChatMessage(channel, "me#00000000", line.c_str(), 0);
  }
};

}  // namespace

TEST(AutoReaction, AResponseHoldingItsKeywordDoesNotAnswerItself) {
  EchoingSession s;
  s.WriteFile("Pellix.ini", RulesIni({{"echo", "echo back"}}));
  s.Start();
  s.Chat(kBob, "echo");
  EXPECT_EQ(s.sent, (std::vector<std::string>{"echo back"}));
  EXPECT_EQ(Records(s), (std::vector<Record>{{"発言", "<bob#00000002> echo"}, {"発言", "<me#00000000> echo back"}}));
}

TEST(ChatHandling, BadInputIsHandledWithoutHarm) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\nURLLog=1\r\n", RulesIni({{"z", "%NAME%"}})));
  s.Start();
  s.Chat(kBob, "lone lead byte \x83");
  s.Chat(kBob, "ttp:\x83");
  std::string huge(1 << 20, 'z');
  huge.replace(10, 9, " ttp://u ");
  s.Chat(std::string(10000, 'n'), huge);
  CZelkorPlugin* plugin = s.plugin();
  ASSERT_NE(plugin, nullptr);
  plugin->OnChatMessage(1, nullptr, nullptr, 1);
  plugin->OnChatMessage(1, nullptr, "z", 1);
  EXPECT_EQ(CollectedUrls(s), (std::vector<std::string>{"http:", "http://u"}));
  EXPECT_EQ(s.sent, (std::vector<std::string>{std::string(1023, 'n'), ""}));
  s.Shutdown();
  const std::string log = LogBody(s);
  std::size_t longest = 0;
  for (std::size_t pos = 0, next; pos < log.size(); pos = next + 2) {
    next = log.find("\r\n", pos);
    ASSERT_NE(next, std::string::npos) << "every line ends in CR LF";
    longest = std::max(longest, next - pos);
  }
  EXPECT_LE(longest, 1023u);
}
