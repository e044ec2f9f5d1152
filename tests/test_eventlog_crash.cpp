// A host that dies mid-session loses no recorded line: every line reaches the operating system
// as it is written. A child process records and is then killed outright, with no chance to
// close or flush anything; the parent reads what is on disk.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/PluginSession.h"

namespace {

constexpr int kLines = 200;

std::string ExpectedLog() {
  std::string log;
  for (int i = 0; i < kLines; ++i) log += "発言 <taro> line " + std::to_string(i) + "\r\n";
  return log;
}

// Runs in the child: records kLines chat lines, reports its home folder, then dies by SIGKILL.
[[noreturn]] void RecordAndDie(int reportFd) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nHtml=0\r\nTimeStump=0\r\n");
  s.Start();
  if (s.plugin() == nullptr) _exit(3);
  s.Say("#start");
  for (int i = 0; i < kLines; ++i) s.Chat("taro", "line " + std::to_string(i));
  const std::string home = s.home;
  if (write(reportFd, home.data(), home.size()) != static_cast<ssize_t>(home.size())) _exit(4);
  close(reportFd);
  raise(SIGKILL);
  _exit(5);
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

}  // namespace

TEST(EventLogCrash, KilledHostLeavesEveryRecordedLineWhole) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipeFds[0]);
    RecordAndDie(pipeFds[1]);
  }
  close(pipeFds[1]);
  const std::string home = ReadAll(pipeFds[0]);
  close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "child status " << status;
  ASSERT_FALSE(home.empty());

  std::ifstream in(home + reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分07秒].txt"), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), ExpectedLog());
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
}
