#include "fx/File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pellix-file-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_folder = pattern;
    m_path = m_folder + "/log.txt";
  }
  void TearDown() override {
    fx::seams::FailFileWritesAfter(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
  // `path` is UTF-8, the file-name encoding fx uses (Windows would read it as its ANSI code page).
  static std::string Read(const std::string& path) {
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string m_folder;
  std::string m_path;
};

TEST_F(FileTest, AppendsToExistingContentAndCreatesMissingFiles) {
  {
    std::ofstream(m_path, std::ios::binary) << "old\r\n";
  }
  fx::File file;
  ASSERT_TRUE(file.OpenForAppend(m_path));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_TRUE(file.Write("new\r\n"));
  EXPECT_EQ(Read(m_path), "old\r\nnew\r\n");  // no user-space buffer: visible at once
  EXPECT_TRUE(file.Write(""));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write("after close"));
  EXPECT_EQ(Read(m_path), "old\r\nnew\r\n");

  const std::string created = m_folder + "/created.txt";
  ASSERT_TRUE(file.OpenForAppend(created));
  const std::string big(1 << 20, 'x');
  EXPECT_TRUE(file.Write(big));
  file.Close();
  EXPECT_TRUE(Read(created) == big);
#ifndef _WIN32  // Windows files have no permission bits
  const mode_t mask = ::umask(022);
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(::stat(created.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644 & ~mask);
#endif
}

TEST_F(FileTest, AnOpenFileIsExclusive) {
  fx::File first;
  fx::File second;
  ASSERT_TRUE(first.OpenForAppend(m_path));
  EXPECT_FALSE(second.OpenForAppend(m_path));
  EXPECT_FALSE(second.IsOpen());

#ifndef _WIN32  // no fork on Windows; the lock there is the share mode, which binds every process alike
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    fx::File other;
    ::_exit(other.OpenForAppend(m_path) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process opened a held file";
#endif

  first.Close();
  EXPECT_TRUE(second.OpenForAppend(m_path));
}

TEST_F(FileTest, MovingKeepsTheFileAndItsLock) {
  fx::File original;
  ASSERT_TRUE(original.OpenForAppend(m_path));
  fx::File moved(std::move(original));
  EXPECT_FALSE(original.IsOpen());
  EXPECT_FALSE(original.Write("x"));
  EXPECT_TRUE(moved.Write("a"));
  fx::File target;
  target = std::move(moved);
  EXPECT_TRUE(target.Write("b"));
  fx::File rival;
  EXPECT_FALSE(rival.OpenForAppend(m_path));
  { fx::File scoped = std::move(target); }  // the destructor closes
  EXPECT_TRUE(rival.OpenForAppend(m_path));
  EXPECT_EQ(Read(m_path), "ab");
}

TEST_F(FileTest, OpeningFailsForFoldersAndMissingFolders) {
  fx::File file;
  EXPECT_FALSE(file.OpenForAppend(m_folder));
  EXPECT_FALSE(file.OpenForAppend(m_folder + "/"));
  EXPECT_FALSE(file.OpenForAppend(m_folder + "/missing/log.txt"));
  EXPECT_FALSE(file.OpenForAppend(""));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write("x"));
}

TEST_F(FileTest, OpeningAgainClosesTheFirstFile) {
  fx::File file;
  ASSERT_TRUE(file.OpenForAppend(m_path));
  ASSERT_TRUE(file.OpenForAppend(m_folder + "/second.txt"));
  fx::File other;
  EXPECT_TRUE(other.OpenForAppend(m_path));  // the first lock was released
}

TEST_F(FileTest, InjectedWriteFailures) {
  fx::File a;
  fx::File b;
  ASSERT_TRUE(a.OpenForAppend(m_path));
  ASSERT_TRUE(b.OpenForAppend(m_folder + "/b.txt"));
  fx::seams::FailFileWritesAfter(2);
  EXPECT_TRUE(a.Write("1"));
  EXPECT_TRUE(b.Write("2"));  // the count is shared by every file
  EXPECT_FALSE(a.Write("3"));
  EXPECT_FALSE(b.Write("4"));
  EXPECT_EQ(Read(m_path), "1");
  fx::seams::FailFileWritesAfter(0);
  EXPECT_FALSE(a.Write("5"));
  fx::seams::FailFileWritesAfter(std::nullopt);
  EXPECT_TRUE(a.Write("6"));
  EXPECT_EQ(Read(m_path), "16");
}

TEST_F(FileTest, AWriteThatFailsPartWayIsTakenBack) {
  fx::File file;
  ASSERT_TRUE(file.OpenForAppend(m_path));
  ASSERT_TRUE(file.Write("whole line\r\n"));
  // A disk that fills up after 5 bytes of the next line.
  fx::seams::FailFileWritesAfter(0, 5);
  EXPECT_FALSE(file.Write("torn line\r\n"));
  EXPECT_EQ(Read(m_path), "whole line\r\n");
  fx::seams::FailFileWritesAfter(std::nullopt);
  EXPECT_TRUE(file.Write("next line\r\n"));
  EXPECT_EQ(Read(m_path), "whole line\r\nnext line\r\n");
}

TEST_F(FileTest, NativePathsAreUtf8) {
  const std::string cp932Name = "EventLog[01月03日09時05分07秒].txt";
  const std::string utf8Name = Utf8(u8"EventLog[01月03日09時05分07秒].txt");
  EXPECT_NE(cp932Name, utf8Name);
  EXPECT_EQ(fx::NativePath(cp932Name), utf8Name);
  EXPECT_EQ(fx::NativePath("/tmp/plain.txt"), "/tmp/plain.txt");
  EXPECT_EQ(fx::NativePath("/tmp/表"), Utf8(u8"/tmp/表"));  // trail byte 0x5C is not a backslash

  fx::File file;
  ASSERT_TRUE(file.OpenForAppend(m_folder + "/" + cp932Name));
  EXPECT_TRUE(file.Write("ログ\r\n"));  // the content stays Shift-JIS
  file.Close();
  EXPECT_EQ(Read(m_folder + "/" + utf8Name), "ログ\r\n");
}

}  // namespace
