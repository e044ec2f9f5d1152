#include <gtest/gtest.h>

#include <string>

#include "records/ChatRecords.h"
#include "records/HtmlEscape.h"

namespace pellix {
namespace {

// The detail and the line text each record gives in either form; a detail and a text line have
// no colour to show.
std::string ChatDetail(ChatRecordForm form, std::string_view name, std::string_view text) {
  return ChatRecord(form, name, text, "#123456").Detail();
}
std::string ChatTextLine(ChatRecordForm form, std::string_view name, std::string_view text) {
  return ChatRecord(form, name, text, "#123456").Line(LineForm::Text).Text();
}
std::string ChatHtmlLine(ChatRecordForm form, std::string_view name, std::string_view text, std::string_view colour) {
  return ChatRecord(form, name, text, colour).Line(LineForm::Html).Text();
}
std::string AdministrativeTextLine(std::string_view text) {
  return AdministrativeRecord(text, "#123456").Line(LineForm::Text).Text();
}
std::string AdministrativeHtmlLine(std::string_view text, std::string_view colour) {
  return AdministrativeRecord(text, colour).Line(LineForm::Html).Text();
}
std::string UrlTextLine(std::string_view url) { return UrlRecord(url).Line(LineForm::Text).Text(); }
std::string UrlHtmlLine(std::string_view url) { return UrlRecord(url).Line(LineForm::Html).Text(); }

TEST(ChatRecordRule, EmptyCheckUserRecordsEveryoneWithTheSpeaker) {
  EXPECT_EQ(ChatRecordFormFor("anyone", "", false), ChatRecordForm::WithSpeaker);
  EXPECT_EQ(ChatRecordFormFor("", "", true), ChatRecordForm::WithSpeaker);
}

TEST(ChatRecordRule, WatchedNameIgnoresCaseAndNameIncludeChoosesTheForm) {
  EXPECT_EQ(ChatRecordFormFor("xxABCxx123456789", "abc", true), ChatRecordForm::WithSpeaker);
  EXPECT_EQ(ChatRecordFormFor("xxABCxx123456789", "abc", false), ChatRecordForm::TextOnly);
  EXPECT_EQ(ChatRecordFormFor("xxABxCx", "abc", true), std::nullopt);
}

TEST(ChatRecordRule, WatchedNameMatchesWholeCharactersOnly) {
  // "ャA" holds the bytes of "ア" across its two characters.
  EXPECT_EQ(ChatRecordFormFor("ャA", "ア", true), std::nullopt);
  EXPECT_EQ(ChatRecordFormFor("太郎さん", "郎", true), ChatRecordForm::WithSpeaker);
}

TEST(ChatRecords, LinesWithTheSpeaker) {
  EXPECT_EQ(ChatDetail(ChatRecordForm::WithSpeaker, "太郎", "やあ"), "<太郎> やあ");
  EXPECT_EQ(ChatTextLine(ChatRecordForm::WithSpeaker, "太郎", "やあ"), "発言 <太郎> やあ\r\n");
  EXPECT_EQ(ChatHtmlLine(ChatRecordForm::WithSpeaker, "太郎", "やあ", "#FF0000"),
            "<font color=\"#FF0000\">発言 &lt;太郎&gt; </font>やあ<br>\r\n");
}

TEST(ChatRecords, LinesWithTheTextOnly) {
  EXPECT_EQ(ChatDetail(ChatRecordForm::TextOnly, "太郎", "やあ"), "やあ");
  EXPECT_EQ(ChatTextLine(ChatRecordForm::TextOnly, "太郎", "やあ"), "発言 やあ\r\n");
  EXPECT_EQ(ChatHtmlLine(ChatRecordForm::TextOnly, "太郎", "やあ", "#FF0000"),
            "<font color=\"#FF0000\">発言 </font>やあ<br>\r\n");
}

TEST(ChatRecords, MarkupFromChatIsEscapedInHtmlLinesOnly) {
  const std::string name = "<b>";
  const std::string text = "1 < 2 & \"<script>alert(1)</script>\"";
  EXPECT_EQ(ChatDetail(ChatRecordForm::WithSpeaker, name, text), "<<b>> " + text);
  EXPECT_EQ(ChatTextLine(ChatRecordForm::TextOnly, name, text), "発言 " + text + "\r\n");
  EXPECT_EQ(ChatHtmlLine(ChatRecordForm::WithSpeaker, name, text, "#FFFFFF"),
            "<font color=\"#FFFFFF\">発言 &lt;&lt;b&gt;&gt; </font>"
            "1 &lt; 2 &amp; &quot;&lt;script&gt;alert(1)&lt;/script&gt;&quot;<br>\r\n");
  EXPECT_EQ(AdministrativeHtmlLine("<i>", "#00FF00"), "<font color=\"#00FF00\">管理 &lt;i&gt;</font><br>\r\n");
  EXPECT_EQ(UrlHtmlLine("http://x/\"><script>"),
            "URL <a href=\"http://x/&quot;&gt;&lt;script&gt;\">http://x/&quot;&gt;&lt;script&gt;</a><br>\r\n");
}

TEST(ChatRecords, PercentSignsAreLiteral) {
  EXPECT_EQ(ChatTextLine(ChatRecordForm::WithSpeaker, "%s", "%n%d"), "発言 <%s> %n%d\r\n");
}

TEST(HtmlEscaping, KeepsShiftJisBytesAndEscapesAllFour) {
  EXPECT_EQ(HtmlEscape("表ソ\\"), "表ソ\\");
  EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
  EXPECT_EQ(HtmlEscape("a\"b'c"), "a&quot;b'c");
}

// Plain runs are passed over eight bytes at a time: an escaped character is found wherever it
// falls in or across those words, alone, in pairs, and at the end.
TEST(HtmlEscaping, FindsEachCharacterAtEveryOffsetOfALongLine) {
  const std::string plain = "ゲスト太郎 says hello http://example.com/";
  for (const char special : {'&', '<', '>', '"'}) {
    const std::string entity = HtmlEscape(std::string(1, special));
    for (std::size_t at = 0; at <= plain.size(); ++at) {
      for (const std::size_t run : {std::size_t{1}, std::size_t{2}}) {
        std::string text = plain, expected = plain;
        text.insert(at, run, special);
        std::string entities;
        for (std::size_t i = 0; i < run; ++i) entities += entity;
        expected.insert(at, entities);
        EXPECT_EQ(HtmlEscape(text), expected) << "at " << at << ", " << run << " of " << special;
      }
    }
  }
}

TEST(AdministrativeMarkers, AnyOfTheThreeInTheName) {
  EXPECT_TRUE(HasAdministrativeMarker("(ﾟзﾟ)＜管理人"));
  EXPECT_TRUE(HasAdministrativeMarker("xx(ﾟ_ﾟ)＜"));
  EXPECT_TRUE(HasAdministrativeMarker("［管理］太郎"));
  EXPECT_FALSE(HasAdministrativeMarker("管理人"));
  EXPECT_FALSE(HasAdministrativeMarker("(ﾟ_ﾟ)<"));
  EXPECT_FALSE(HasAdministrativeMarker(""));
}

TEST(AdministrativeMarkers, MatchWholeCharactersOnly) {
  // A lead byte just before the marker swallows its first byte.
  const std::string lead = std::string("ア").substr(0, 1);
  EXPECT_FALSE(HasAdministrativeMarker(lead + "(ﾟ_ﾟ)＜"));
  EXPECT_TRUE(HasAdministrativeMarker("ア(ﾟ_ﾟ)＜"));
}

TEST(AdministrativeLines, NeedAMarkerAndANonZeroFlag) {
  EXPECT_TRUE(IsAdministrativeLine("管理］", 1));
  EXPECT_TRUE(IsAdministrativeLine("管理］", 0x80000000u));
  EXPECT_FALSE(IsAdministrativeLine("管理］", 0));
  EXPECT_FALSE(IsAdministrativeLine("太郎", 1));
  EXPECT_EQ(AdministrativeTextLine("お知らせ"), "管理 お知らせ\r\n");
  EXPECT_EQ(AdministrativeHtmlLine("お知らせ", "#00FF00"), "<font color=\"#00FF00\">管理 お知らせ</font><br>\r\n");
}

TEST(UrlRecordLines, TextAndHtml) {
  EXPECT_EQ(UrlTextLine("http://x/y?a=1&b=2"), "URL http://x/y?a=1&b=2\r\n");
  EXPECT_EQ(UrlHtmlLine("http://x/y?a=1&b=2"),
            "URL <a href=\"http://x/y?a=1&amp;b=2\">http://x/y?a=1&amp;b=2</a><br>\r\n");
}

}  // namespace
}  // namespace pellix
