// The URL collector window: what it keeps, what it refuses, how it opens and what it saves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fx/Sjis.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

constexpr const char* kBob = "bob#00000002";

t::ComboState Urls(const PluginSession& s) { return t::ReadCombo(s.Dialog(IDD_URL), IDC_URL_COMBO); }

std::string Url(int i) { return "http://site/" + std::to_string(i); }

}  // namespace

TEST(UrlCollector, KeepsTheLastTwentyWithTheNewestSelected) {
  PluginSession s;
  s.Start();
  for (int i = 1; i <= 21; ++i) s.Chat(kBob, Url(i));
  const t::ComboState combo = Urls(s);
  std::vector<std::string> expected;
  for (int i = 2; i <= 21; ++i) expected.push_back(Url(i));
  EXPECT_EQ(combo.items, expected);
  EXPECT_EQ(combo.curSel, 19);
  EXPECT_EQ(combo.field, Url(21));
}

TEST(UrlCollector, RefusesOnlyAnEqualEntryIgnoringCase) {
  PluginSession s;
  s.Start();
  s.Chat(kBob, "http://a/bcd");
  s.Chat(kBob, "http://a/BCD");  // equal ignoring case: refused, the field stays
  s.Chat(kBob, "http://a/bc");   // a prefix of an entry is another URL
  s.Chat(kBob, "http://a/bcde");
  const t::ComboState combo = Urls(s);
  EXPECT_EQ(combo.items, (std::vector<std::string>{"http://a/bcd", "http://a/bc", "http://a/bcde"}));
  EXPECT_EQ(combo.field, "http://a/bcde");
}

TEST(UrlCollector, ARefusedUrlLeavesTheSelectionAndFieldAlone) {
  PluginSession s;
  s.Start();
  s.Chat(kBob, "http://one");
  s.Chat(kBob, "http://two");
  ASSERT_TRUE(t::PickComboItem(s.Dialog(IDD_URL), IDC_URL_COMBO, 0));
  s.Chat(kBob, "http://TWO");
  const t::ComboState combo = Urls(s);
  EXPECT_EQ(combo.items.size(), 2u);
  EXPECT_EQ(combo.curSel, 0);
  EXPECT_EQ(combo.field, "http://one");
}

TEST(UrlCollector, DuplicatesAllowedAreAppendedAndStayWhenSwitchedOff) {
  PluginSession s;
  s.Start();
  const HWND dialog = s.Dialog(IDD_URL);
  EXPECT_FALSE(t::IsChecked(dialog, IDC_URL_DUPLICATE));
  ASSERT_TRUE(t::Click(dialog, IDC_URL_DUPLICATE));
  s.Chat(kBob, "http://same");
  s.Chat(kBob, "http://same");
  ASSERT_TRUE(t::Click(dialog, IDC_URL_DUPLICATE));
  s.Chat(kBob, "http://same");
  EXPECT_EQ(Urls(s).items, (std::vector<std::string>{"http://same", "http://same"}));
  EXPECT_FALSE(t::IsChecked(dialog, IDC_URL_DUPLICATE));
}

TEST(UrlCollector, AnyNonZeroDuplicateValueIsOnAndIsWrittenBackAsOne) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[url]\r\nduplicate=5\r\n");
  s.Start();
  EXPECT_TRUE(t::IsChecked(s.Dialog(IDD_URL), IDC_URL_DUPLICATE));
  s.Chat(kBob, "http://same http://same");
  EXPECT_EQ(Urls(s).items.size(), 2u);
  s.Shutdown();
  const std::string ini = s.ReadFile("Pellix.ini");
  EXPECT_NE(fx::sjis::ToLower(ini).find("[url]\r\nduplicate=1\r\n"), std::string::npos) << ini;
}

