// The texts of a log file that do not come from events: name, style block, time prefix, cut.
#include <gtest/gtest.h>

#include <string>

#include "eventlog/LogLines.h"
#include "eventlog/RecordLine.h"
#include "fx/Sjis.h"

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
            "     color: \"#112233\";\r\n"
            "     background:\"#AABBCC\";\r\n"
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

TEST(LogLines, CutHtmlRecordNeverEndsInsideATag) {
  std::string storage;
  const std::string text(1016, 'a');  // the cut falls inside the closing "</font><br>"
  pellix::RecordLine html(pellix::LineForm::Html);
  html.Own("<font color=\"#FFFFFF\">管理 ").Chat(text).Own("</font><br>\r\n");
  const std::string cut(pellix::CutLogLine(html, storage));
  EXPECT_EQ(cut.substr(cut.size() - 3), "a\r\n");
  EXPECT_LE(cut.size(), pellix::kLogLineMaxBytes);
  // A text record keeps a '<' of chat where the cut leaves it.
  const std::string textLine(pellix::CutLogLine(TextLine("発言 " + std::string(1014, 'b') + "<c" + std::string(20, 'd') + "\r\n"), storage));
  EXPECT_EQ(textLine.substr(textLine.size() - 4), "<c\r\n");
  // Also when the chat text itself ends like an HTML record (found by fuzzing: the cut used to
  // fall back to chat's last '<', far before the limit).
  const std::string chat = std::string(1000, 'e') + "<b" + std::string(40, 'f') + "<br>";
  const std::string endsLikeHtml(pellix::CutLogLine(TextLine("発言 " + chat + "\r\n"), storage));
  EXPECT_EQ(endsLikeHtml.size(), pellix::kLogLineMaxBytes);
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
