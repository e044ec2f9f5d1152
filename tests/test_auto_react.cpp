#include <gtest/gtest.h>

#include <string>

#include "handlers/AutoReact.h"
#include "handlers/RuleMatcher.h"

namespace pellix {
namespace {

TEST(RuleMatching, KeywordAnywhereIgnoringCase) {
  EXPECT_TRUE(RuleMatches("Hello World", "world"));
  EXPECT_TRUE(RuleMatches("hello", "HELLO"));
  EXPECT_TRUE(RuleMatches("今日はいい天気", "天気"));
  EXPECT_FALSE(RuleMatches("hello", "help"));
  EXPECT_FALSE(RuleMatches("", "a"));
}

TEST(RuleMatching, EmptyKeywordMatchesNothing) {
  EXPECT_FALSE(RuleMatches("anything", ""));
  EXPECT_FALSE(RuleMatches("", ""));
}

TEST(RuleMatching, MatchesWholeShiftJisCharactersOnly) {
  // "ャA" is 0x83 0x83 0x41: the bytes of "ア" (0x83 0x41) straddle two characters.
  EXPECT_FALSE(RuleMatches("ャA", "ア"));
  // "ヂ" is 0x83 0x61: folding its trail byte would make it equal "ア" (0x83 0x41).
  EXPECT_FALSE(RuleMatches("ヂ", "ア"));
  EXPECT_FALSE(RuleMatches("ア", "ヂ"));
  // A single-byte keyword does not match a trail byte either: "ソ" ends in '\\'.
  EXPECT_FALSE(RuleMatches("ソ", "\\"));
  EXPECT_TRUE(RuleMatches("ャA", "a"));
}

TEST(RuleMatching, LinesEndingInALoneLeadByte) {
  const std::string lead = std::string("ア").substr(0, 1);
  EXPECT_TRUE(RuleMatches("abc" + lead, "C"));
  EXPECT_TRUE(RuleMatches("abc" + lead, lead));
  EXPECT_FALSE(RuleMatches("abc" + lead, "ア"));
}

// The prepared line of the rule table gives the character-wise search's answers, also where a
// byte-wise search of the folded texts would not.
TEST(RuleMatching, PreparedLineAgreesWithTheSearch) {
  const std::string lead = std::string("ア").substr(0, 1);
  const std::string lines[] = {"Hello World", "今日はいい天気", "ャA", "ヂ", "ア", "ソ", "abc" + lead, "", "ＡaＡ ソ\\x"};
  const std::string keywords[] = {"world", "HELLO", "天気", "ア", "ヂ", "\\", "a", "C", lead, "", "ア" + lead, "x"};
  for (const std::string& line : lines) {
    const RuleMatcher matcher(line);
    for (const std::string& keyword : keywords) {
      EXPECT_EQ(matcher.Matches(keyword), RuleMatches(line, keyword)) << line << " / " << keyword;
    }
  }
  EXPECT_TRUE(RuleMatcher(std::string(3000, 'b') + "Q").Matches(std::string(1500, 'B') + "q"));  // past the buffer
}

TEST(Responses, FirstNamePlaceholderGetsTheFullName) {
  EXPECT_EQ(ExpandResponse("%NAME% さん、どうも", "太郎123456789"), "太郎123456789 さん、どうも");
  EXPECT_EQ(ExpandResponse("%name% and %NAME%", "ab"), "ab and %NAME%");
  EXPECT_EQ(ExpandResponse("no placeholder", "ab"), "no placeholder");
  EXPECT_EQ(ExpandResponse("", "ab"), "");
  EXPECT_EQ(ExpandResponse("[%NAME%]", ""), "[]");
}

TEST(Responses, NeverLongerThan1023Bytes) {
  const std::string longName(10000, 'n');
  EXPECT_EQ(ExpandResponse("%NAME%!", longName), std::string(1023, 'n'));
  EXPECT_EQ(ExpandResponse(std::string(10000, 'r'), "ab"), std::string(1023, 'r'));
  // A two-byte character that would end at byte 1024 is dropped whole.
  std::string name(1020, 'n');
  name += "太郎";
  EXPECT_EQ(ExpandResponse("x%NAME%", name), "x" + std::string(1020, 'n') + "太");
  EXPECT_EQ(ExpandResponse("xx%NAME%", name), "xx" + std::string(1020, 'n'));
}

}  // namespace
}  // namespace pellix
