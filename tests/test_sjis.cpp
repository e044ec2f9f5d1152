#include "fx/Sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace sjis = fx::sjis;
using std::string_view;
constexpr auto npos = string_view::npos;

// "ャ" is 0x83 0x83 and "ア" is 0x83 0x41: the second byte of ャ followed by 'A' spells ア.
TEST(SjisSteppingTest, LeadBytesAndCharacterLengths) {
  EXPECT_TRUE(sjis::IsLeadByte(0x81));
  EXPECT_TRUE(sjis::IsLeadByte(0x9F));
  EXPECT_TRUE(sjis::IsLeadByte(0xE0));
  EXPECT_TRUE(sjis::IsLeadByte(0xFC));
  EXPECT_FALSE(sjis::IsLeadByte(0x80));
  EXPECT_FALSE(sjis::IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(sjis::IsLeadByte(0xDF));
  EXPECT_FALSE(sjis::IsLeadByte(0xFD));
  EXPECT_FALSE(sjis::IsLeadByte('A'));

  const string_view text = "aア";
  EXPECT_EQ(sjis::CharLength(text, 0), 1u);
  EXPECT_EQ(sjis::CharLength(text, 1), 2u);
  EXPECT_EQ(sjis::CharLength("a\x83", 1), 1u);  // lone lead byte at the end
  EXPECT_EQ(sjis::CharLength("a", 5), 1u);
  EXPECT_TRUE(sjis::IsCharBoundary(text, 1));
  EXPECT_FALSE(sjis::IsCharBoundary(text, 2));
  EXPECT_TRUE(sjis::IsCharBoundary(text, 3));
}

TEST(SjisCutTest, NeverSplitsADoubleByteCharacter) {
  const string_view text = "ab表示";  // 2 + 2 + 2 bytes; 表 is 0x95 0x5C
  EXPECT_EQ(sjis::CutLength(text, 0), 0u);
  EXPECT_EQ(sjis::CutLength(text, 2), 2u);
  EXPECT_EQ(sjis::CutLength(text, 3), 2u);
  EXPECT_EQ(sjis::CutLength(text, 4), 4u);
  EXPECT_EQ(sjis::CutLength(text, 5), 4u);
  EXPECT_EQ(sjis::CutLength(text, 100), text.size());
  EXPECT_EQ(sjis::Cut(text, 5), "ab表");
  // A lone lead byte at the end is a character of its own.
  EXPECT_EQ(sjis::CutLength("ab\x95", 3), 3u);
  EXPECT_EQ(sjis::Cut("", 4), "");
}

TEST(SjisFindTest, MatchesOnlyWholeCharacters) {
  EXPECT_EQ(sjis::Find("ャA", "ア"), npos);
  EXPECT_EQ(sjis::FindNoCase("ャA", "ア"), npos);
  EXPECT_EQ(sjis::FindNoCase("ャa", "ア"), npos);
  EXPECT_EQ(sjis::Find("ャアア", "ア"), 2u);
  EXPECT_EQ(sjis::FindNoCase("xャア", "ア"), 3u);
  // A trail byte that looks like a letter is not one.
  EXPECT_EQ(sjis::Find("ア", "A"), npos);
  EXPECT_EQ(sjis::FindNoCase("ア", "a"), npos);
  // A needle ending in a lead byte must not match the first half of a character.
  EXPECT_EQ(sjis::Find("ア", "\x83"), npos);
  EXPECT_EQ(sjis::Find("x\x83", "\x83"), 1u);
  EXPECT_FALSE(sjis::Contains("ャA", "ア"));
  EXPECT_TRUE(sjis::Contains("ャア", "ア"));
}

TEST(SjisFindTest, FromIsRoundedUpToACharacterStart) {
  const string_view text = "アAアA";  // characters at 0, 2, 3, 5
  EXPECT_EQ(sjis::Find(text, "A"), 2u);
  EXPECT_EQ(sjis::Find(text, "A", 3), 5u);
  EXPECT_EQ(sjis::Find(text, "ア", 1), 3u);  // 1 is inside ア: the search starts at 2
  EXPECT_EQ(sjis::Find(text, "A", 6), npos);
  EXPECT_EQ(sjis::Find(text, "A", 100), npos);
  EXPECT_EQ(sjis::Find(text, ""), 0u);
  EXPECT_EQ(sjis::Find(text, "", 1), 2u);
  EXPECT_EQ(sjis::Find(text, "", 6), 6u);
  EXPECT_EQ(sjis::Find(text, "", 7), npos);
  EXPECT_EQ(sjis::Find("ab", "abc"), npos);
}

TEST(SjisCaseTest, FoldsOnlySingleByteAsciiLetters) {
  EXPECT_EQ(sjis::FindNoCase("Hello WORLD", "world"), 6u);
  EXPECT_TRUE(sjis::ContainsNoCase("#START now", "#start"));
  EXPECT_TRUE(sjis::EqualsNoCase("AbcアZ", "aBCアz"));
  EXPECT_FALSE(sjis::EqualsNoCase("ア", "\x83\x61"));  // 0x83 'a' differs from ア (0x83 'A')
  EXPECT_FALSE(sjis::EqualsNoCase("abc", "abcd"));
  EXPECT_TRUE(sjis::EqualsNoCase("", ""));
  EXPECT_FALSE(sjis::EqualsNoCase("[", "{"));  // only letters fold
  // Longer texts are first compared eight bytes at a time, then in full.
  EXPECT_TRUE(sjis::EqualsNoCase("HTTP://Example.COM/logs/0001.html", "http://example.com/LOGS/0001.HTML"));
  EXPECT_FALSE(sjis::EqualsNoCase("http://example.com/logs/0001.html", "http://example.com/logs/0002.html"));
  EXPECT_FALSE(sjis::EqualsNoCase("http://example.com/[x]", "http://example.com/{x}"));
  EXPECT_FALSE(sjis::EqualsNoCase("0123456789アイウ", "0123456789ヂイウ"));
  EXPECT_FALSE(sjis::EqualsNoCase("01234567ア", "01234567ヂ"));  // in the bytes after the last eight
  EXPECT_TRUE(sjis::EqualsNoCase("01234567890123456789ＡaＺ", "01234567890123456789ＡAＺ"));
  EXPECT_TRUE(sjis::StartsWithNoCase("WWW.example", "www."));
  EXPECT_FALSE(sjis::StartsWithNoCase("ww", "www"));

  EXPECT_EQ(sjis::ToLower("ABC アZ"), "abc アz");
  EXPECT_EQ(sjis::ToLower("ア"), "ア");  // the trail byte 'A' stays
  EXPECT_EQ(sjis::ToLower("X\x83"), "x\x83");
  EXPECT_EQ(sjis::ToLower("Ｗ"), "Ｗ");  // full-width letters are left alone
}

TEST(SjisSeparatorTest, TrailByteBackslashIsNotASeparator) {
  EXPECT_EQ(sjis::FindLastSeparator("C:\\dir\\表"), 6u);
  EXPECT_EQ(sjis::FindLastSeparator("表"), npos);
  EXPECT_EQ(sjis::FindLastSeparator("/tmp/a\\b"), 6u);
  EXPECT_EQ(sjis::FindLastSeparator("a/b/"), 3u);
  EXPECT_EQ(sjis::FindLastSeparator(""), npos);
}

TEST(SjisConversionTest, Utf8RoundTrip) {
  const std::string utf8 = "\xE8\xA1\xA8\xE7\xA4\xBA \\~ abc";  // "表示 \~ abc"
  const auto cp932 = sjis::FromUtf8(utf8);
  ASSERT_TRUE(cp932.has_value());
  EXPECT_EQ(*cp932, "表示 \\~ abc");
  EXPECT_EQ(sjis::ToUtf8(*cp932), utf8);
  EXPECT_EQ(sjis::FromUtf8(""), std::string());
  EXPECT_EQ(sjis::FromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SjisConversionTest, RefusesWhatCp932CannotHold) {
  EXPECT_FALSE(sjis::FromUtf8("\xF0\x9F\x98\x80").has_value());  // an emoji
  EXPECT_FALSE(sjis::FromUtf8("\xC3\x28").has_value());          // broken UTF-8
  EXPECT_FALSE(sjis::FromUtf8("ab\xE8\xA1").has_value());        // cut in the middle
  // Written as UTF-8 bytes on purpose: characters that would come back as other characters.
  EXPECT_FALSE(sjis::FromUtf8("\xC2\xA5""100").has_value());      // YEN SIGN, not the backslash
  EXPECT_FALSE(sjis::FromUtf8("\xE2\x80\xBE").has_value());       // OVERLINE, not the tilde
}

TEST(SjisConversionTest, InvalidBytesBecomeReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(sjis::ToUtf8("a\x80z"), "a" + fffd + "z");
  EXPECT_EQ(sjis::ToUtf8("a\x83"), "a" + fffd);      // lone lead byte at the end
  EXPECT_EQ(sjis::ToUtf8("\x83\x20z"), fffd + " z");  // lead byte without a trail byte
  EXPECT_EQ(sjis::ToUtf8("\xFD\xFE\xFF"), fffd + fffd + fffd);
}
