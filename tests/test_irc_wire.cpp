// The live channel's pure pieces below the client: line parsing and framing, the wire's text,
// the names people get, the pacer and the retry delay.
#include <gtest/gtest.h>

#include <string>

#include "fx/Sjis.h"
#include "zelkor/irc/IrcMessage.h"
#include "zelkor/irc/PersonName.h"
#include "zelkor/irc/RetryDelay.h"
#include "zelkor/irc/SendPacer.h"
#include "zelkor/irc/WireText.h"

namespace irc = zelkor::irc;

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<std::string> ReadAll(irc::LineReader& reader) {
  std::vector<std::string> lines;
  while (auto line = reader.Next()) lines.push_back(*line);
  return lines;
}

}  // namespace

TEST(IrcLineTest, ParsesPrefixCommandAndParameters) {
  const auto message = irc::ParseLine("@time=x :alice!~al@10.0.0.7 privmsg #pellix :hello  there ");
  ASSERT_TRUE(message);
  EXPECT_EQ(message->prefix, "alice!~al@10.0.0.7");
  EXPECT_EQ(message->command, "PRIVMSG");
  ASSERT_EQ(message->params.size(), 2u);
  EXPECT_EQ(message->params[1], "hello  there ");
  EXPECT_EQ(message->Param(7), "");

  const irc::Prefix from = irc::SplitPrefix(message->prefix);
  EXPECT_EQ(from.nick, "alice");
  EXPECT_EQ(from.user, "~al");
  EXPECT_EQ(from.host, "10.0.0.7");
  EXPECT_EQ(irc::SplitPrefix("irc.example.net").nick, "irc.example.net");
  EXPECT_EQ(irc::SplitPrefix("irc.example.net").host, "");

  // Fifteen parameters at most: the last takes the rest, spaces and all.
  const auto many = irc::ParseLine("X 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17");
  ASSERT_TRUE(many);
  ASSERT_EQ(many->params.size(), 15u);
  EXPECT_EQ(many->params[14], "15 16 17");

  EXPECT_FALSE(irc::ParseLine(""));
  EXPECT_FALSE(irc::ParseLine("   "));
  EXPECT_FALSE(irc::ParseLine(":prefix-only"));
  EXPECT_FALSE(irc::ParseLine("@tags-only"));
}

TEST(IrcLineTest, FormatsWithoutLettingTextBreakTheLine) {
  EXPECT_EQ(irc::FormatLine("PRIVMSG", {"#c", "hi"}), "PRIVMSG #c hi\r\n");
  EXPECT_EQ(irc::FormatLine("PRIVMSG", {"#c", "two words"}), "PRIVMSG #c :two words\r\n");
  EXPECT_EQ(irc::FormatLine("PRIVMSG", {"#c", ":)"}), "PRIVMSG #c ::)\r\n");
  EXPECT_EQ(irc::FormatLine("PONG", {""}), "PONG :\r\n");
  // A line break or NUL in a text cannot smuggle in a second command.
  EXPECT_EQ(irc::FormatLine("PRIVMSG", {"#c", std::string_view("a\r\nQUIT :b\0c", 12)}), "PRIVMSG #c :aQUIT :bc\r\n");
  EXPECT_EQ(irc::FormatLine("JOIN", {"#a b", "x"}), "JOIN #ab x\r\n");
}

TEST(IrcLineTest, ReaderFramesCutsAndDropsWhatIsNotALine) {
  irc::LineReader reader;
  reader.Feed("PING :a\r\nPI");
  EXPECT_EQ(ReadAll(reader), (std::vector<std::string>{"PING :a"}));
  reader.Feed("NG :b\n\r\n\nlone\rx");
  EXPECT_EQ(ReadAll(reader), (std::vector<std::string>{"PING :b", "lone"}));
  reader.Feed(std::string_view("y\0 hidden\r\nnext\r\n", 17));
  EXPECT_EQ(ReadAll(reader), (std::vector<std::string>{"xy", "next"}));

  // A line of any length: cut at the limit, on a character boundary, and the next line is whole.
  std::string huge(irc::kMaxReceivedLine - 1, 'a');
  huge += Utf8(u8"あいう");
  huge += std::string(100000, 'b');
  reader.Feed(huge + "\r\nafter\r\n");
  const auto lines = ReadAll(reader);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(irc::kMaxReceivedLine - 1, 'a'));
  EXPECT_EQ(lines[1], "after");

  reader.Feed("half");
  reader.Reset();
  reader.Feed("new\r\n");
  EXPECT_EQ(ReadAll(reader), (std::vector<std::string>{"new"}));
}

