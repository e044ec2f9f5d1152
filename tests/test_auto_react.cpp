#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

std::vector<char> MatchAll(RuleMatcher& matcher, std::string_view line) {
  std::vector<char> matched;
  matcher.Match(line, matched);
  return matched;
}

// The whole table in one pass gives the character-wise search's answers, rule by rule, also
// where a byte-wise search of the folded texts would not.
TEST(RuleMatching, OnePassOverTheTableAgreesWithTheSearch) {
  const std::string lead = std::string("ア").substr(0, 1);
  const std::string lines[] = {"Hello World", "今日はいい天気", "ャA", "ヂ", "ア", "ソ", "abc" + lead, "", "ＡaＡ ソ\\x"};
  const std::vector<std::string> keywords = {"world", "HELLO", "天気", "ア", "ヂ", "\\", "a", "C", lead, "", "ア" + lead, "x"};
  RuleMatcher matcher(keywords);
  ASSERT_EQ(matcher.RuleCount(), keywords.size());
  for (const std::string& line : lines) {
    const std::vector<char> matched = MatchAll(matcher, line);
    ASSERT_EQ(matched.size(), keywords.size());
    for (std::size_t i = 0; i < keywords.size(); ++i) {
      EXPECT_EQ(matched[i] != 0, RuleMatches(line, keywords[i])) << line << " / " << keywords[i];
    }
  }
  RuleMatcher longKeyword({std::string(1500, 'B') + "q"});
  EXPECT_EQ(MatchAll(longKeyword, std::string(3000, 'b') + "Q"), std::vector<char>{1});
}

// Keywords that overlap, nest, repeat or start inside one another: each found through the
// automaton's fall-back links, and never only by a part that straddles a character.
TEST(RuleMatching, OverlappingAndRepeatedKeywordsEachAnswer) {
  const std::vector<std::string> keywords = {"he", "she", "his", "hers", "HE", "ers", "s", "xyz", "she"};
  RuleMatcher matcher(keywords);
  EXPECT_EQ(MatchAll(matcher, "ushers"), (std::vector<char>{1, 1, 0, 1, 1, 1, 1, 0, 1}));
  EXPECT_EQ(MatchAll(matcher, "this"), (std::vector<char>{0, 0, 1, 0, 0, 0, 1, 0, 0}));
  RuleMatcher twoFallBacks({"abcx", "bcy", "cz"});  // from "abc" to "bc" to "c"
  EXPECT_EQ(MatchAll(twoFallBacks, "abcz"), (std::vector<char>{0, 0, 1}));
  EXPECT_EQ(MatchAll(matcher, ""), (std::vector<char>(9, 0)));
  // "ヂ" is 0x83 0x61: its trail byte is "a", and a keyword "aア" found from that byte on would
  // start inside the character.
  RuleMatcher straddling({"Aア", "ヂア", "ア"});
  EXPECT_EQ(MatchAll(straddling, "ヂア"), (std::vector<char>{0, 1, 1}));
  EXPECT_EQ(MatchAll(straddling, "xaア"), (std::vector<char>{1, 0, 1}));
  // A longer line first, then a shorter one: nothing of the first is taken for the second.
  RuleMatcher reused({"ab"});
  EXPECT_EQ(MatchAll(reused, "xxxxab"), std::vector<char>{1});
  EXPECT_EQ(MatchAll(reused, "a"), std::vector<char>{0});
  EXPECT_EQ(MatchAll(reused, "ヂb"), std::vector<char>{0}) << "a is the trail byte of ヂ";
}

// A table too large for a move per node and byte (99 keywords of 1023 bytes, 65 distinct bytes)
// follows the automaton's links instead, with the same answers.
TEST(RuleMatching, ALargeTableAnswersTheSame) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz0123456789!#$%&()*+,-./:;<=>?@[]^_`{|}~";
  std::vector<std::string> keywords;
  std::string line;
  for (std::size_t rule = 0; rule < 99; ++rule) {
    std::string keyword;
    for (std::size_t i = 0; keyword.size() < 1023; ++i) keyword += alphabet[(i * 7 + rule) % alphabet.size()];
    keywords.push_back(keyword);
    if (rule % 3 == 0) line += keyword.substr(0, 200) + " " + keyword + " ";
  }
  // Found only by falling back twice: from "abc" to "bc" to "c".
  keywords[1] = "abcx", keywords[2] = "bcy", keywords[4] = "cz";
  line += "abcz";
  RuleMatcher matcher(keywords);
  const std::vector<char> matched = MatchAll(matcher, line);
  for (std::size_t i = 0; i < keywords.size(); ++i) EXPECT_EQ(matched[i] != 0, RuleMatches(line, keywords[i])) << i;
  EXPECT_GE(std::count(matched.begin(), matched.end(), 1), 34);
  EXPECT_TRUE(matched[4]);
}

TEST(RuleMatching, AnEmptyTableOrEmptyKeywordsMatchNothing) {
  RuleMatcher none;
  EXPECT_EQ(none.RuleCount(), 0u);
  EXPECT_TRUE(MatchAll(none, "anything").empty());
  RuleMatcher empties({"", "", "a", ""});
  EXPECT_EQ(MatchAll(empties, "a"), (std::vector<char>{0, 0, 1, 0}));
  RuleMatcher onlyEmpty({""});
  EXPECT_EQ(MatchAll(onlyEmpty, ""), std::vector<char>{0});
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