TEST(UrlCollector, DuplicateSettingDefaultsToRefusedAndIsSavedAtDestruction) {
  PluginSession s;
  s.Start();
  EXPECT_FALSE(t::IsChecked(s.Dialog(IDD_URL), IDC_URL_DUPLICATE));
  s.Chat(kBob, "http://same http://same");
  EXPECT_EQ(Urls(s).items.size(), 1u);
  s.Exit();
  s.Shutdown();
  EXPECT_NE(s.ReadFile("Pellix.ini").find("[URL]\r\nDuplicate=0\r\n"), std::string::npos) << s.ReadFile("Pellix.ini");

  PluginSession again;
  again.WriteFile("Pellix.ini", "[URL]\r\nDuplicate=0\r\n");
  again.Start();
  ASSERT_TRUE(t::Click(again.Dialog(IDD_URL), IDC_URL_DUPLICATE));
  again.Shutdown();
  EXPECT_NE(again.ReadFile("Pellix.ini").find("[URL]\r\nDuplicate=1\r\n"), std::string::npos)
      << again.ReadFile("Pellix.ini");
}

TEST(UrlCollector, OpensTheFieldTextAndStaysAsItIs) {
  PluginSession s;
  s.Start();
  const HWND dialog = s.Dialog(IDD_URL);
  s.Chat(kBob, "http://first http://second");
  ASSERT_TRUE(t::PickComboItem(dialog, IDC_URL_COMBO, 0));
  ASSERT_TRUE(t::Click(dialog, IDOK));
  ASSERT_TRUE(t::ClearText(dialog, IDC_URL_COMBO));
  ASSERT_TRUE(t::TypeText(dialog, IDC_URL_COMBO, "typed.example/not-listed"));
  ASSERT_TRUE(t::PressEnter(dialog));
  EXPECT_EQ(s.desktop.shellOpens, (std::vector<std::string>{"http://first", "typed.example/not-listed"}));
  EXPECT_TRUE(t::IsVisible(dialog));
  EXPECT_EQ(Urls(s).items, (std::vector<std::string>{"http://first", "http://second"}));
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
}

TEST(UrlCollector, OpeningAnEmptyFieldDoesNothing) {
  PluginSession s;
  s.Start();
  const HWND dialog = s.Dialog(IDD_URL);
  ASSERT_TRUE(t::Click(dialog, IDOK));
  EXPECT_TRUE(s.desktop.shellOpens.empty());
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
  EXPECT_TRUE(t::IsVisible(dialog));
}

TEST(UrlCollector, AUrlIsHandedToTheShellExactlyAsCollected) {
  PluginSession s;
  s.Start();
  s.Chat(kBob, "look http://x/$(touch${IFS}pwned);rm");
  ASSERT_TRUE(t::Click(s.Dialog(IDD_URL), IDOK));
  EXPECT_EQ(s.desktop.shellOpens, (std::vector<std::string>{"http://x/$(touch${IFS}pwned);rm"}));
}

TEST(UrlCollector, HiddenWindowCollectsTheSameAndStaysHidden) {
  PluginSession s;
  s.Start();
  const HWND dialog = s.Dialog(IDD_URL);
  s.Chat(kBob, "http://before");
  ASSERT_TRUE(t::CloseBox(dialog));
  EXPECT_FALSE(t::IsVisible(dialog));
  s.Chat(kBob, "http://while-hidden");
  s.Chat(kBob, "http://before");
  EXPECT_FALSE(t::IsVisible(dialog));
  EXPECT_EQ(s.Say("#url"), std::nullopt);
  EXPECT_TRUE(t::IsVisible(dialog));
  const t::ComboState combo = Urls(s);
  EXPECT_EQ(combo.items, (std::vector<std::string>{"http://before", "http://while-hidden"}));
  EXPECT_EQ(combo.field, "http://while-hidden");
  ASSERT_TRUE(t::PressEscape(dialog));
  EXPECT_FALSE(t::IsVisible(dialog));
}

TEST(UrlCollector, ShowsItsIcon) {
  PluginSession s;
  s.Start();
  EXPECT_EQ(t::IconId(s.Dialog(IDD_URL)), IDI_URL);
}