TEST(IrcLineTest, ReaderGivesTheSameLinesHoweverTheBytesArrive) {
  // A line of exactly the limit is whole; one byte more and the cut drops the half character.
  const std::string full(irc::kMaxReceivedLine, 'f');
  const std::string over = std::string(irc::kMaxReceivedLine - 2, 'o') + Utf8(u8"あ") + "tail";
  std::string stream = "PING :a\r\n" + full + "\r\n" + over + "\n";
  static constexpr char kNuls[] = "x\0hidden\0more\r\ny\rz";
  stream += std::string_view(kNuls, sizeof kNuls - 1);
  stream += "\r\n";
  const std::vector<std::string> expected{"PING :a", full, std::string(irc::kMaxReceivedLine - 2, 'o'), "x", "y", "z"};
  for (const std::size_t piece : {stream.size(), std::size_t{1}, std::size_t{7}, irc::kMaxReceivedLine, irc::kMaxReceivedLine + 1}) {
    irc::LineReader reader;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      reader.Feed(std::string_view(stream).substr(at, piece));
      for (const std::string& line : ReadAll(reader)) lines.push_back(line);
    }
    EXPECT_EQ(lines, expected) << "in pieces of " << piece;
  }
}

TEST(WireTextTest, ConvertsUtf8AndOldClientsShiftJisForThePlugin) {
  EXPECT_EQ(irc::WireToCp932("plain ascii"), "plain ascii");
  EXPECT_EQ(irc::WireToCp932(Utf8(u8"こんにちは、世界")), "こんにちは、世界");
  // What Shift-JIS cannot hold becomes '?', one for each character: an emoji, a Hangul
  // syllable, a u with diaeresis (as UTF-8 bytes: the compiler cannot put them in a literal
  // with a CP932 execution character set).
  EXPECT_EQ(irc::WireToCp932("ok \xF0\x9F\x98\x80 \xED\x95\x9C \xC3\xBC!" + Utf8(u8"表")), "ok ? ? ?!表");
  // A line that is Shift-JIS (and not UTF-8) is taken as it is.
  EXPECT_EQ(irc::WireToCp932("表示テスト"), "表示テスト");
  // Neither: every stray byte is a '?', the UTF-8 around it is kept.
  EXPECT_EQ(irc::WireToCp932(Utf8(u8"あ") + "\xFF\xFE" + Utf8(u8"い")), "あ??い");
  EXPECT_EQ(irc::WireToCp932(Utf8(u8"あ") + "\xE3\x81"), "あ??");  // cut short

  EXPECT_EQ(irc::Cp932ToWire("表示 ok"), Utf8(u8"表示 ok"));
  EXPECT_EQ(irc::Cp932ToWire("a\x80z"), "a\xEF\xBF\xBDz");

  EXPECT_TRUE(irc::IsUtf8(Utf8(u8"日本")));
  EXPECT_FALSE(irc::IsUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(irc::IsUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(irc::IsUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

TEST(WireTextTest, EveryCharacterConvertsAsThePlatformConvertsIt) {
  // Each code point alone, then all that CP932 holds in one text, then that text with one it
  // does not: the same bytes, and the same refusals, as the platform's own conversion.
  const auto utf8Of = [](char32_t cp) {
    std::string out;
    if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
    return out;
  };
  std::string all, allCp932;
  std::size_t held = 0;
  for (char32_t cp = 0x80; cp < 0x110000; cp += cp < 0xFFFF ? 1 : 0x1001) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string one = utf8Of(cp);
    const auto platform = fx::sjis::FromUtf8(one);
    ASSERT_EQ(irc::WireToCp932(one), platform ? *platform : "?") << "U+" << std::hex << static_cast<unsigned>(cp);
    if (!platform) continue;
    all += one;
    allCp932 += *platform;
    ++held;
  }
  EXPECT_GT(held, 7000u);  // the kanji, kana and symbols of CP932
  EXPECT_EQ(irc::WireToCp932(all), allCp932);
  EXPECT_EQ(irc::WireToCp932(all + "\xF0\x9F\x98\x80" + all), allCp932 + "?" + allCp932);
}

TEST(WireTextTest, SplitsOnlyBetweenCharactersAndLosesNothing) {
  const std::string text = Utf8(u8"aあいうえおbc");  // 1 + 5 * 3 + 2 bytes
  const auto pieces = irc::SplitUtf8(text, 5);
  std::string joined;
  for (const auto piece : pieces) {
    EXPECT_LE(piece.size(), 5u);
    EXPECT_TRUE(irc::IsUtf8(piece)) << piece;
    joined += piece;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(pieces.size(), 5u);  // "aあ", "い", "う", "え", "おb"... then "c"
  EXPECT_TRUE(irc::SplitUtf8("", 10).empty());
  EXPECT_EQ(irc::Utf8CutLength(text, 3), 1u);     // "a", not half of "あ"
  EXPECT_EQ(irc::Utf8CutLength(text, 4), 4u);
  EXPECT_EQ(irc::Utf8CutLength(text, 100), text.size());
  EXPECT_EQ(irc::Utf8CutLength(Utf8(u8"あ"), 2), 2u);  // no whole character fits
  EXPECT_EQ(irc::Utf8CutLength("ab\x80\x80\x80\x80z", 5), 5u);  // not UTF-8 there
  EXPECT_EQ(irc::SplitUtf8("abc", 10).size(), 1u);
}

TEST(WireTextTest, FormattingCodesAreRemoved) {
  EXPECT_EQ(irc::WithoutFormatting("\x02" "bold\x02 \x03" "04,12red\x03 \x03" "7x \x1Fu\x0F \x04" "FF00AAhex 3,4"),
            "bold red x u hex 3,4");
  EXPECT_EQ(irc::WithoutFormatting("\x03" ",5 comma kept"), ",5 comma kept");
  EXPECT_EQ(irc::WithoutFormatting("tab\tstays"), "tab\tstays");
}

TEST(PersonNameTest, SuffixComesFromIdentAndHostOnly) {
  // FNV-1a of "a@b": the suffix a peer can compute for itself.
  EXPECT_EQ(irc::SuffixOf("a", "b"), "11930F92");
  EXPECT_EQ(irc::SuffixOf("u200", "h"), "0059219E");  // leading zeros kept
  EXPECT_EQ(irc::PersonName("alice", "~al", "host"), "alice#" + irc::SuffixOf("~al", "host"));
  EXPECT_EQ(irc::PersonName("bob", "~al", "host").substr(3), irc::PersonName("alice", "~al", "host").substr(5));
  EXPECT_NE(irc::SuffixOf("~al", "host"), irc::SuffixOf("~al", "other"));
  EXPECT_EQ(irc::PersonName("alice", "~al", "host").size(), 5u + 9u);

  EXPECT_EQ(irc::PersonIp("192.168.1.20"), 0x1401A8C0u);
  EXPECT_EQ(irc::PersonIp("localhost"), 0u);
  EXPECT_EQ(irc::PersonIp("2001:db8::1"), 0u);
  EXPECT_EQ(irc::PersonIp("1.2.3.4.cloak"), 0u);
}

TEST(SendPacerTest, ABurstThenOneLineEveryInterval) {
  irc::SendPacer pacer;
  const irc::Millis start = 1'000'000;
  for (int i = 0; i < irc::SendPacer::kBurst; ++i) EXPECT_TRUE(pacer.TakeTurn(start)) << i;
  EXPECT_FALSE(pacer.TakeTurn(start));
  EXPECT_EQ(pacer.NextTurn(start), start + irc::SendPacer::kInterval);
  EXPECT_FALSE(pacer.TakeTurn(start + irc::SendPacer::kInterval - 1));
  EXPECT_TRUE(pacer.TakeTurn(start + irc::SendPacer::kInterval));
  EXPECT_FALSE(pacer.TakeTurn(start + irc::SendPacer::kInterval));
  // Quiet time earns the burst back, and no more than it.
  const irc::Millis later = start + 60'000;
  EXPECT_EQ(pacer.NextTurn(later), later);
  for (int i = 0; i < irc::SendPacer::kBurst; ++i) EXPECT_TRUE(pacer.TakeTurn(later)) << i;
  EXPECT_FALSE(pacer.TakeTurn(later));
}

TEST(RetryDelayTest, SoonFirstThenDoublingToFiveMinutes) {
  irc::RetryDelay delay;
  EXPECT_LE(delay.Next(), 5);
  int last = 0;
  for (int i = 0; i < 12; ++i) last = delay.Next();
  EXPECT_EQ(last, 300);
  delay.Reset();
  EXPECT_EQ(delay.Next(), irc::RetryDelay::kFirstSeconds);
  EXPECT_EQ(delay.Next(), 2 * irc::RetryDelay::kFirstSeconds);
}
