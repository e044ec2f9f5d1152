// The texts of a log file that do not come from events: name, style block, time prefix, cut.
#include <gtest/gtest.h>

#include <string>

#include "eventlog/LogLines.h"
#include "fx/Sjis.h"
#include "records/RecordLine.h"

namespace {

constexpr fx::LocalTime kThirdOfJanuary{2026, 1, 3, 9, 5, 7};

// A text record line of the given bytes, as a builder would hand it over.
pellix::RecordLine TextLine(std::string_view text) {
  pellix::RecordLine line(pellix::LineForm::Text);
  line.Own(text);
  return line;
}

}  // namespace

TEST(LogLines, FileNamePadsEveryFieldAndHasNoYear) {
  EXPECT_EQ(pellix::LogFileName(kThirdOfJanuary, false), "EventLog[01月03日09時05分07秒].txt");
  EXPECT_EQ(pellix::LogFileName(kThirdOfJanuary, true), "EventLog[01月03日09時05分07秒].html");
  EXPECT_EQ(pellix::LogFileName(fx::LocalTime{1999, 12, 31, 23, 59, 58}, false),
            pellix::LogFileName(fx::LocalTime{2030, 12, 31, 23, 59, 58}, false));
}

TEST(LogLines, StyleBlockFillsNormalBackgroundFontAndSizeInThatOrder) {
  EXPECT_EQ(pellix::LogStyleBlock("#112233", "#AABBCC", "Gothic", "13.5"),
            "<style type=\"text/css\">\r\n"
            "    body {\r\n"
            "     color: #112233;\r\n"
            "     background:#AABBCC;\r\n"
            "     font-family: \"Gothic\";\r\n"
            "     font-size: 13.5pt;\r\n"
            "   }\r\n"
            "</style>\r\n");
}

TEST(LogLines, TimePrefixOfBothForms) {
  EXPECT_EQ(pellix::LogTimePrefix(kThirdOfJanuary, false, "#FFFFFF"), "[09:05:07] ");
  EXPECT_EQ(pellix::LogTimePrefix(kThirdOfJanuary, true, "#00FF00"),
            "<font color=\"#00FF00\" size=1>09:05:07</font> ");
  EXPECT_EQ(pellix::EventTimeText(fx::LocalTime{2026, 1, 3, 0, 0, 0}), "00:00:00");
}

TEST(LogLines, LinesUpToTheLimitAreKeptByteForByte) {
  std::string storage;
  const std::string literal = "100% %s %d\t\r\n";
  EXPECT_EQ(pellix::CutLogLine(TextLine(literal), storage), literal);
  const std::string full(pellix::kLogLineMaxBytes, 'x');
  EXPECT_EQ(pellix::CutLogLine(TextLine(full), storage), full);
  EXPECT_EQ(pellix::CutLogLine(TextLine(""), storage), "");
}

TEST(LogLines, LineBreaksFromChatCannotStartALineOfTheirOwn) {
  std::string storage;
  EXPECT_EQ(pellix::CutLogLine(TextLine("発言 <eve> hi\r\n発言 <admin> forged\nx\r\n"), storage),
            "発言 <eve> hi  発言 <admin> forged x\r\n");
  EXPECT_EQ(pellix::CutLogLine(TextLine("ソ\rソ"), storage), "ソ ソ");  // 0x5C trail bytes are left alone
  const std::string cut(pellix::CutLogLine(TextLine(std::string(600, 'a') + "\n" + std::string(600, 'b') + "\r\n"), storage));
  EXPECT_EQ(cut.size(), pellix::kLogLineMaxBytes);
  EXPECT_EQ(cut.find('\n'), cut.size() - 1);
}

TEST(LogLines, CutHtmlRecordKeepsItsMarkupAndShortensOnlyTheChatText) {
  std::string storage;
  const std::string text(1016, 'a');  // a byte cut would fall inside the closing "</font><br>"
  pellix::RecordLine html(pellix::LineForm::Html);
  html.Own("<font color=\"#FFFFFF\">管理 ").Chat(text).Own("</font><br>\r\n");
  const std::string cut(pellix::CutLogLine(html, storage));
  EXPECT_EQ(cut, "<font color=\"#FFFFFF\">管理 " + std::string(pellix::kLogLineMaxBytes - 40, 'a') + "</font><br>\r\n");
  EXPECT_EQ(cut.size(), pellix::kLogLineMaxBytes);
  // A text record keeps a '<' of chat where the cut leaves it.
  const std::string textLine(pellix::CutLogLine(TextLine("発言 " + std::string(1014, 'b') + "<c" + std::string(20, 'd') + "\r\n"), storage));
  EXPECT_EQ(textLine.substr(textLine.size() - 4), "<c\r\n");
  // Also when the chat text itself ends like an HTML record (found by fuzzing: the cut used to
  // fall back to chat's last '<', far before the limit).
  const std::string chat = std::string(1000, 'e') + "<b" + std::string(40, 'f') + "<br>";
  const std::string endsLikeHtml(pellix::CutLogLine(TextLine("発言 " + chat + "\r\n"), storage));
  EXPECT_EQ(endsLikeHtml.size(), pellix::kLogLineMaxBytes);
}

