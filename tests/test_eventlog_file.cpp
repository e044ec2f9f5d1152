// Recording to a log file, driven as a user does: "#start", chat lines, "#end". What is checked
// is what lands on disk and the start and stop rows of the event list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fx/File.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The 3 January 09:05:07 start: the row carries the Shift-JIS name, the disk the UTF-8 one.
const std::string kTextName = "EventLog[01月03日09時05分07秒].txt";
const std::string kHtmlName = "EventLog[01月03日09時05分07秒].html";
const std::string kTextFile = Utf8(u8"EventLog[01月03日09時05分07秒].txt");
const std::string kHtmlFile = Utf8(u8"EventLog[01月03日09時05分07秒].html");

Rows EventRows(const PluginSession& s) { return t::ReadListView(s.Dialog(IDD_EVENTLOG), IDC_EVENT_LIST).rows; }

std::vector<std::string> LogFiles(const PluginSession& s) {
  std::vector<std::string> logs;
  for (const std::string& name : s.ListFiles())
    if (name.rfind("EventLog[", 0) == 0) logs.push_back(name);
  return logs;
}

void StartWith(PluginSession& s, const std::string& logSwitches) {
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\n" + logSwitches);
  s.Start();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(EventLogFile, TextStartCreatesTheNamedFileAndAddsTheStartRow) {
  PluginSession s;
  StartWith(s, "Html=0\r\n");
  EXPECT_EQ(s.Say("#start"), std::nullopt);
  EXPECT_EQ(LogFiles(s), std::vector<std::string>{kTextFile});
  EXPECT_EQ(EventRows(s), (Rows{{"09:05:07", "開始", kTextName}}));
  EXPECT_EQ(s.ReadFile(kTextFile), "") << "a text log has no style block";
  s.SetTime(2026, 1, 3, 9, 6, 0);
  s.Say("#end");
  EXPECT_EQ(EventRows(s), (Rows{{"09:05:07", "開始", kTextName}, {"09:06:00", "停止", kTextName}}));
}

TEST(EventLogFile, HtmlStartWritesTheStyleBlockFromTheHostIni) {
  PluginSession s;
  s.WriteFile("Zelkor.ini",
              "[ColorSetting]\r\nBackGround=255\r\nNormalText=16711680\r\n"
              "[FontSetting]\r\nFontName=ＭＳ ゴシック\r\nFontSize=105\r\n");
  StartWith(s, "Html=1\r\nTimeStump=1\r\n");
  s.Say("#start");
  EXPECT_EQ(EventRows(s), (Rows{{"09:05:07", "開始", kHtmlName}}));
  EXPECT_EQ(s.ReadFile(kHtmlFile),
            "<style type=\"text/css\">\r\n"
            "    body {\r\n"
            "     color: #0000FF;\r\n"
            "     background:#FF0000;\r\n"
            "     font-family: \"ＭＳ ゴシック\";\r\n"
            "     font-size: 10.5pt;\r\n"
            "   }\r\n"
            "</style>\r\n");
}

TEST(EventLogFile, TimePrefixFollowsTimeStumpAndTheFileForm) {
  {
    PluginSession s;
    StartWith(s, "Html=0\r\nTimeStump=1\r\n");
    s.Say("#start");
    s.SetTime(2026, 1, 3, 10, 20, 30);
    s.Chat("taro", "hello");
    EXPECT_EQ(s.ReadFile(kTextFile).rfind("[10:20:30] ", 0), 0u) << s.ReadFile(kTextFile);
  }
  {
    PluginSession s;
    StartWith(s, "Html=0\r\nTimeStump=0\r\n");
    s.Say("#start");
    s.Chat("taro", "hello");
    const std::string log = s.ReadFile(kTextFile);
    EXPECT_EQ(log.rfind("発言 ", 0), 0u) << log;
    EXPECT_EQ(log.find('['), std::string::npos) << log;
  }
  {
    PluginSession s;
    s.WriteFile("Zelkor.ini", "[ColorSetting]\r\nNormalText=65280\r\n");
    StartWith(s, "Html=1\r\nTimeStump=1\r\n");
    s.Say("#start");
    s.Chat("taro", "hello");
    const std::string log = s.ReadFile(kHtmlFile);
    const std::string afterStyle = log.substr(log.find("</style>\r\n") + 10);
    EXPECT_EQ(afterStyle.rfind("<font color=\"#00FF00\" size=1>09:05:07</font> ", 0), 0u) << afterStyle;
    EXPECT_EQ(log.find("<font"), log.find("</style>\r\n") + 10) << "the style block carries no prefix";
  }
}

TEST(EventLogFile, ChatTextIsWrittenLiterally) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=0\r\n");
  s.Say("#start");
  s.Chat("taro", "100%s %d %n%%\ttab\rcr\nlf");
  // Only a CR or LF from chat is not kept: it would end the record line early (a forged line).
  EXPECT_TRUE(Contains(s.ReadFile(kTextFile), "100%s %d %n%%\ttab cr lf\r\n")) << s.ReadFile(kTextFile);
}

