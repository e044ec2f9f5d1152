// Joins, leaves and renames as the user sees them: event list rows, log lines, the rename
// notice in the channel and the auto-welcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fx/App.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"
#include "test_chat_support.h"

namespace t = fx::testing;
using namespace chat_test;

namespace {

// Names arrive with the host's 9-byte suffix.
constexpr const char* kAlice = "alice#00000001";
constexpr const char* kHostColours =
    "[ColorSetting]\r\nEnterText=255\r\nLeaveText=65280\r\nTopicText=16711680\r\n";

}  // namespace

TEST(PresenceHandling, JoinAndLeaveInNodeFormWithTextLines) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n"));
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  s.Join("bob#00000002", "10.1.2.3", 80, 11, 0);
  s.Leave(kAlice, "127.0.0.1", 6699);
  EXPECT_EQ(Records(s), (std::vector<Record>{
                            {"入室", "alice#00000001 (T1 3 files)[0100007F1A2B]"},
                            {"入室", "bob#00000002 (N/A 0 files)[0302010A0050]"},
                            {"退室", "alice#00000001 [0100007F1A2B]"},
                        }));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "入室 alice#00000001 (T1 3 files)[0100007F1A2B]\r\n"
            "入室 bob#00000002 (N/A 0 files)[0302010A0050]\r\n"
            "退室 alice#00000001 [0100007F1A2B]\r\n");
}

TEST(PresenceHandling, IpPortFormWithHtmlLinesInTheHostColours) {
  PluginSession s;
  s.WriteFile("Zelkor.ini", kHostColours);
  s.WriteFile("Pellix.ini", LoggingIni("WriteType=1\r\n"));
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 7, 12);
  s.Rename(kAlice, "alicia#00000001", "127.0.0.1", 6699);
  s.Leave("alicia#00000001", "127.0.0.1", 6699);
  EXPECT_EQ(Records(s), (std::vector<Record>{
                            {"入室", "alice#00000001 (Cable 12 files)[127.0.0.1:6699]"},
                            {"改名", "alice#00000001 to alicia#00000001 [127.0.0.1:6699]"},
                            {"退室", "alicia#00000001 [127.0.0.1:6699]"},
                        }));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "<font color=\"#FF0000\">入室 alice#00000001 (Cable 12 files)[127.0.0.1:6699]</font><br>\r\n"
            "<font color=\"#0000FF\">改名 alice#00000001 to alicia#00000001 [127.0.0.1:6699]</font><br>\r\n"
            "<font color=\"#00FF00\">退室 alicia#00000001 [127.0.0.1:6699]</font><br>\r\n");
}

TEST(PresenceHandling, MarkupInNamesIsEscapedInTheHtmlLogOnly) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni(""));
  s.Start();
  s.Join("<b>\"x\"&y#00000001", "127.0.0.1", 6699, 0, 1);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"入室", "<b>\"x\"&y#00000001 (Unknown 1 files)[0100007F1A2B]"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s),
            "<font color=\"#FFFFFF\">入室 &lt;b&gt;&quot;x&quot;&amp;y#00000001 (Unknown 1 files)[0100007F1A2B]"
            "</font><br>\r\n");
}

TEST(PresenceHandling, RowsWithoutLinesWhileNotLogging) {
  PluginSession s;
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  s.Leave(kAlice, "127.0.0.1", 6699);
  EXPECT_EQ(Records(s).size(), 2u);
  EXPECT_TRUE(LogFiles(s).empty());
}

TEST(PresenceHandling, SwitchedOffRecordsLeaveNoRowAndNoLine) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\nEnterLog=0\r\nLeaveLog=0\r\nRenameLog=0\r\n"));
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  s.Rename(kAlice, "carol#00000001", "127.0.0.1", 6699);
  s.Leave(kAlice, "127.0.0.1", 6699);
  EXPECT_TRUE(Records(s).empty());
  EXPECT_TRUE(s.echoes.empty()) << "RenameLog off silences the notice too";
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "");
}

TEST(PresenceHandling, TheAddressFormFollowsTheLiveSetting) {
  PluginSession s;
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  const HWND settings = s.Dialog(IDD_SETTING);
  ASSERT_TRUE(t::SelectTab(settings, IDC_SETTING_TAB, 1));
  ASSERT_TRUE(t::Click(s.Dialog(IDD_LOGSETTING), IDC_WRITE_TYPE));
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  const auto records = Records(s);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].detail, "alice#00000001 (T1 3 files)[0100007F1A2B]");
  EXPECT_EQ(records[1].detail, "alice#00000001 (T1 3 files)[127.0.0.1:6699]");
}

TEST(RenameHandling, NoticeShowsTheTimeAndBaseNamesInTheNoticeColour) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n"));
  s.Start();
  s.SetTime(2026, 1, 3, 21, 4, 9);
  s.Rename(kAlice, "アリス#00000001", "127.0.0.1", 6699);
  ASSERT_EQ(s.echoes.size(), 1u);
  EXPECT_EQ(s.echoes[0].text, "［21時04分09秒］[alice] は [アリス] に改名しました。\r\n");
  EXPECT_EQ(s.echoes[0].colour, 0xFFFF00u);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"改名", "alice#00000001 to アリス#00000001 [0100007F1A2B]"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "改名 alice#00000001 to アリス#00000001 [0100007F1A2B]\r\n");
}

