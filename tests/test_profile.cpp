// Contract of the profile (INI) functions. Only observable behaviour is tested, so the same
// cases can run against the system's own functions on Windows.
#include "fx/Profile.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fx/posix/ProfileCache.h"
#endif

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    m_folder = (std::filesystem::temp_directory_path() / ("pellix-profile-" + std::to_string(::rand()))).string();
    std::filesystem::create_directories(m_folder);
#else
    char pattern[] = "/tmp/pellix-profile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_folder = pattern;
#endif
    m_file = m_folder + "/test.ini";
    fx::ProfileForgetCache();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_folder, ignored);
  }

  void WriteFile(const std::string& bytes) {
    std::ofstream out(m_file, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string ReadFile() const {
    std::ifstream in(m_file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Get(std::string_view section, std::string_view key, std::string_view def = "<none>",
                  std::size_t size = 256) const {
    return fx::ProfileGetString(section, key, def, size, m_file);
  }
  bool Put(std::string_view section, std::string_view key, std::string_view value) const {
    return fx::ProfileWriteString(section, key, value, m_file);
  }

  std::string m_folder;
  std::string m_file;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Get("S", "K", "dflt"), "dflt");
  EXPECT_EQ(fx::ProfileGetInt("S", "K", 7, m_file), 7);
  WriteFile("[S]\r\nK=v\r\n");
  EXPECT_EQ(Get("T", "K", "dflt"), "dflt");
  EXPECT_EQ(Get("S", "L", "dflt"), "dflt");
  EXPECT_EQ(fx::ProfileGetInt("S", "L", -3, m_file), -3);
  EXPECT_EQ(Get("S", "K", "dflt"), "v");
}

TEST_F(ProfileTest, NamesMatchIgnoringCaseAndTheFirstMatchWins) {
  WriteFile("[LogSwitch]\r\nHtml=1\r\nHTML=2\r\n[logswitch]\r\nhtml=3\r\nOther=4\r\n");
  EXPECT_EQ(Get("LOGSWITCH", "html"), "1");
  EXPECT_EQ(fx::ProfileGetInt("logSwitch", "HTML", 9, m_file), 1);
  // Keys of a repeated section are not reached: the first section is the one that counts.
  EXPECT_EQ(Get("LogSwitch", "Other"), "<none>");
}

TEST_F(ProfileTest, CaseFoldingLeavesDoubleByteNamesExact) {
  WriteFile("[設定]\r\nア=katakana\r\n");
  EXPECT_EQ(Get("設定", "ア"), "katakana");
  EXPECT_EQ(Get("設定", "\x83\x61"), "<none>");  // lead byte of ア followed by 'a'
}

TEST_F(ProfileTest, NamesAndValuesAreTrimmed) {
  WriteFile("  [ Sec ]  \r\n \t Key \t=  two words \t\r\nEmpty=\r\nQuoted=\" padded \"\r\nSingle='x'\r\n");
  EXPECT_EQ(Get("Sec", "Key"), "two words");
  EXPECT_EQ(Get("Sec", " Key "), "two words");
  EXPECT_EQ(Get("Sec", "Empty", "dflt"), "");
  EXPECT_EQ(Get("Sec", "Quoted"), " padded ");
  EXPECT_EQ(Get("Sec", "Single"), "x");
}

TEST_F(ProfileTest, AValueEndsAtItsFirstNul) {
  using namespace std::string_literals;
  WriteFile("[S]\r\nDir=/logs\0x\r\nPadded=a \0 b\r\nQuoted=\" q \"\0tail\r\nN=12\0003\r\n"s);
  EXPECT_EQ(Get("S", "Dir"), "/logs");
  EXPECT_EQ(Get("S", "Padded"), "a ");  // trimmed as a whole, then ended at the NUL
  EXPECT_EQ(Get("S", "Quoted"), " q ");
  EXPECT_EQ(fx::ProfileGetInt("S", "N", -1, m_file), 12);
}

TEST_F(ProfileTest, ReadsAreCutToTheBufferAtACharacterBoundary) {
  WriteFile("[S]\r\nK=abcアイ\r\n");
  EXPECT_EQ(Get("S", "K", "", 256), "abcアイ");
  EXPECT_EQ(Get("S", "K", "", 8), "abcアイ");
  EXPECT_EQ(Get("S", "K", "", 7), "abcア");
  EXPECT_EQ(Get("S", "K", "", 5), "abc");  // four bytes would split ア
  EXPECT_EQ(Get("S", "K", "", 1), "");
  EXPECT_EQ(Get("S", "K", "", 0), "");
  EXPECT_EQ(Get("S", "missing", "表示です", 5), "表示");
}

TEST_F(ProfileTest, IntegersTakeTheLeadingDigitsIn32Bits) {
  WriteFile("[N]\r\na=42\r\nb=-7\r\nc=+5\r\nd= 12abc\r\ne=abc\r\nf=99999999999\r\ng=-99999999999\r\nh=\r\n"
            "i=2147483647\r\nj=-2147483648\r\nk=-\r\nl=2147483903\r\nm=4294967296\r\nn=4294967297\r\n");
  const auto get = [&](const char* key) { return fx::ProfileGetInt("N", key, 1234, m_file); };
  EXPECT_EQ(get("a"), 42);
  EXPECT_EQ(get("b"), -7);
  EXPECT_EQ(get("c"), 5);
  EXPECT_EQ(get("d"), 12);
  EXPECT_EQ(get("e"), 0);
  // Modulo 2^32, as the Windows functions read them: 99999999999 is 0x174876E7FF.
  EXPECT_EQ(get("f"), 1215752191);
  EXPECT_EQ(get("g"), -1215752191);
  EXPECT_EQ(get("h"), 1234);  // present but empty reads as missing
  EXPECT_EQ(get("i"), INT_MAX);
  EXPECT_EQ(get("j"), INT_MIN);
  EXPECT_EQ(get("k"), 0);
  EXPECT_EQ(static_cast<unsigned>(get("l")), 0x800000FFu);
  EXPECT_EQ(get("m"), 0);
  EXPECT_EQ(get("n"), 1);
}

TEST_F(ProfileTest, WritingCreatesTheFileWithCrLf) {
  ASSERT_TRUE(Put("React", "ReactNum", "3"));
  EXPECT_EQ(ReadFile(), "[React]\r\nReactNum=3\r\n");
  ASSERT_TRUE(Put("KeyWord", "Word[0]", "こんにちは"));
  EXPECT_EQ(ReadFile(), "[React]\r\nReactNum=3\r\n[KeyWord]\r\nWord[0]=こんにちは\r\n");
  EXPECT_EQ(Get("keyword", "word[0]"), "こんにちは");
}

TEST_F(ProfileTest, ReplacingAValueKeepsEveryOtherByte) {
#ifdef _WIN32
  GTEST_SKIP() << "wine's profile functions rewrite the whole file from their own parse (blank lines and odd line ends go); Windows edits the lines in place";
#endif
  const std::string before =
      "; settings\r\n[A]\r\nx=1\r\n\r\n; about B\n[B]\ny = old value\nz=3\n\n[C]\r\nw=ア\\\r\n";
  WriteFile(before);
  ASSERT_TRUE(Put("b", "Y", "new"));
  EXPECT_EQ(ReadFile(), "; settings\r\n[A]\r\nx=1\r\n\r\n; about B\n[B]\ny=new\r\nz=3\n\n[C]\r\nw=ア\\\r\n");
  EXPECT_EQ(Get("B", "y"), "new");
  EXPECT_EQ(Get("C", "w"), "ア\\");
}

TEST_F(ProfileTest, RewritingAKeyUnderAnotherSpellingLeavesOneEntry) {
  WriteFile("[LogSwitch]\r\nHtml=1\r\nTimeStump=1\r\n");
  ASSERT_TRUE(Put("LogSwitch", "HTML", "0"));
  EXPECT_EQ(Get("LogSwitch", "Html"), "0");
  const std::string content = ReadFile();
  EXPECT_EQ(content.find("=1\r\nTimeStump"), std::string::npos);
  EXPECT_NE(content.find("TimeStump=1\r\n"), std::string::npos);
  EXPECT_EQ(content.size(), std::string("[LogSwitch]\r\nHtml=0\r\nTimeStump=1\r\n").size());
}

TEST_F(ProfileTest, NewKeysGoAfterTheLastKeyOfTheirSection) {
#ifdef _WIN32
  GTEST_SKIP() << "wine's profile functions rewrite the whole file from their own parse (blank lines and odd line ends go); Windows edits the lines in place";
#endif
  WriteFile("[A]\r\nx=1\r\n; trailing note\r\n\r\n\r\n[B]\r\ny=2\r\n");
  ASSERT_TRUE(Put("A", "new", "v"));
  EXPECT_EQ(ReadFile(), "[A]\r\nx=1\r\nnew=v\r\n; trailing note\r\n\r\n\r\n[B]\r\ny=2\r\n");

  WriteFile("[Empty]\r\n\r\n[B]\r\n");
  ASSERT_TRUE(Put("empty", "k", "v"));
  EXPECT_EQ(ReadFile(), "[Empty]\r\nk=v\r\n\r\n[B]\r\n");
}

TEST_F(ProfileTest, NewKeysGoToTheFirstOfRepeatedSections) {
  WriteFile("[A]\r\nx=1\r\n[A]\r\ny=2\r\n");
  ASSERT_TRUE(Put("A", "y", "3"));
  EXPECT_EQ(ReadFile(), "[A]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n");
  EXPECT_EQ(Get("A", "y"), "3");
}

TEST_F(ProfileTest, ABracketWithoutItsCloseStartsNoSection) {
  WriteFile("[LogSwitch]\r\n[ note\r\nRCMSLog=1\r\n");
  EXPECT_EQ(fx::ProfileGetInt("LogSwitch", "RCMSLog", 0, m_file), 1);
  EXPECT_EQ(fx::ProfileGetInt(" note", "RCMSLog", 0, m_file), 0);
  ASSERT_TRUE(Put("LogSwitch", "RCMSLog", "0"));
  EXPECT_EQ(fx::ProfileGetInt("LogSwitch", "RCMSLog", 1, m_file), 0);
  EXPECT_EQ(ReadFile().find("[LogSwitch]", 1), std::string::npos);  // written in place, no second section
}

TEST_F(ProfileTest, NewSectionsGoAtTheEndEvenWithoutAFinalNewline) {
  WriteFile("[A]\r\nx=1");
  ASSERT_TRUE(Put("B", "y", "2"));
  EXPECT_EQ(ReadFile(), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  WriteFile("[A]\r\nx=1");
  ASSERT_TRUE(Put("A", "z", "3"));
  EXPECT_EQ(ReadFile(), "[A]\r\nx=1\r\nz=3\r\n");
}

TEST_F(ProfileTest, ShiftJisBytesAreKeptAsTheyAre) {
  // 表 and ソ end in 0x5C, the byte of a backslash.
  ASSERT_TRUE(Put("名前", "表示ソ", "C:\\ログ\\表"));
  EXPECT_EQ(ReadFile(), "[名前]\r\n表示ソ=C:\\ログ\\表\r\n");
  fx::ProfileForgetCache();
  EXPECT_EQ(Get("名前", "表示ソ"), "C:\\ログ\\表");
}

TEST_F(ProfileTest, ValuesCannotBreakIntoNewLines) {
  ASSERT_TRUE(Put("S", "K", "first\r\n[Injected]\r\nX=1"));
  EXPECT_EQ(ReadFile(), "[S]\r\nK=first\r\n");
  EXPECT_EQ(Get("Injected", "X"), "<none>");
}

TEST_F(ProfileTest, UnusableNamesAreRefusedWithoutTouchingTheFile) {
  WriteFile("[S]\r\nK=1\r\n");
  EXPECT_FALSE(Put("S", "", "v"));
  EXPECT_FALSE(Put("S", "a=b", "v"));
  EXPECT_FALSE(Put("S", "a\nb", "v"));
  EXPECT_FALSE(Put("a]b", "K", "v"));
  EXPECT_FALSE(Put("a\r\nb", "K", "v"));
  // A lone lead byte at the end would take the ']' or '=' written after it as its trail byte.
  EXPECT_FALSE(Put("S\x83", "K", "v"));
  EXPECT_FALSE(Put("S", "K\x83", "v"));
  EXPECT_EQ(ReadFile(), "[S]\r\nK=1\r\n");
}

TEST_F(ProfileTest, UnwritableTargetsReturnFalse) {
  EXPECT_FALSE(fx::ProfileWriteString("S", "K", "v", m_folder));  // a folder
  EXPECT_FALSE(fx::ProfileWriteString("S", "K", "v", m_folder + "/missing/test.ini"));
  EXPECT_EQ(fx::ProfileGetString("S", "K", "d", 256, m_folder), "d");
}

TEST_F(ProfileTest, AFailedWriteLeavesTheFileAsItWas) {
#ifndef _WIN32
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  WriteFile("[S]\r\nK=1\r\n");
  std::filesystem::permissions(m_folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(Put("S", "K", "2"));
  EXPECT_EQ(Get("S", "K"), "1");
  std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
  EXPECT_EQ(ReadFile(), "[S]\r\nK=1\r\n");
#endif
}

TEST_F(ProfileTest, ChangesOnDiskAreSeen) {
  WriteFile("[S]\r\nK=1\r\n");
  EXPECT_EQ(Get("S", "K"), "1");
  WriteFile("[S]\r\nK=22\r\n");
  EXPECT_EQ(Get("S", "K"), "22");

  // Same size: only the modification time tells.
  const auto stamp = std::filesystem::last_write_time(m_file);
  WriteFile("[S]\r\nK=33\r\n");
  std::filesystem::last_write_time(m_file, stamp + std::chrono::seconds(5));
  EXPECT_EQ(Get("S", "K"), "33");

  // A write merges into the file as it is now, not as it was first read.
  WriteFile("[S]\r\nK=33\r\nAdded=x\r\n");
  ASSERT_TRUE(Put("S", "New", "y"));
  EXPECT_EQ(ReadFile(), "[S]\r\nK=33\r\nAdded=x\r\nNew=y\r\n");

  std::filesystem::remove(m_file);
  EXPECT_EQ(Get("S", "K", "gone"), "gone");
}

TEST_F(ProfileTest, ManyWritesAndReadsRoundTrip) {
  ASSERT_TRUE(Put("React", "ReactNum", "99"));
  for (int i = 0; i < 99; ++i) {
    const std::string index = std::to_string(i);
    ASSERT_TRUE(Put("KeyWord", "Word[" + index + "]", "word" + index));
    ASSERT_TRUE(Put("ResMsg", "Msg[" + index + "]", "応答" + index));
  }
  fx::ProfileForgetCache();
  EXPECT_EQ(fx::ProfileGetInt("React", "ReactNum", 0, m_file), 99);
  for (int i = 0; i < 99; ++i) {
    const std::string index = std::to_string(i);
    EXPECT_EQ(Get("KeyWord", "Word[" + index + "]"), "word" + index);
    EXPECT_EQ(Get("ResMsg", "Msg[" + index + "]"), "応答" + index);
  }
  const std::string content = ReadFile();
  EXPECT_LT(content.find("Word[98]=word98\r\n"), content.find("[ResMsg]"));
}

TEST_F(ProfileTest, GarbageNeverBreaksReadsOrWrites) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's profile parser reads NULs, lone CRs and repeated sections its own way; this pins our parser";
#endif
  std::string garbage("\0\x01\xFF\x83=\r[S]\rK=cr only\r\x81", 21);
  garbage += "\n[T]\nno equals sign\n=no key\n[unclosed\nlong=" + std::string(10000, 'x') + "\n";
  garbage += std::string("nul=a\0b", 7) + "\n\x82\n[S]\nK=second\n[T]\nlast=1";
  WriteFile(garbage);
  EXPECT_EQ(Get("S", "K"), "cr only");
  // "[unclosed" starts no section: what follows it is still in [T].
  EXPECT_TRUE(Get("T", "long", "", 20000) == std::string(10000, 'x'));
  EXPECT_TRUE(Get("T", "long", "", 11) == std::string(10, 'x'));
  EXPECT_EQ(Get("unclosed", "long"), "<none>");
  EXPECT_EQ(Get("T", "no equals sign"), "<none>");
  EXPECT_EQ(Get("T", "nul"), "a");
  EXPECT_EQ(Get("T", "last"), "<none>");  // in a repeated section

  ASSERT_TRUE(Put("S", "K", "replaced"));
  ASSERT_TRUE(Put("unclosed", "added", "1"));
  ASSERT_TRUE(Put("U", "k", "v"));
  EXPECT_EQ(Get("S", "K"), "replaced");
  EXPECT_EQ(Get("unclosed", "added"), "1");
  EXPECT_EQ(Get("U", "k"), "v");
  const std::string after = ReadFile();
  EXPECT_EQ(after.substr(0, 9), garbage.substr(0, 9));
  EXPECT_NE(after.find("no equals sign\n=no key\n"), std::string::npos);
  EXPECT_TRUE(after.ends_with("last=1\r\n[unclosed]\r\nadded=1\r\n[U]\r\nk=v\r\n"));
}

#ifndef _WIN32
TEST_F(ProfileTest, JapaneseFileNamesAreUtf8OnDisk) {
  const std::string cp932Name = m_folder + "/設定.ini";
  ASSERT_TRUE(fx::ProfileWriteString("S", "K", "v", cp932Name));
  const std::u8string utf8 = u8"/設定.ini";
  EXPECT_TRUE(std::filesystem::exists(m_folder + std::string(utf8.begin(), utf8.end())));
  EXPECT_EQ(fx::ProfileGetString("S", "K", "", 256, cp932Name), "v");
}

TEST_F(ProfileTest, AParsedFileIsReusedUntilItChanges) {
  std::string content = "[KeyWord]\r\n";
  for (int i = 0; i < 200; ++i) content += "Word[" + std::to_string(i) + "]=w\r\n";
  WriteFile(content);
  const std::size_t loadsBefore = fx::seams::ProfileFileLoads();
  for (int i = 0; i < 200; ++i) EXPECT_EQ(Get("KeyWord", "Word[" + std::to_string(i) + "]"), "w");
  EXPECT_EQ(fx::seams::ProfileFileLoads(), loadsBefore + 1);
  ASSERT_TRUE(Put("KeyWord", "Word[0]", "changed"));
  EXPECT_EQ(Get("KeyWord", "Word[0]"), "changed");
  EXPECT_EQ(fx::seams::ProfileFileLoads(), loadsBefore + 1);  // our own write needs no re-read
}

// Writes change the kept parse in place; after any mix of them, the parse, the file and a fresh
// read of the file agree.
TEST_F(ProfileTest, WritesKeepTheParseInStepWithTheFile) {
  WriteFile("[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\ny=2");
  EXPECT_EQ(Get("A", "x"), "1");
  const std::size_t loads = fx::seams::ProfileFileLoads();
  ASSERT_TRUE(Put("A", "a1", "1"));
  ASSERT_TRUE(Put("B", "b1", "2"));
  ASSERT_TRUE(Put("C", "c", "3"));
  ASSERT_TRUE(Put("A", "a2", "4"));
  ASSERT_TRUE(Put("a", "X", "5"));
  ASSERT_TRUE(Put("C", "c", "33"));
  ASSERT_TRUE(Put("c", "C2", "6"));
  ASSERT_TRUE(Put("A", "A2", "7"));
  EXPECT_EQ(fx::seams::ProfileFileLoads(), loads);
  EXPECT_EQ(ReadFile(), "[A]\r\nx=5\r\na1=1\r\na2=7\r\n; note\r\n\r\n[B]\r\ny=2\r\nb1=2\r\n[C]\r\nc=33\r\nC2=6\r\n");
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"A", "x"}, {"A", "a1"}, {"A", "a2"}, {"B", "y"}, {"B", "b1"}, {"C", "c"}, {"C", "c2"}};
  std::vector<std::string> cached, fresh;
  for (const auto& [section, key] : keys) cached.push_back(Get(section, key));
  fx::ProfileForgetCache();
  for (const auto& [section, key] : keys) fresh.push_back(Get(section, key));
  EXPECT_EQ(cached, fresh);
  EXPECT_EQ(cached, (std::vector<std::string>{"5", "1", "7", "2", "2", "33", "6"}));
}

// Saving settings that did not change costs no write: the file is the very same file after.
TEST_F(ProfileTest, AWriteThatChangesNothingLeavesTheFileAlone) {
  WriteFile("[S]\r\nK=1\r\n");
  struct stat before {};
  ASSERT_EQ(::stat(m_file.c_str(), &before), 0);
  EXPECT_TRUE(Put("S", "K", "1"));
  EXPECT_TRUE(Put("s", "k", "1"));
  struct stat after {};
  ASSERT_EQ(::stat(m_file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(ReadFile(), "[S]\r\nK=1\r\n");
}

// A write that cannot reach the disk (here no file can be opened, which binds root as well)
// must not leave its change in the kept parse: reads go on giving what the file holds.
TEST_F(ProfileTest, AFailedWriteLeavesNoTraceInLaterReads) {
  WriteFile("[S]\r\nK=1\r\n");
  EXPECT_EQ(Get("S", "K"), "1");
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  rlimit none = limit;
  none.rlim_cur = 0;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
  const bool replaced = Put("S", "K", "2");
  const bool added = Put("S", "New", "3");
  const bool sectionAdded = Put("T", "K", "4");
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
  EXPECT_FALSE(replaced);
  EXPECT_FALSE(added);
  EXPECT_FALSE(sectionAdded);
  EXPECT_EQ(Get("S", "K"), "1");
  EXPECT_EQ(Get("S", "New"), "<none>");
  EXPECT_EQ(Get("T", "K"), "<none>");
  EXPECT_EQ(ReadFile(), "[S]\r\nK=1\r\n");
  ASSERT_TRUE(Put("S", "New", "3"));
  EXPECT_EQ(ReadFile(), "[S]\r\nK=1\r\nNew=3\r\n");
}
#endif

}  // namespace