TEST(EventLogFile, OverLongLineIsCutAndStillEndsTheLine) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=1\r\n");
  s.Say("#start");
  std::string megabyte;
  while (megabyte.size() < (1u << 20)) megabyte += "ア";
  s.Chat("taro", megabyte);
  s.Chat("jiro", "next");
  const std::string log = s.ReadFile(kTextFile);
  const std::size_t firstEnd = log.find("\r\n");
  ASSERT_NE(firstEnd, std::string::npos);
  const std::string prefix = "[09:05:07] ";
  EXPECT_LE(firstEnd + 2, prefix.size() + 1023);
  const std::string first = log.substr(prefix.size(), firstEnd - prefix.size());
  // Everything after the record's head is whole double-byte characters.
  const std::size_t head = first.find("> ") + 2;
  EXPECT_EQ((first.size() - head) % 2, 0u);
  EXPECT_EQ(first.substr(first.size() - 2), "ア");
  EXPECT_EQ(log.substr(firstEnd + 2, prefix.size() + 7), prefix + "発言 <j");
}

TEST(EventLogFile, TurningHtmlOffKeepsTheOpenHtmlFileAndItsPrefix) {
  PluginSession s;
  StartWith(s, "Html=1\r\nTimeStump=1\r\n");
  s.Say("#start");
  ASSERT_TRUE(t::SelectTab(s.Dialog(IDD_SETTING), IDC_SETTING_TAB, 1));
  ASSERT_TRUE(t::Click(s.Dialog(IDD_LOGSETTING), IDC_HTML));
  s.Chat("taro", "<b>");
  // A refused start must not take the new settings into the open recording.
  s.Say("#start");
  s.Chat("taro", "again");
  EXPECT_EQ(LogFiles(s), std::vector<std::string>{kHtmlFile});
  const std::string log = s.ReadFile(kHtmlFile);
  EXPECT_TRUE(Contains(log, "size=1>09:05:07</font> 発言 <taro> <b>\r\n")) << log;
  EXPECT_TRUE(Contains(log, "size=1>09:05:07</font> 発言 <taro> again\r\n")) << log;
  ASSERT_EQ(s.desktop.messageBoxes.size(), 1u);
}

TEST(EventLogFile, RestartInTheSameSecondAppendsAndALaterSecondOpensANewFile) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=0\r\n");
  s.Say("#start");
  s.Chat("taro", "one");
  s.Say("#end");
  s.SetTime(2031, 1, 3, 9, 5, 7);  // another year, same month to second
  s.Say("#start");
  s.Chat("taro", "two");
  s.Say("#end");
  EXPECT_EQ(LogFiles(s), std::vector<std::string>{kTextFile});
  EXPECT_EQ(s.ReadFile(kTextFile), "発言 <taro> one\r\n発言 <taro> two\r\n");
  s.SetTime(2031, 1, 3, 9, 5, 8);
  s.Say("#start");
  EXPECT_EQ(LogFiles(s).size(), 2u);
}

TEST(EventLogFile, AutoLogRecordsFromStartUp) {
  PluginSession s;
  StartWith(s, "AutoLog=1\r\nHtml=0\r\n");
  EXPECT_EQ(EventRows(s), (Rows{{"09:05:07", "開始", kTextName}}));
  EXPECT_TRUE(s.FileExists(kTextFile));
}