TEST(LogLines, CutHtmlRecordNeverEndsInsideACharacterReferenceOrACharacter) {
  std::string storage;
  // 400 '&' are 2000 bytes of "&amp;": a byte cut left "&am" and no "<br>".
  pellix::RecordLine amps(pellix::LineForm::Html);
  amps.Own("<font color=\"#FFFFFF\">発言 &lt;").Chat("eve").Own("&gt; </font>").Chat(std::string(400, '&')).Own("<br>\r\n");
  const std::string cut(pellix::CutLogLine(amps, storage));
  const std::string head = "<font color=\"#FFFFFF\">発言 &lt;eve&gt; </font>";
  ASSERT_EQ(cut.substr(0, head.size()), head);
  ASSERT_EQ(cut.substr(cut.size() - 6), "<br>\r\n");
  const std::string kept = cut.substr(head.size(), cut.size() - head.size() - 6);
  EXPECT_EQ(kept.size() % 5, 0u);
  EXPECT_EQ(kept, [&] { std::string all; while (all.size() < kept.size()) all += "&amp;"; return all; }());
  EXPECT_GT(cut.size(), pellix::kLogLineMaxBytes - 5);

  // Double-byte characters and references mixed: the kept text is a prefix of whole units.
  std::string chat;
  while (chat.size() < 1500) chat += "ア<";
  pellix::RecordLine mixed(pellix::LineForm::Html);
  mixed.Own("<b>").Chat(chat).Own("</b><br>\r\n");
  const std::string mixedCut(pellix::CutLogLine(mixed, storage));
  EXPECT_LE(mixedCut.size(), pellix::kLogLineMaxBytes);
  EXPECT_TRUE(mixedCut.ends_with("</b><br>\r\n"));
  const std::string body = mixedCut.substr(3, mixedCut.size() - 3 - 10);
  std::string whole;
  while (whole.size() < body.size()) whole += "ア&lt;";
  EXPECT_TRUE(whole.starts_with(body));
  EXPECT_TRUE(body.ends_with("ア") || body.ends_with("&lt;"));
}

TEST(LogLines, CutHtmlRecordShortensTheLastChatValueFirst) {
  std::string storage;
  // A link: the address goes first, so the link keeps working and the text shown is shortened.
  const std::string url = "http://x/" + std::string(600, 'u');
  pellix::RecordLine link(pellix::LineForm::Html);
  link.Own("URL <a href=\"").Chat(url).Own("\">").Chat(url).Own("</a><br>\r\n");
  const std::string cut(pellix::CutLogLine(link, storage));
  EXPECT_EQ(cut.size(), pellix::kLogLineMaxBytes);
  EXPECT_TRUE(cut.starts_with("URL <a href=\"" + url + "\">http://x/uuu"));
  EXPECT_TRUE(cut.ends_with("u</a><br>\r\n"));
  // The last value gone altogether, the one before it is shortened; line breaks from chat still
  // become spaces.
  pellix::RecordLine two(pellix::LineForm::Html);
  two.Own("<i>").Chat(std::string(1100, 'o') + "\n").Own(" to ").Chat(std::string(30, 'n')).Own("</i><br>\r\n");
  const std::string both(pellix::CutLogLine(two, storage));
  EXPECT_EQ(both, "<i>" + std::string(1023 - 3 - 4 - 10, 'o') + " to </i><br>\r\n");
}

TEST(LogLines, HtmlRecordWhoseOwnMarkupIsOverTheLimitEndsOutsideItsTags) {
  std::string storage;
  pellix::RecordLine markup(pellix::LineForm::Html);
  markup.Own("<font color=\"#FFFFFF\">" + std::string(990, 'x') + "<a href=\"y\">&amp;</a><br>\r\n");
  const std::string cut(pellix::CutLogLine(markup, storage));
  EXPECT_EQ(cut, "<font color=\"#FFFFFF\">" + std::string(990, 'x') + "\r\n");
}

TEST(LogLines, LongLineIsCutToTheLimitAndStillEndsTheLine) {
  std::string storage;
  const std::string megabyte(1 << 20, 'a');
  const std::string cut(pellix::CutLogLine(TextLine(megabyte + "\r\n"), storage));
  EXPECT_EQ(cut.size(), pellix::kLogLineMaxBytes);
  EXPECT_EQ(cut, std::string(pellix::kLogLineMaxBytes - 2, 'a') + "\r\n");
}

TEST(LogLines, CutNeverSplitsADoubleByteCharacter) {
  // Only double-byte characters: the odd 1021-byte content limit falls inside one.
  std::string line;
  while (line.size() < 2000) line += "ア";  // two bytes in Shift-JIS
  std::string storage;
  const std::string cut(pellix::CutLogLine(TextLine(line), storage));
  ASSERT_GE(cut.size(), 2u);
  EXPECT_LE(cut.size(), pellix::kLogLineMaxBytes);
  EXPECT_EQ(cut.substr(cut.size() - 2), "\r\n");
  const std::string content = cut.substr(0, cut.size() - 2);
  EXPECT_EQ(content.size(), 2 * 510u);
  EXPECT_EQ(line.compare(0, content.size(), content), 0);
  EXPECT_TRUE(fx::sjis::IsCharBoundary(line, content.size()));
}
