// Files that misbehave under the plug-in: the log file deleted, replaced or truncated while a
// recording runs, a log folder and a plug-in INI that the user may not write to.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kLogName = "EventLog[01月03日09時05分07秒].txt";  // Shift-JIS, as in the rows
const std::string kLogFile = reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分07秒].txt");
constexpr const char* kBob = "bob#00000002";

Rows EventRows(const PluginSession& s) { return t::ReadListView(s.Dialog(IDD_EVENTLOG), IDC_EVENT_LIST).rows; }

std::vector<std::string> Labels(const PluginSession& s) {
  std::vector<std::string> labels;
  for (const auto& row : EventRows(s)) labels.push_back(row.at(1));
  return labels;
}

void StartRecording(PluginSession& s) {
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nAutoLog=1\r\nHtml=0\r\nTimeStump=0\r\n");
  s.Start();
}

// Runs `body` in a child process as the unprivileged user "nobody", so that file permissions
// hold even when the tests run as root; the child's result is its exit status (0: all held).
// The module is loaded before the switch: the build folder may lie where that user cannot go
// (a checkout under /root), and what the test is about is the home folder, not the module.
int AsNobody(PluginSession& s, const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    s.Load();
    if (!s.IsRunning()) _exit(91);
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(90);
    _exit(body());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::map<std::string, std::string> Snapshot(const PluginSession& s) {
  std::map<std::string, std::string> files;
  for (const std::string& name : s.ListFiles()) files[name] = s.ReadFile(name);
  return files;
}

}  // namespace

// Deleted or replaced, the file has lost its name: the recording ends as after a failed write,
// with a stop row, rather than writing on into a file nobody can read. "#start" works again.
TEST(LogFileDisturbed, DeletedWhileRecordingStopsTheRecordingVisibly) {
  PluginSession s;
  StartRecording(s);
  s.Chat(kBob, "one");
  ASSERT_EQ(unlink((s.home + kLogFile).c_str()), 0);
  s.Chat(kBob, "two");
  s.Chat(kBob, "three");
  EXPECT_EQ(Labels(s), (std::vector<std::string>{"開始", "発言", "発言", "停止", "発言"}));
  EXPECT_EQ(EventRows(s)[3][2], kLogName);
  EXPECT_FALSE(s.FileExists(kLogFile));

  s.Say("#start");
  s.Chat(kBob, "four");
  EXPECT_EQ(s.ReadFile(kLogFile), "発言 <bob#00000002> four\r\n");
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
}

TEST(LogFileDisturbed, ReplacedWhileRecordingStopsAndLeavesTheReplacementAlone) {
  PluginSession s;
  StartRecording(s);
  s.Chat(kBob, "one");
  s.WriteFile("other.txt", "replacement\r\n");
  ASSERT_EQ(rename((s.home + "other.txt").c_str(), (s.home + kLogFile).c_str()), 0);
  s.Chat(kBob, "two");
  EXPECT_EQ(Labels(s).back(), "停止");
  EXPECT_EQ(s.ReadFile(kLogFile), "replacement\r\n");

  s.Say("#start");  // the same second: appends to the file of that name, now the replacement
  s.Chat(kBob, "three");
  EXPECT_EQ(s.ReadFile(kLogFile), "replacement\r\n発言 <bob#00000002> three\r\n");
}

// Emptied in place, the file keeps its name: the recording goes on, appending after whatever
// the file holds now.
TEST(LogFileDisturbed, TruncatedWhileRecordingGoesOnAtTheNewEnd) {
  PluginSession s;
  StartRecording(s);
  s.Chat(kBob, "one");
  ASSERT_EQ(truncate((s.home + kLogFile).c_str(), 0), 0);
  s.Chat(kBob, "two");
  EXPECT_EQ(Labels(s).back(), "発言");
  s.Shutdown();
  EXPECT_EQ(s.ReadFile(kLogFile), "発言 <bob#00000002> two\r\n");
}

TEST(UnusableLogFolder, ReadOnlyFolderFailsSilentlyWithoutAStartRow) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to an unprivileged user";
  PluginSession s;
  ASSERT_EQ(chmod(s.home.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((s.home + "logs").c_str(), 0555), 0);
  s.WriteFile("Pellix.ini", "[LogSettings]\r\nDirectory=" + s.home + "logs/\r\n[LogSwitch]\r\nHtml=0\r\n");
  ASSERT_EQ(chmod((s.home + "Pellix.ini").c_str(), 0644), 0);
  const int result = AsNobody(s, [&] {
    s.Start();
    const bool refused = !s.Say("#start").has_value();
    const bool quiet = EventRows(s).empty() && s.desktop.messageBoxes.empty();
    return refused && quiet ? 0 : 1;
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(s.ListFiles() == (std::vector<std::string>{"Pellix.ini", "logs"}));
}

// Saving at shutdown cannot write the plug-in INI: nothing is said, the file keeps every byte,
// and no other file appears beside it (no temporary file left behind, no file elsewhere).
TEST(UnwritableIni, SavingFailsSilentlyAndTouchesNoFile) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to an unprivileged user";
  PluginSession s;
  ASSERT_EQ(chmod(s.home.c_str(), 0755), 0);
  s.WriteFile("Pellix.ini", "; mine\r\n[LogSwitch]\r\nHtml=1\r\n[React]\r\nReactNum=0\r\n");
  s.WriteFile("Zelkor.ini", "[FontSetting]\r\nFontSize=120\r\n");
  for (const char* name : {"Pellix.ini", "Zelkor.ini"}) ASSERT_EQ(chmod((s.home + name).c_str(), 0644), 0);
  const auto before = Snapshot(s);

  // A setting and a rule changed, so that there is something to save.
  const auto changeAndShutDown = [&] {
    s.Start();
    t::Click(s.Dialog(IDD_LOGSETTING), IDC_HTML);
    t::TypeText(s.Dialog(IDD_AUTOREACT), IDC_REACT_WORD, "hi");
    t::TypeText(s.Dialog(IDD_AUTOREACT), IDC_REACT_RES, "hello");
    t::Click(s.Dialog(IDD_AUTOREACT), IDC_REACT_ADD);
    s.Shutdown();
    return s.desktop.messageBoxes.empty() ? 0 : 1;
  };
  EXPECT_EQ(AsNobody(s, changeAndShutDown), 0);
  EXPECT_EQ(Snapshot(s), before);

  changeAndShutDown();  // the same as a user who may write: the file does change
  EXPECT_NE(s.ReadFile("Pellix.ini"), before.at("Pellix.ini"));
}
