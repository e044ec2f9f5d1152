#include <gtest/gtest.h>

#include <string>

#include "handlers/Rename.h"
#include "records/BaseName.h"
#include "records/PresenceRecords.h"

namespace pellix {
namespace {

constexpr std::uint32_t kLoopback = 0x0100007F;
const std::string kSuffix = "123456789";

// The detail and the line text each record gives in either form; a text line has no colour to
// show.
template <class Record, class Info>
std::string DetailOf(const Info& info, AddressForm form) {
  return Record(info, form, "#123456").Detail();
}
template <class Record, class Info>
std::string TextLineOf(const Info& info, AddressForm form) {
  return Record(info, form, "#123456").Line(LineForm::Text).Text();
}
template <class Record, class Info>
std::string HtmlLineOf(const Info& info, AddressForm form, std::string_view colour) {
  return Record(info, form, colour).Line(LineForm::Html).Text();
}
std::string JoinDetail(const JoinUserInfo& user, AddressForm form) { return DetailOf<JoinRecord>(user, form); }
std::string JoinTextLine(const JoinUserInfo& user, AddressForm form) { return TextLineOf<JoinRecord>(user, form); }
std::string JoinHtmlLine(const JoinUserInfo& user, AddressForm form, std::string_view colour) {
  return HtmlLineOf<JoinRecord>(user, form, colour);
}
std::string LeaveDetail(const LeaveUserInfo& user, AddressForm form) { return DetailOf<LeaveRecord>(user, form); }
std::string LeaveTextLine(const LeaveUserInfo& user, AddressForm form) { return TextLineOf<LeaveRecord>(user, form); }
std::string LeaveHtmlLine(const LeaveUserInfo& user, AddressForm form, std::string_view colour) {
  return HtmlLineOf<LeaveRecord>(user, form, colour);
}
std::string RenameDetail(const RenameUserInfo& rename, AddressForm form) { return DetailOf<RenameRecord>(rename, form); }
std::string RenameTextLine(const RenameUserInfo& rename, AddressForm form) {
  return TextLineOf<RenameRecord>(rename, form);
}
std::string RenameHtmlLine(const RenameUserInfo& rename, AddressForm form, std::string_view colour) {
  return HtmlLineOf<RenameRecord>(rename, form, colour);
}

TEST(BaseNames, DropsTheNineByteSuffixOfLongerNames) {
  EXPECT_EQ(BaseName("太郎" + kSuffix), "太郎");
  EXPECT_EQ(BaseName("a" + kSuffix), "a");
}

TEST(BaseNames, KeepsNamesOfNineBytesOrFewerWhole) {
  EXPECT_EQ(BaseName(kSuffix), kSuffix);
  EXPECT_EQ(BaseName("太郎"), "太郎");
  EXPECT_EQ(BaseName(""), "");
}

TEST(BaseNames, NeverSplitsADoubleByteCharacter) {
  // 11 bytes: the cut at 2 would fall inside "郎", which is dropped whole.
  EXPECT_EQ(BaseName("a郎12345678"), "a");
  // A lone lead byte at the end counts as one byte of the suffix.
  const std::string loneLead = std::string("ア").substr(0, 1);
  EXPECT_EQ(BaseName("ab12345678" + loneLead), "ab");
}

JoinUserInfo Join(const char* name) { return JoinUserInfo{name, kLoopback, 6699, 9, 3}; }

TEST(PresenceRecords, JoinInBothAddressForms) {
  const JoinUserInfo user = Join("太郎123456789");
  EXPECT_EQ(JoinDetail(user, AddressForm::Node), "太郎123456789 (T1 3 files)[0100007F1A2B]");
  EXPECT_EQ(JoinDetail(user, AddressForm::IpPort), "太郎123456789 (T1 3 files)[127.0.0.1:6699]");
  EXPECT_EQ(JoinTextLine(user, AddressForm::Node), "入室 太郎123456789 (T1 3 files)[0100007F1A2B]\r\n");
  EXPECT_EQ(JoinHtmlLine(user, AddressForm::IpPort, "#00FF00"),
            "<font color=\"#00FF00\">入室 太郎123456789 (T1 3 files)[127.0.0.1:6699]</font><br>\r\n");
}

TEST(PresenceRecords, LeaveAndRenameLines) {
  const LeaveUserInfo leave{"花子123456789", kLoopback, 6699};
  EXPECT_EQ(LeaveDetail(leave, AddressForm::Node), "花子123456789 [0100007F1A2B]");
  EXPECT_EQ(LeaveTextLine(leave, AddressForm::IpPort), "退室 花子123456789 [127.0.0.1:6699]\r\n");
  EXPECT_EQ(LeaveHtmlLine(leave, AddressForm::Node, "#0000FF"),
            "<font color=\"#0000FF\">退室 花子123456789 [0100007F1A2B]</font><br>\r\n");

  const RenameUserInfo rename{"old123456789", {}, "new123456789", kLoopback, 6699};
  EXPECT_EQ(RenameDetail(rename, AddressForm::IpPort), "old123456789 to new123456789 [127.0.0.1:6699]");
  EXPECT_EQ(RenameTextLine(rename, AddressForm::Node), "改名 old123456789 to new123456789 [0100007F1A2B]\r\n");
  EXPECT_EQ(RenameHtmlLine(rename, AddressForm::Node, "#FFFF00"),
            "<font color=\"#FFFF00\">改名 old123456789 to new123456789 [0100007F1A2B]</font><br>\r\n");
}

TEST(PresenceRecords, HtmlLinesEscapeNamesWhileDetailsAndTextLinesKeepThemRaw) {
  const JoinUserInfo user = Join("<b>\"&\"</b>");
  EXPECT_EQ(JoinDetail(user, AddressForm::Node), "<b>\"&\"</b> (T1 3 files)[0100007F1A2B]");
  EXPECT_EQ(JoinTextLine(user, AddressForm::Node), "入室 <b>\"&\"</b> (T1 3 files)[0100007F1A2B]\r\n");
  EXPECT_EQ(JoinHtmlLine(user, AddressForm::Node, "#FFFFFF"),
            "<font color=\"#FFFFFF\">入室 &lt;b&gt;&quot;&amp;&quot;&lt;/b&gt; (T1 3 files)[0100007F1A2B]</font><br>\r\n");

  const LeaveUserInfo leave{"<i>", kLoopback, 1};
  EXPECT_EQ(LeaveHtmlLine(leave, AddressForm::Node, "#FFFFFF"),
            "<font color=\"#FFFFFF\">退室 &lt;i&gt; [0100007F0001]</font><br>\r\n");

  const RenameUserInfo rename{"<a>", {}, "<script>", kLoopback, 1};
  EXPECT_EQ(RenameHtmlLine(rename, AddressForm::Node, "#FFFFFF"),
            "<font color=\"#FFFFFF\">改名 &lt;a&gt; to &lt;script&gt; [0100007F0001]</font><br>\r\n");
}

TEST(PresenceRecords, NullNamesReadAsEmpty) {
  EXPECT_EQ(JoinDetail(Join(nullptr), AddressForm::Node), " (T1 3 files)[0100007F1A2B]");
  const LeaveUserInfo leave{nullptr, kLoopback, 6699};
  EXPECT_EQ(LeaveTextLine(leave, AddressForm::Node), "退室  [0100007F1A2B]\r\n");
  const RenameUserInfo rename{nullptr, {}, nullptr, kLoopback, 6699};
  EXPECT_EQ(RenameDetail(rename, AddressForm::Node), " to  [0100007F1A2B]");
}

TEST(RenameRule, OnlyAChangedBaseNameCounts) {
  EXPECT_TRUE(RenameChangesBaseName("太郎" + kSuffix, "次郎" + kSuffix));
  // Only the suffix changed: the visible name is the same.
  EXPECT_FALSE(RenameChangesBaseName("太郎" + kSuffix, "太郎987654321"));
  // Letter case is a change: the comparison is bytewise.
  EXPECT_TRUE(RenameChangesBaseName("taro" + kSuffix, "TARO" + kSuffix));
  // Short names are whole base names, so a rename between them is a change.
  EXPECT_TRUE(RenameChangesBaseName("abc", "abd"));
  EXPECT_FALSE(RenameChangesBaseName("abc", "abc"));
}

TEST(RenameRule, BaseNamesAreComparedAsBytesNotCutToCharacters) {
  // 14 bytes each: the 5-byte base names end inside "ウ" and "漢", whose lead bytes differ. Cut
  // to whole characters both would read "アイ" and the rename would be lost.
  EXPECT_TRUE(RenameChangesBaseName("アイウ12345678", "アイ漢12345678"));
  // The notice still shows whole characters only.
  EXPECT_EQ(RenameNotice(fx::LocalTime{2024, 1, 3, 9, 5, 7}, "アイウ12345678", "アイ漢12345678"),
            "［09時05分07秒］[アイ] は [アイ] に改名しました。\r\n");
  // A change within the suffix alone, even one splitting a character, is still no rename.
  EXPECT_FALSE(RenameChangesBaseName("アイウ12345678", "アイウ87654321"));
  EXPECT_FALSE(RenameChangesBaseName("アイウ12345678", "アイ\x83" "A87654321"));
}

TEST(RenameRule, HugeNamesAreTakenUpTo1023BytesEach) {
  const std::string oldName(10000, 'x');
  const std::string newName = std::string(500, 'y') + "太郎" + std::string(9500, 'y');
  EXPECT_TRUE(RenameChangesBaseName(oldName, newName));
  const std::string notice = RenameNotice(fx::LocalTime{2024, 1, 1, 0, 0, 0}, oldName, newName);
  // Each base name is what is left of the first 1023 bytes less the suffix.
  EXPECT_NE(notice.find("[" + std::string(1014, 'x') + "]"), std::string::npos);
  EXPECT_NE(notice.find("[" + std::string(500, 'y') + "太郎" + std::string(510, 'y') + "]"), std::string::npos);
}

TEST(RenameNotices, ShowTheTimeAndBothBaseNames) {
  const fx::LocalTime at{2024, 1, 3, 9, 5, 7};
  EXPECT_EQ(RenameNotice(at, "太郎" + kSuffix, "次郎" + kSuffix),
            "［09時05分07秒］[太郎] は [次郎] に改名しました。\r\n");
  EXPECT_EQ(RenameNotice(at, "ab", "100%s%n"), "［09時05分07秒］[ab] は [100%s%n] に改名しました。\r\n");
}

}  // namespace
}  // namespace pellix
