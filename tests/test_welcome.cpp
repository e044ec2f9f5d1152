#include <gtest/gtest.h>

#include <string>

#include "handlers/Welcome.h"

namespace pellix {
namespace {

JoinUserInfo User(const char* name) { return JoinUserInfo{name, 0x0100007F, 6699, 7, 42}; }

TEST(Welcome, DefaultTemplateGreetsTheBaseName) {
  EXPECT_EQ(ExpandWelcome("%NAME% さん、こんにちは！", User("太郎123456789")), "太郎 さん、こんにちは！");
}

TEST(Welcome, EveryPlaceholder) {
  EXPECT_EQ(ExpandWelcome("%NODE% %IP% %PORT% %RAWNAME% %NAME% %FILES% %LINE%", User("太郎123456789")),
            "0100007F1A2B 127.0.0.1 6699 太郎123456789 太郎 42 Cable");
}

TEST(Welcome, ShortNamesAreUsedWhole) {
  EXPECT_EQ(ExpandWelcome("[%NAME%]", User("123456789")), "[123456789]");
  EXPECT_EQ(ExpandWelcome("[%NAME%]", User("ab")), "[ab]");
  EXPECT_EQ(ExpandWelcome("[%NAME%]", User(nullptr)), "[]");
}

TEST(Welcome, OnlyTheFirstOccurrenceIgnoringCase) {
  EXPECT_EQ(ExpandWelcome("%NAME% %NAME%", User("ab")), "ab %NAME%");
  EXPECT_EQ(ExpandWelcome("%name% %NAME%", User("ab")), "ab %NAME%");
  EXPECT_EQ(ExpandWelcome("%Line%/%LINE%", User("ab")), "Cable/%LINE%");
}

TEST(Welcome, LaterPlaceholdersAreSearchedInEarlierValues) {
  // %RAWNAME% comes before %FILES%, so the placeholder that the name brings in is filled.
  EXPECT_EQ(ExpandWelcome("%RAWNAME% %FILES%", User("%files%")), "42 %FILES%");
  // A placeholder already passed is not searched again in later values.
  EXPECT_EQ(ExpandWelcome("%NAME%", User("%NODE%")), "%NODE%");
  EXPECT_EQ(ExpandWelcome("%LINE%%NODE%", User("ab")), "Cable0100007F1A2B");
}

TEST(Welcome, EmptyOrPlainTemplatesPassThrough) {
  EXPECT_EQ(ExpandWelcome("", User("ab")), "");
  EXPECT_EQ(ExpandWelcome("100% です", User("ab")), "100% です");
}

TEST(Welcome, HugeNamesAndExpansionsStayWithinTheLimits) {
  const std::string longName = std::string(10000, 'n') + "123456789";
  const std::string once = ExpandWelcome("[%NAME%]", User(longName.c_str()));
  EXPECT_EQ(once, "[" + std::string(511, 'n') + "]");

  const std::string all = ExpandWelcome("%RAWNAME%%NAME%%LINE%", User(longName.c_str()));
  EXPECT_EQ(all, std::string(1023, 'n'));

  // A template of 10,000 bytes is cut first; a placeholder beyond the cut is gone.
  const std::string longTemplate = std::string(10000, 't') + "%NAME%";
  EXPECT_EQ(ExpandWelcome(longTemplate, User("ab")), std::string(1023, 't'));
}

TEST(Welcome, CutsNeverSplitACharacter) {
  // 1016 + 8 bytes of name would end at 1024: the last character is dropped whole.
  const std::string text(1016, 't');
  EXPECT_EQ(ExpandWelcome(text + "%NAME%", User("太郎花子")), text + "太郎花");
  EXPECT_EQ(ExpandWelcome(text + "t%NAME%", User("太郎花子")), text + "t太郎花");
  // The shortened name's 511-byte cut falls on a character boundary too.
  std::string evenName = "a";
  for (int i = 0; i < 300; ++i) evenName += "郎";
  evenName += "123456789";
  EXPECT_EQ(ExpandWelcome("%NAME%", User(evenName.c_str())).size(), 511u);
  std::string oddName;
  for (int i = 0; i < 300; ++i) oddName += "郎";
  oddName += "123456789";
  EXPECT_EQ(ExpandWelcome("%NAME%", User(oddName.c_str())).size(), 510u);
}

}  // namespace
}  // namespace pellix
