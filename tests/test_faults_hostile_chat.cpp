// What strangers type: markup in every value that reaches an HTML log, line breaks that would
// forge log lines, and URLs built to run commands when the user opens them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fx/Desktop.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"
#include "zelkor/ConsoleDesktop.h"
#include "zelkor/Transcript.h"

namespace t = fx::testing;

namespace {

const std::string kHtmlFile = reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分07秒].html");
const std::string kTextFile = reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分07秒].txt");

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The '<' of every tag that is not the plug-in's own markup (a colour font, a link whose URL
// holds no raw markup character, and their closing tags).
std::vector<std::string> ForeignTags(std::string_view log) {
  std::vector<std::string> foreign;
  for (std::size_t at = log.find('<'); at != std::string_view::npos; at = log.find('<', at + 1)) {
    const std::string_view tag = log.substr(at);
    const bool own =
        StartsWith(tag, "</font>") || StartsWith(tag, "<br>") || StartsWith(tag, "</a>") ||
        StartsWith(tag, "<style type=\"text/css\">") || StartsWith(tag, "</style>") ||
        (StartsWith(tag, "<font color=\"#") && tag.size() > 21 &&
         (StartsWith(tag.substr(20), "\">") || StartsWith(tag.substr(20), "\" size=1>"))) ||
        (StartsWith(tag, "<a href=\"") && tag.find("\">") != std::string_view::npos &&
         tag.substr(9, tag.find("\">") - 9).find_first_of("<>\"") == std::string_view::npos);
    if (!own) foreign.emplace_back(tag.substr(0, 40));
  }
  return foreign;
}

}  // namespace

TEST(HostileChat, MarkupFromEveryRecordKindIsEscapedInTheHtmlLog) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nAutoLog=1\r\nHtml=1\r\nTimeStump=1\r\nRCMSLog=1\r\nURLLog=1\r\n");
  s.Start();
  const std::string evil = "<script>alert(\"x\")</script>&<img src=x onerror=y>";
  s.Join(evil + "#00000001", "10.0.0.1", 80, 1, 2);
  s.Rename(evil + "#00000001", "<b>" + evil + "#00000001", "10.0.0.1", 80);
  s.Chat(evil + "#00000001", evil + " http://x/\"><script>y</script>");
  s.Chat("管理］<i>#00000003", evil, 1);
  s.Leave("<b>" + evil + "#00000001", "10.0.0.1", 80);
  s.Shutdown();
  const std::string log = s.ReadFile(kHtmlFile);
  ASSERT_NE(log.find("入室"), std::string::npos);
  for (const char* kind : {"改名", "発言", "管理", "URL", "退室"}) EXPECT_NE(log.find(kind), std::string::npos) << kind;
  EXPECT_EQ(ForeignTags(log), std::vector<std::string>{}) << log;
  EXPECT_NE(log.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;"), std::string::npos);
}

// A chat text holding CR LF cannot start a line of its own, which would read as a record made
// by the plug-in.
TEST(HostileChat, LineBreaksInChatCannotForgeRecordLines) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nAutoLog=1\r\nHtml=0\r\nTimeStump=0\r\n");
  s.Start();
  s.Chat("eve#00000004", "hi\r\n管理 server restarts, send your password to eve");
  s.Chat("eve\n入室 admin#00000004", "x");
  s.Shutdown();
  EXPECT_EQ(s.ReadFile(kTextFile),
            "発言 <eve#00000004> hi  管理 server restarts, send your password to eve\r\n"
            "発言 <eve 入室 admin#00000004> x\r\n");
}

// The console host opens a URL through the desktop's opener with an argument vector. A stand-in
// opener on PATH records the arguments it gets; the commands hidden in the URL would leave
// marker files if any shell had read it.
TEST(HostileChat, UrlWithShellSyntaxReachesTheOpenerAsOneArgumentAndRunsNothing) {
  PluginSession s;
  const std::string bin = s.home + "bin/";
  const std::string record = s.home + "opener-args";
  ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
  {
    std::ofstream opener(bin + "xdg-open");
    opener << "#!/bin/sh\n"
              "{ echo \"$#\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \"$PELLIX_OPENER_RECORD.part\"\n"
              "mv \"$PELLIX_OPENER_RECORD.part\" \"$PELLIX_OPENER_RECORD\"\n";
  }
  ASSERT_EQ(chmod((bin + "xdg-open").c_str(), 0755), 0);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
  setenv("PELLIX_OPENER_RECORD", record.c_str(), 1);

  const std::string m = s.home + "ran-";  // where a command that ran would leave its mark
  const std::string url = "http://x/$(touch${IFS}" + m + "1)`touch${IFS}" + m + "2`;touch${IFS}" + m +
                          "3|touch${IFS}" + m + "4&&touch${IFS}" + m + "5>" + m + "6";
  std::ostringstream transcriptText, errors;
  zelkor::Transcript transcript(transcriptText);
  {
    zelkor::ConsoleDesktop console(transcript, errors, true);
    s.Start();
    fx::SetDesktop(&console);
    s.Chat("eve#00000004", "look " + url + " now");
    ASSERT_TRUE(t::Click(s.Dialog(IDD_URL), IDOK));
    for (int i = 0; i < 500 && access(record.c_str(), F_OK) != 0; ++i)
      usleep(10000);
    s.Shutdown();
    fx::SetDesktop(&s.desktop);
  }
  setenv("PATH", oldPath.c_str(), 1);
  unsetenv("PELLIX_OPENER_RECORD");

  EXPECT_EQ(errors.str(), "");
  EXPECT_EQ(s.ReadFile("opener-args"), "1\n[" + url + "]\n");
  for (const char* mark : {"1", "2", "3", "4", "5", "6"}) EXPECT_FALSE(s.FileExists("ran-" + std::string(mark))) << mark;
}