TEST(EventLogFile, UnloadWithoutEndClosesTheFileWithItsLines) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=0\r\n");
  s.Say("#start");
  s.Chat("taro", "last words");
  s.Shutdown();
  fx::File again;
  EXPECT_TRUE(again.OpenForAppend(s.home + kTextName)) << "the recording still holds the file";
  EXPECT_EQ(s.ReadFile(kTextFile), "発言 <taro> last words\r\n");
}

TEST(EventLogFile, AFileHeldByAnotherRecordingIsNotOpened) {
  PluginSession s;
  StartWith(s, "Html=0\r\n");
  fx::File other;
  ASSERT_TRUE(other.OpenForAppend(s.home + kTextName));
  s.Say("#start");
  EXPECT_TRUE(EventRows(s).empty());
  s.Say("#start");
  EXPECT_TRUE(s.desktop.messageBoxes.empty()) << "a failed start leaves logging off";
  other.Close();
  s.Say("#start");
  EXPECT_EQ(EventRows(s).size(), 1u);
}

TEST(EventLogFile, UnusableFolderFailsSilentlyAndALaterStartWorks) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSettings]\r\nDirectory=" + s.home + "logs/\r\n[LogSwitch]\r\nHtml=0\r\n");
  s.Start();
  EXPECT_EQ(s.Say("#start"), std::nullopt);
  EXPECT_TRUE(EventRows(s).empty());
  EXPECT_TRUE(s.desktop.messageBoxes.empty());

  s.WriteFile("logs", "a regular file where the folder should be");
  s.Say("#start");
  EXPECT_TRUE(EventRows(s).empty());

  ASSERT_EQ(unlink((s.home + "logs").c_str()), 0);
  ASSERT_EQ(mkdir((s.home + "logs").c_str(), 0555), 0);
  if (geteuid() != 0) {  // root writes anywhere
    s.Say("#start");
    EXPECT_TRUE(EventRows(s).empty());
  }
  ASSERT_EQ(chmod((s.home + "logs").c_str(), 0755), 0);
  s.Say("#start");
  EXPECT_EQ(EventRows(s), (Rows{{"09:05:07", "開始", kTextName}}));
  EXPECT_TRUE(s.FileExists("logs/" + kTextFile));
}

TEST(EventLogFile, FailedWriteEndsTheRecordingAsEndWould) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=0\r\n");
  s.Say("#start");
  s.Chat("taro", "kept");
  fx::seams::FailFileWritesAfter(0);
  s.Chat("taro", "lost");
  const Rows rows = EventRows(s);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3], (std::vector<std::string>{"09:05:07", "停止", kTextName}));
  s.Chat("taro", "after");  // no recording: a row, no line, no second stop row
  EXPECT_EQ(EventRows(s).size(), 5u);

  fx::seams::FailFileWritesAfter(std::nullopt);
  s.Say("#start");  // the file was closed, so the same second opens it again
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
  s.Chat("taro", "resumed");
  EXPECT_EQ(s.ReadFile(kTextFile), "発言 <taro> kept\r\n発言 <taro> resumed\r\n");
}

TEST(EventLogFile, AWriteCutShortByAFullDiskLeavesNoTornLine) {
  PluginSession s;
  StartWith(s, "Html=0\r\nTimeStump=0\r\n");
  s.Say("#start");
  s.Chat("taro", "kept");
  fx::seams::FailFileWritesAfter(0, 7);  // the disk fills up inside the next line
  s.Chat("taro", "torn");
  ASSERT_EQ(EventRows(s).back()[1], "停止");
  EXPECT_EQ(s.ReadFile(kTextFile), "発言 <taro> kept\r\n");

  // Room again; a start in the same second (or on the same date and time of another year)
  // appends to the same file, on a line of its own.
  fx::seams::FailFileWritesAfter(std::nullopt);
  s.Say("#start");
  s.Chat("taro", "resumed");
  EXPECT_EQ(s.ReadFile(kTextFile), "発言 <taro> kept\r\n発言 <taro> resumed\r\n");
}

TEST(EventLogFile, FailedStyleBlockWriteEndsTheRecording) {
  PluginSession s;
  StartWith(s, "Html=1\r\n");
  fx::seams::FailFileWritesAfter(0);
  s.Say("#start");
  const Rows rows = EventRows(s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "開始");
  EXPECT_EQ(rows[1][1], "停止");
}