TEST(RenameHandling, ChangingOnlyTheSuffixProducesNothing) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n"));
  s.Start();
  s.Rename(kAlice, "alice#99999999", "127.0.0.1", 6699);
  EXPECT_TRUE(s.echoes.empty());
  EXPECT_TRUE(Records(s).empty());
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "");
}

TEST(RenameHandling, AChangedLastCharacterIsARenameEvenWhereTheSuffixSplitsIt) {
  PluginSession s;
  s.WriteFile("Pellix.ini", LoggingIni("Html=0\r\n"));
  s.Start();
  s.Rename("アイウ12345678", "アイ漢12345678", "1.2.3.4", 5);
  ASSERT_EQ(s.echoes.size(), 1u);
  EXPECT_EQ(Records(s), (std::vector<Record>{{"改名", "アイウ12345678 to アイ漢12345678 [040302010005]"}}));
  s.Shutdown();
  EXPECT_EQ(LogBody(s), "改名 アイウ12345678 to アイ漢12345678 [040302010005]\r\n");
}

TEST(RenameHandling, NamesOfNineBytesOrFewerCountWhole) {
  PluginSession s;
  s.Start();
  s.Rename("bob", "ann", "127.0.0.1", 6699);
  s.Rename("123456789", "123456780", "127.0.0.1", 6699);
  ASSERT_EQ(s.echoes.size(), 2u);
  EXPECT_EQ(s.echoes[0].text, "［09時05分07秒］[bob] は [ann] に改名しました。\r\n");
  EXPECT_EQ(s.echoes[1].text, "［09時05分07秒］[123456789] は [123456780] に改名しました。\r\n");
  EXPECT_EQ(Records(s).size(), 2u);
}

TEST(RenameHandling, HugeNamesAreHandledWhole) {
  PluginSession s;
  s.Start();
  const std::string oldName(10000, 'a');
  const std::string newName = std::string(10000, 'b');
  s.Rename(oldName, newName, "127.0.0.1", 6699);
  ASSERT_EQ(s.echoes.size(), 1u);
  EXPECT_LT(s.echoes[0].text.size(), 2100u) << "each base name is taken from at most 1023 bytes";
  EXPECT_EQ(Records(s).size(), 1u);
}

TEST(Welcome, DefaultTemplateGreetsTheNameWithoutItsSuffix) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[AutoWelcome]\r\nAutoWelcome=1\r\n");
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  s.Join("ken", "127.0.0.1", 6699, 9, 3);
  EXPECT_EQ(s.sent, (std::vector<std::string>{"alice さん、こんにちは！", "ken さん、こんにちは！"}));
}

TEST(Welcome, EveryPlaceholderFromTheJoinRecord) {
  PluginSession s;
  s.WriteFile("Pellix.ini",
              "[AutoWelcome]\r\nAutoWelcome=1\r\n"
              "Message=%node% %IP% %PORT% %RAWNAME% %NAME% %FILES% %LINE% %NAME%\r\n");
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 7, 42);
  ASSERT_EQ(s.sent.size(), 1u);
  EXPECT_EQ(s.sent[0], "0100007F1A2B 127.0.0.1 6699 alice#00000001 alice 42 Cable %NAME%");
}

TEST(Welcome, SentEvenWithoutAJoinRecordAndWhenEmpty) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[AutoWelcome]\r\nAutoWelcome=1\r\nMessage=\r\n[LogSwitch]\r\nEnterLog=0\r\n");
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  EXPECT_EQ(s.sent, (std::vector<std::string>{""}));
  EXPECT_TRUE(Records(s).empty());
}

TEST(Welcome, OffByDefault) {
  PluginSession s;
  s.Start();
  s.Join(kAlice, "127.0.0.1", 6699, 9, 3);
  EXPECT_TRUE(s.sent.empty());
}

TEST(Welcome, HugeNamesStayWithinTheWorkingText) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[AutoWelcome]\r\nAutoWelcome=1\r\nMessage=%RAWNAME%%NAME%%RAWNAME%\r\n");
  s.Start();
  s.Join(std::string(10000, 'x'), "127.0.0.1", 6699, 9, 3);
  ASSERT_EQ(s.sent.size(), 1u);
  EXPECT_EQ(s.sent[0], std::string(1023, 'x'));
}

TEST(PresenceHandling, NullRecordsAndNamesFromTheHostAreHarmless) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[AutoWelcome]\r\nAutoWelcome=1\r\n");
  s.Start();
  CZelkorPlugin* plugin = s.plugin();
  ASSERT_NE(plugin, nullptr);
  plugin->OnJoinUser(1, nullptr);
  plugin->OnLeaveUser(1, nullptr);
  plugin->OnRenameUser(1, nullptr);
  EXPECT_TRUE(Records(s).empty());
  const JoinUserInfo join{nullptr, 0x0100007F, 6699, 9, 3};
  plugin->OnJoinUser(1, &join);
  const RenameUserInfo rename{nullptr, {}, "dave", 0x0100007F, 6699};
  plugin->OnRenameUser(1, &rename);
  fx::PumpMessages();  // as the host does after each call
  EXPECT_EQ(s.sent, (std::vector<std::string>{" さん、こんにちは！"}));
  EXPECT_EQ(Records(s), (std::vector<Record>{{"入室", " (T1 3 files)[0100007F1A2B]"},
                                             {"改名", " to dave [0100007F1A2B]"}}));
}
