// The settings window and its two pages, driven as a person would, with the real module loaded:
// what they show after loading, how editing the rules behaves, and what reaches Pellix.ini.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fx/Profile.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"
#include "resources/resource.h"
#include "settings/PluginSettings.h"
#include "settings/SettingDlg.h"
#include "settings/SettingsStore.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

HWND SettingWindow(const PluginSession& s) { return s.Dialog(IDD_SETTING); }
HWND ReactPage(const PluginSession& s) { return s.Dialog(IDD_AUTOREACT); }
HWND LogPage(const PluginSession& s) { return s.Dialog(IDD_LOGSETTING); }

std::string Saved(const PluginSession& s, const char* section, const char* key) {
  return fx::ProfileGetString(section, key, "<missing>", 4096, s.home + "Pellix.ini");
}

void TypeRule(const PluginSession& s, std::string_view word, std::string_view response) {
  t::ClearText(ReactPage(s), IDC_REACT_WORD);
  t::ClearText(ReactPage(s), IDC_REACT_RES);
  t::TypeText(ReactPage(s), IDC_REACT_WORD, word);
  t::TypeText(ReactPage(s), IDC_REACT_RES, response);
}

void AddRule(const PluginSession& s, std::string_view word, std::string_view response) {
  TypeRule(s, word, response);
  ASSERT_TRUE(t::Click(ReactPage(s), IDC_REACT_ADD));
}

std::vector<std::vector<std::string>> Rows(const PluginSession& s) {
  return t::ReadListView(ReactPage(s), IDC_REACT_LIST).rows;
}

std::string WordEdit(const PluginSession& s) { return t::ControlText(ReactPage(s), IDC_REACT_WORD); }
std::string ResEdit(const PluginSession& s) { return t::ControlText(ReactPage(s), IDC_REACT_RES); }
std::string AddButton(const PluginSession& s) { return t::ControlText(ReactPage(s), IDC_REACT_ADD); }

std::string RuleIni(int count) {
  std::string ini = "[React]\r\nReactNum=" + std::to_string(count) + "\r\n[KeyWord]\r\n";
  for (int i = 0; i < count; ++i) ini += "Word[" + std::to_string(i) + "]=w" + std::to_string(i) + "\r\n";
  ini += "[ResMsg]\r\n";
  for (int i = 0; i < count; ++i) ini += "Msg[" + std::to_string(i) + "]=r" + std::to_string(i) + "\r\n";
  return ini;
}

using Row = std::vector<std::string>;

}  // namespace

TEST(SettingsWindow, WithoutAnIniEverythingHasItsDefault) {
  PluginSession s;
  s.Start();
  ASSERT_NE(SettingWindow(s), nullptr);
  EXPECT_TRUE(t::IsVisible(SettingWindow(s)));
  EXPECT_EQ(t::IconId(SettingWindow(s)), IDI_SETTING);
  const t::TabState tabs = t::ReadTabs(SettingWindow(s), IDC_SETTING_TAB);
  EXPECT_EQ(tabs.tabs, (std::vector<std::string>{"自動反応設定", "イベントログ設定"}));
  EXPECT_EQ(tabs.curSel, 0);
  EXPECT_TRUE(t::IsVisible(ReactPage(s)));
  EXPECT_FALSE(t::IsVisible(LogPage(s)));
  for (HWND page : {ReactPage(s), LogPage(s)}) {
    const RECT at = t::WindowRect(page);
    EXPECT_EQ(at.left, 3);
    EXPECT_EQ(at.top, 24);
  }
  EXPECT_FALSE(t::IsChecked(SettingWindow(s), IDC_SET_DLG));

  EXPECT_EQ(t::ControlText(ReactPage(s), IDC_WELCOME_MESSAGE), "%NAME% さん、こんにちは！");
  EXPECT_FALSE(t::IsChecked(ReactPage(s), IDC_AUTO_WELCOME));
  EXPECT_FALSE(t::IsChecked(ReactPage(s), IDC_AUTO_REACT));
  EXPECT_EQ(AddButton(s), "追加");
  const t::ListViewState list = t::ReadListView(ReactPage(s), IDC_REACT_LIST);
  ASSERT_EQ(list.columns.size(), 2u);
  EXPECT_EQ(list.columns[0].heading, "語句");
  EXPECT_EQ(list.columns[0].width, 60);
  EXPECT_EQ(list.columns[1].heading, "レス");
  EXPECT_EQ(list.columns[1].width, 80);
  EXPECT_EQ(list.bkColor, 0u);
  EXPECT_EQ(list.textColor, 0xFFFFFFu);
  EXPECT_EQ(list.textBkColor, 0u);
  EXPECT_EQ(list.extendedStyle, 0x30u);
  EXPECT_TRUE(list.rows.empty());

  const HWND log = LogPage(s);
  for (int on : {IDC_TIME_STUMP, IDC_HTML, IDC_ENTER_LOG, IDC_LEAVE_LOG, IDC_RENAME_LOG, IDC_MESSAGE_LOG,
                 IDC_NAME_INCLUDE})
    EXPECT_TRUE(t::IsChecked(log, on)) << on;
  for (int off : {IDC_AUTO_LOG, IDC_EVENT_DLG, IDC_RCMS_LOG, IDC_URL_LOG, IDC_WRITE_TYPE})
    EXPECT_FALSE(t::IsChecked(log, off)) << off;
  EXPECT_EQ(t::ControlText(log, IDC_DIRECTORY), s.home);
  EXPECT_EQ(t::ControlText(log, IDC_CHECK_USER), "");

  s.Exit();
  EXPECT_EQ(Saved(s, "LogSettings", "Directory"), s.home);
  EXPECT_EQ(Saved(s, "LogSwitch", "HTML"), "1");
  EXPECT_EQ(Saved(s, "LogSwitch", "AutoLog"), "0");
  EXPECT_EQ(Saved(s, "AutoWelcome", "Message"), "%NAME% さん、こんにちは！");
}

TEST(SettingsWindow, ChangesMadeInTheWindowsAreSavedAndLoadedBackKeepingTheRestOfTheFile) {
  const std::string original =
      "; Pellix settings, edited by hand\r\n"
      "[Other]\r\nKeep=me\r\n"
      "[AutoWelcome]\r\nMessage=ようこそ\r\n"
      "[LogSwitch]\r\n; keep this comment\r\nEnterLog=1\r\n"
      "[React]\r\nReactNum=1\r\n[KeyWord]\r\nWord[0]=hello\r\n[ResMsg]\r\nMsg[0]=hi there\r\n";
  std::string saved;
  {
    PluginSession s;
    s.WriteFile("Pellix.ini", original);
    s.Start();
    EXPECT_EQ(t::ControlText(ReactPage(s), IDC_WELCOME_MESSAGE), "ようこそ");
    EXPECT_EQ(Rows(s), (std::vector<Row>{{"hello", "hi there"}}));

    t::TypeText(ReactPage(s), IDC_WELCOME_MESSAGE, " %NAME%");
    t::Click(ReactPage(s), IDC_AUTO_WELCOME);
    t::Click(ReactPage(s), IDC_AUTO_REACT);
    AddRule(s, "bye", "see you");
    t::Click(SettingWindow(s), IDC_SET_DLG);

    ASSERT_TRUE(t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 1));
    t::Click(LogPage(s), IDC_ENTER_LOG);
    t::Click(LogPage(s), IDC_URL_LOG);
    t::Click(LogPage(s), IDC_HTML);
    t::TypeText(LogPage(s), IDC_CHECK_USER, "監視");
    s.desktop.folderAnswers.push_back(s.home + "logs");
    std::filesystem::create_directory(s.home + "logs");
    ASSERT_TRUE(t::Click(LogPage(s), IDC_BROWSE));
    EXPECT_EQ(t::ControlText(LogPage(s), IDC_DIRECTORY), s.home + "logs" + pellix::kPathSeparator);
    s.Shutdown();
    saved = s.ReadFile("Pellix.ini");
  }
  // Lines the plug-in does not own stay where they were.
  EXPECT_EQ(saved.rfind("; Pellix settings, edited by hand\r\n[Other]\r\nKeep=me\r\n[AutoWelcome]\r\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("[LogSwitch]\r\n; keep this comment\r\nEnterLog=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Message=ようこそ %NAME%\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("HTML=0\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ReactNum=2\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Word[1]=bye\r\n"), std::string::npos) << saved;

  PluginSession again;
  again.WriteFile("Pellix.ini", saved);
  again.Start();
  // SetDlg was checked, so the window starts hidden; its page still holds what was saved.
  EXPECT_FALSE(t::IsVisible(SettingWindow(again)));
  EXPECT_TRUE(t::IsChecked(SettingWindow(again), IDC_SET_DLG));
  EXPECT_EQ(t::ControlText(ReactPage(again), IDC_WELCOME_MESSAGE), "ようこそ %NAME%");
  EXPECT_TRUE(t::IsChecked(ReactPage(again), IDC_AUTO_WELCOME));
  EXPECT_TRUE(t::IsChecked(ReactPage(again), IDC_AUTO_REACT));
  EXPECT_EQ(Rows(again), (std::vector<Row>{{"hello", "hi there"}, {"bye", "see you"}}));
  EXPECT_FALSE(t::IsChecked(LogPage(again), IDC_ENTER_LOG));
  EXPECT_TRUE(t::IsChecked(LogPage(again), IDC_URL_LOG));
  EXPECT_FALSE(t::IsChecked(LogPage(again), IDC_HTML));
  EXPECT_EQ(t::ControlText(LogPage(again), IDC_CHECK_USER), "監視");
  // The folder was saved from a different home; it is kept as chosen.
  EXPECT_NE(t::ControlText(LogPage(again), IDC_DIRECTORY).find(std::string("logs") + pellix::kPathSeparator), std::string::npos);
}

TEST(SettingsWindow, HostColoursAndFontReachTheHtmlLog) {
  PluginSession s;
  s.WriteFile("Zelkor.ini", "[ColorSetting]\r\nBackGround=255\r\nNormalText=16711680\r\n"
                            "[FontSetting]\r\nFontName=Gothic\r\nFontSize=105\r\n");
  s.WriteFile("Pellix.ini", "[LogSwitch]\r\nAutoLog=1\r\n");
  s.Start();
  std::string log;
  for (const std::string& name : s.ListFiles())
    if (name.find(".html") != std::string::npos) log = s.ReadFile(name);
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.find("#FF0000"), std::string::npos) << log;
  EXPECT_NE(log.find("#0000FF"), std::string::npos) << log;
  EXPECT_NE(log.find("Gothic"), std::string::npos) << log;
  EXPECT_NE(log.find("10.5"), std::string::npos) << log;
}

TEST(AutoReactPage, AddEmptiesTheEditsAndStaysInAddMode) {
  PluginSession s;
  s.Start();
  AddRule(s, "hello", "hi");
  AddRule(s, " ", "space");  // only a length of 0 is empty
  AddRule(s, "hello", "again");  // keywords need not be unique
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"hello", "hi"}, {" ", "space"}, {"hello", "again"}}));
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(ResEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");
  const auto selected = t::ReadListView(ReactPage(s), IDC_REACT_LIST).selected;
  EXPECT_EQ(std::count(selected.begin(), selected.end(), true), 0);
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
}

TEST(AutoReactPage, EmptyTextsAreRefusedWithTheKeywordCheckedFirst) {
  PluginSession s;
  s.Start();
  ASSERT_TRUE(t::Click(ReactPage(s), IDC_REACT_ADD));
  ASSERT_EQ(s.desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(s.desktop.messageBoxes[0].text, "反応語句が空です。");
  EXPECT_EQ(s.desktop.messageBoxes[0].caption, "エラー");
  EXPECT_EQ(s.desktop.messageBoxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(s.desktop.messageBoxes[0].owner, ReactPage(s));

  TypeRule(s, "word", "");
  t::Click(ReactPage(s), IDC_REACT_ADD);
  ASSERT_EQ(s.desktop.messageBoxes.size(), 2u);
  EXPECT_EQ(s.desktop.messageBoxes[1].text, "レスが空です。");
  EXPECT_EQ(s.desktop.messageBoxes[1].caption, "エラー");
  EXPECT_TRUE(Rows(s).empty());
  EXPECT_EQ(WordEdit(s), "word");

  // The same checks hold in change mode, and nothing is rewritten.
  AddRule(s, "a", "b");
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 0);
  t::ClearText(ReactPage(s), IDC_REACT_RES);
  t::Click(ReactPage(s), IDC_REACT_ADD);
  EXPECT_EQ(s.desktop.messageBoxes.back().text, "レスが空です。");
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"a", "b"}}));
  EXPECT_EQ(AddButton(s), "変更");
}

TEST(AutoReactPage, ClickingARowEntersChangeModeAndEmptySpaceLeavesIt) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(3));
  s.Start();
  ASSERT_TRUE(t::ClickRow(ReactPage(s), IDC_REACT_LIST, 1));
  EXPECT_EQ(WordEdit(s), "w1");
  EXPECT_EQ(ResEdit(s), "r1");
  EXPECT_EQ(AddButton(s), "変更");

  TypeRule(s, "new", "text");
  t::Click(ReactPage(s), IDC_REACT_ADD);
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"w0", "r0"}, {"new", "text"}, {"w2", "r2"}}));
  EXPECT_EQ(WordEdit(s), "new");  // a change keeps the edits and the mode
  EXPECT_EQ(AddButton(s), "変更");

  ASSERT_TRUE(t::ClickRow(ReactPage(s), IDC_REACT_LIST, -1));
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(ResEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");
  AddRule(s, "added", "at the end");
  EXPECT_EQ(Rows(s).size(), 4u);
  EXPECT_EQ(Rows(s).back(), (Row{"added", "at the end"}));
}

TEST(AutoReactPage, NinetyNineRowsAtMostOnAddButChangesStillWork) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(98));
  s.Start();
  AddRule(s, "99th", "fits");
  EXPECT_EQ(Rows(s).size(), 99u);
  EXPECT_TRUE(s.desktop.messageBoxes.empty());

  AddRule(s, "100th", "refused");
  EXPECT_EQ(Rows(s).size(), 99u);
  ASSERT_EQ(s.desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(s.desktop.messageBoxes[0].text, "登録個数が多すぎます！");
  EXPECT_EQ(s.desktop.messageBoxes[0].owner, SettingWindow(s)) << "the box belongs to the window the person works in";
  EXPECT_EQ(s.desktop.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_NE(s.desktop.messageBoxes[0].caption, "エラー");
  EXPECT_EQ(WordEdit(s), "100th");
  EXPECT_EQ(ResEdit(s), "refused");

  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 50);
  TypeRule(s, "changed", "row");
  t::Click(ReactPage(s), IDC_REACT_ADD);
  EXPECT_EQ(Rows(s)[50], (Row{"changed", "row"}));
  EXPECT_EQ(s.desktop.messageBoxes.size(), 1u);
}

TEST(AutoReactPage, WithSeveralRowsSelectedTheLowestIsLoadedAndChangedAndDeleteRemovesAll) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(5));
  s.Start();
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 3);
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 1, 0, t::Keys::Control);
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 4, 0, t::Keys::Control);
  EXPECT_EQ(WordEdit(s), "w1");
  TypeRule(s, "first", "selected");
  t::Click(ReactPage(s), IDC_REACT_ADD);
  EXPECT_EQ(Rows(s)[1], (Row{"first", "selected"}));
  EXPECT_EQ(Rows(s)[3], (Row{"w3", "r3"}));

  ASSERT_TRUE(t::Click(ReactPage(s), IDC_REACT_DELETE));
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"w0", "r0"}, {"w2", "r2"}}));
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(ResEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");
}

TEST(AutoReactPage, DeleteWithNothingSelectedOnlyReturnsToAddMode) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(2));
  s.Start();
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 0);
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 0, 0, t::Keys::Control);  // deselects the row again
  TypeRule(s, "typed", "text");
  t::Click(ReactPage(s), IDC_REACT_DELETE);
  EXPECT_EQ(Rows(s).size(), 2u);
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(ResEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");
}

TEST(AutoReactPage, KeyboardSelectionChangesNeitherEditsNorModeButAChangeFollowsIt) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(3));
  s.Start();
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 0);
  ASSERT_TRUE(t::SelectRowByKeyboard(ReactPage(s), IDC_REACT_LIST, 2));
  EXPECT_EQ(WordEdit(s), "w0");
  EXPECT_EQ(AddButton(s), "変更");
  t::Click(ReactPage(s), IDC_REACT_ADD);
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"w0", "r0"}, {"w1", "r1"}, {"w0", "r0"}}));

  // In add mode, moving with the keys keeps add mode: the button still appends.
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, -1);
  t::SelectRowByKeyboard(ReactPage(s), IDC_REACT_LIST, 1);
  AddRule(s, "x", "y");
  EXPECT_EQ(Rows(s).size(), 4u);
}

TEST(AutoReactPage, RightClickOnARowOffersDeleteAndBelowTheRowsNoMenu) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(3));
  s.Start();
  s.desktop.cursor = POINT{321, 123};
  ASSERT_TRUE(t::RightClickRow(ReactPage(s), IDC_REACT_LIST, 1));
  EXPECT_EQ(WordEdit(s), "w1");
  EXPECT_EQ(AddButton(s), "変更");
  const auto menu = t::CurrentMenu();
  ASSERT_TRUE(menu.has_value());
  EXPECT_EQ(menu->owner, ReactPage(s));
  EXPECT_EQ(menu->at.x, 321);
  EXPECT_EQ(menu->at.y, 123);
  ASSERT_EQ(menu->items.size(), 1u);
  EXPECT_EQ(menu->items[0].command, static_cast<UINT>(ID_DELETE_RULE));
  EXPECT_EQ(menu->items[0].text, "削除(&D)");
  ASSERT_TRUE(t::ChooseMenuItem(ID_DELETE_RULE));
  EXPECT_EQ(Rows(s), (std::vector<Row>{{"w0", "r0"}, {"w2", "r2"}}));
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");

  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 0);
  ASSERT_TRUE(t::RightClickRow(ReactPage(s), IDC_REACT_LIST, -1));
  EXPECT_FALSE(t::CurrentMenu().has_value());
  EXPECT_EQ(WordEdit(s), "");
  EXPECT_EQ(AddButton(s), "追加");
}

TEST(AutoReactPage, EnterAndEscapeInAPageDoNothing) {
  PluginSession s;
  s.Start();
  TypeRule(s, "word", "res");
  t::PressEnter(ReactPage(s));
  t::PressEscape(ReactPage(s));
  EXPECT_TRUE(Rows(s).empty());
  EXPECT_TRUE(t::IsVisible(ReactPage(s)));
  EXPECT_TRUE(t::IsVisible(SettingWindow(s)));
  EXPECT_EQ(WordEdit(s), "word");
}

TEST(AutoReactPage, TheWelcomeFollowsEveryKeystroke) {
  PluginSession s;
  s.Start();
  t::Click(ReactPage(s), IDC_AUTO_WELCOME);
  t::ClearText(ReactPage(s), IDC_WELCOME_MESSAGE);
  t::TypeText(ReactPage(s), IDC_WELCOME_MESSAGE, "Welcome!");
  s.Join("guest123456789", "10.0.0.1", 6699, 9, 0);
  ASSERT_FALSE(s.sent.empty());
  EXPECT_EQ(s.sent.front(), "Welcome!");
}

TEST(AutoReactPage, RulesAreSavedInRowOrderWhateverTheColumnOrderOnScreen) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(4));
  s.Start();
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 1);
  t::Click(ReactPage(s), IDC_REACT_DELETE);
  ASSERT_TRUE(t::SetColumnOrder(ReactPage(s), IDC_REACT_LIST, {1, 0}));
  s.Shutdown();
  EXPECT_EQ(Saved(s, "React", "ReactNum"), "3");
  EXPECT_EQ(Saved(s, "KeyWord", "Word[0]"), "w0");
  EXPECT_EQ(Saved(s, "KeyWord", "Word[1]"), "w2");
  EXPECT_EQ(Saved(s, "ResMsg", "Msg[2]"), "r3");
  EXPECT_EQ(Saved(s, "KeyWord", "Word[3]"), "w3");  // stale, kept from the longer table
}

TEST(SettingsWindow, TabsShowTheirPage) {
  PluginSession s;
  s.Start();
  ASSERT_TRUE(t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 1));
  EXPECT_FALSE(t::IsVisible(ReactPage(s)));
  EXPECT_TRUE(t::IsVisible(LogPage(s)));
  ASSERT_TRUE(t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 0));
  EXPECT_TRUE(t::IsVisible(ReactPage(s)));
  EXPECT_FALSE(t::IsVisible(LogPage(s)));
}

TEST(SettingsWindow, HidingAndShowingAgainKeepsTabTextsSelectionAndMode) {
  PluginSession s;
  s.WriteFile("Pellix.ini", RuleIni(3));
  s.Start();
  t::ClickRow(ReactPage(s), IDC_REACT_LIST, 2);
  t::TypeText(ReactPage(s), IDC_REACT_WORD, "+");
  t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 1);
  t::TypeText(LogPage(s), IDC_CHECK_USER, "someone");
  ASSERT_TRUE(t::CloseBox(SettingWindow(s)));
  EXPECT_FALSE(t::IsVisible(SettingWindow(s)));

  EXPECT_EQ(s.Say("#setting"), std::nullopt);
  EXPECT_TRUE(t::IsVisible(SettingWindow(s)));
  EXPECT_EQ(t::ReadTabs(SettingWindow(s), IDC_SETTING_TAB).curSel, 1);
  EXPECT_TRUE(t::IsVisible(LogPage(s)));
  EXPECT_EQ(t::ControlText(LogPage(s), IDC_CHECK_USER), "someone");
  t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 0);
  EXPECT_EQ(WordEdit(s), "w2+");
  EXPECT_EQ(AddButton(s), "変更");
  EXPECT_EQ(t::ReadListView(ReactPage(s), IDC_REACT_LIST).selected, (std::vector<bool>{false, false, true}));
}

TEST(LogSettingPage, EveryBoxAndTheWatchedNameWriteAtOnce) {
  PluginSession s;
  s.Start();
  t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 1);
  struct Box {
    int id;
    const char* section;
    const char* key;
  };
  const Box boxes[] = {{IDC_AUTO_LOG, "LogSwitch", "AutoLog"},     {IDC_TIME_STUMP, "LogSwitch", "TimeStump"},
                       {IDC_EVENT_DLG, "Switch", "EventDlg"},      {IDC_HTML, "LogSwitch", "HTML"},
                       {IDC_ENTER_LOG, "LogSwitch", "EnterLog"},   {IDC_LEAVE_LOG, "LogSwitch", "LeaveLog"},
                       {IDC_RENAME_LOG, "LogSwitch", "RenameLog"}, {IDC_MESSAGE_LOG, "LogSwitch", "MessageLog"},
                       {IDC_RCMS_LOG, "LogSwitch", "RCMSLog"},     {IDC_URL_LOG, "LogSwitch", "URLLog"},
                       {IDC_WRITE_TYPE, "LogSwitch", "WriteType"}, {IDC_NAME_INCLUDE, "LogSwitch", "NameInclude"}};
  for (const Box& box : boxes) {
    const bool wasChecked = t::IsChecked(LogPage(s), box.id);
    ASSERT_TRUE(t::Click(LogPage(s), box.id)) << box.key;
    s.Exit();
    EXPECT_EQ(Saved(s, box.section, box.key), wasChecked ? "0" : "1") << box.key;
  }
  t::TypeText(LogPage(s), IDC_CHECK_USER, "名前");
  s.Exit();
  EXPECT_EQ(Saved(s, "LogSettings", "CheckUser"), "名前");
}

// Every row of the settings table through the windows: its control shows the default, and
// acting on the control changes that setting and no other in the saved file.
TEST(SettingsWindow, EachSettingsControlShowsItsDefaultAndWritesOnlyItsOwnKey) {
  PluginSession s;
  s.Start();
  const auto& settings = pellix::kPluginSettings<CSettingDlg>;
  std::vector<std::string> saved;
  for (const auto& row : settings) {
    saved.push_back(row.kind == pellix::SettingKind::Flag     ? std::to_string(row.defaultFlag)
                    : row.kind == pellix::SettingKind::Folder ? s.home
                                                              : row.defaultText);
  }
  for (std::size_t i = 0; i < std::size(settings); ++i) {
    const auto& row = settings[i];
    SCOPED_TRACE(row.key);
    t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, row.dialog == IDD_LOGSETTING ? 1 : 0);
    const HWND window = s.Dialog(row.dialog);
    switch (row.kind) {
      case pellix::SettingKind::Flag:
        EXPECT_EQ(t::IsChecked(window, row.control), row.defaultFlag != 0);
        ASSERT_TRUE(t::Click(window, row.control));
        saved[i] = row.defaultFlag != 0 ? "0" : "1";
        break;
      case pellix::SettingKind::Text:
        EXPECT_EQ(t::ControlText(window, row.control), row.defaultText);
        ASSERT_TRUE(t::TypeText(window, row.control, "名"));
        saved[i] += "名";
        break;
      case pellix::SettingKind::Folder:  // shown read-only, chosen with the folder picker
        EXPECT_EQ(t::ControlText(window, row.control), s.home);
        s.desktop.folderAnswers.push_back(s.home + "logs");
        ASSERT_TRUE(t::Click(window, IDC_BROWSE));
        saved[i] = s.home + "logs" + pellix::kPathSeparator;
        EXPECT_EQ(t::ControlText(window, row.control), saved[i]);
        break;
    }
    s.Exit();
    for (std::size_t j = 0; j < std::size(settings); ++j) {
      EXPECT_EQ(Saved(s, settings[j].section, settings[j].key), saved[j]) << settings[j].key;
    }
  }
}

TEST(LogSettingPage, TheFolderPickerSetsTheFolderWithOneSeparatorAndCancelKeepsIt) {
  PluginSession s;
  s.Start();
  t::SelectTab(SettingWindow(s), IDC_SETTING_TAB, 1);
  ASSERT_TRUE(t::Click(LogPage(s), IDC_BROWSE));  // no answer queued: a cancel
  ASSERT_EQ(s.desktop.folderPickerTitles.size(), 1u);
  EXPECT_EQ(s.desktop.folderPickerTitles[0], "ログ保存先を指定してください");
  EXPECT_EQ(t::ControlText(LogPage(s), IDC_DIRECTORY), s.home);

  s.desktop.folderAnswers.push_back("/");
  t::Click(LogPage(s), IDC_BROWSE);
  EXPECT_EQ(t::ControlText(LogPage(s), IDC_DIRECTORY), "/");
  s.desktop.folderAnswers.push_back("/var/tmp");
  t::Click(LogPage(s), IDC_BROWSE);
  EXPECT_EQ(t::ControlText(LogPage(s), IDC_DIRECTORY), std::string("/var/tmp") + pellix::kPathSeparator);
  EXPECT_FALSE(t::TypeText(LogPage(s), IDC_DIRECTORY, "x"));  // read-only
  s.Exit();
  EXPECT_EQ(Saved(s, "LogSettings", "Directory"), std::string("/var/tmp") + pellix::kPathSeparator);
}

TEST(SettingsWindow, BadIniFilesGiveDefaultsOrCutValues) {
  PluginSession s;
  std::string ini = RuleIni(150);
  ini += "[AutoWelcome]\r\nMessage=" + std::string(10000, 'm') + "\r\nMessage=second\r\nno equals sign here\r\n";
  ini += std::string("\x00\xFF\x81garbage\r\n", 12);
  s.WriteFile("Pellix.ini", ini);
  s.WriteFile("Zelkor.ini", std::string("\xFF\xFE[ColorSetting\r\n=5\r\n\x00", 22));
  s.Start();
  EXPECT_EQ(Rows(s).size(), 99u);
  EXPECT_EQ(t::ControlText(ReactPage(s), IDC_WELCOME_MESSAGE), std::string(255, 'm'));
}

TEST(SettingsWindow, AnUnwritableIniIsSilentAndNothingElseBreaks) {
  PluginSession s;
  std::filesystem::create_directory(s.home + "Pellix.ini");
  s.Start();
  EXPECT_TRUE(t::IsChecked(LogPage(s), IDC_HTML));
  AddRule(s, "a", "b");
  s.Shutdown();
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
  EXPECT_TRUE(std::filesystem::is_directory(s.home + "Pellix.ini"));
}

// The profile read trims values: a one-space keyword used to come back empty after a restart,
// a rule that never answers again.
TEST(AutoReactPage, BlanksAtTheEdgesOfRulesAndTheWelcomeSurviveARestart) {
  std::string savedIni;
  {
    PluginSession first;
    first.Start();
    AddRule(first, " ", "  spaced reply ");
    AddRule(first, "\"quoted\"", "'single'");
    t::ClearText(ReactPage(first), IDC_WELCOME_MESSAGE);
    t::TypeText(ReactPage(first), IDC_WELCOME_MESSAGE, " hi %NAME% ");
    first.Shutdown();
    savedIni = first.ReadFile("Pellix.ini");
  }
  EXPECT_NE(savedIni.find("Word[0]=\" \"\r\n"), std::string::npos) << savedIni;
  PluginSession second;
  second.WriteFile("Pellix.ini", savedIni);
  second.Start();
  EXPECT_EQ(Rows(second), (std::vector<Row>{{" ", "  spaced reply "}, {"\"quoted\"", "'single'"}}));
  EXPECT_EQ(t::ControlText(ReactPage(second), IDC_WELCOME_MESSAGE), " hi %NAME% ");
  t::Click(ReactPage(second), IDC_AUTO_REACT);
  second.Chat("guest123456789", "a b");
  EXPECT_EQ(second.sent, (std::vector<std::string>{"  spaced reply "}));
}

// The module must really be unloaded between sessions: a page object left over from the last
// load would start in change mode and silently turn the next add into nothing.
TEST(AutoReactPage, EveryLoadStartsInAddModeWithFreshObjects) {
  {
    PluginSession first;
    first.WriteFile("Pellix.ini", RuleIni(1));
    first.Start();
    t::ClickRow(ReactPage(first), IDC_REACT_LIST, 0);
    ASSERT_EQ(AddButton(first), "変更");
    first.Shutdown();
  }
  PluginSession second;
  second.Start();
  AddRule(second, "fresh", "start");
  EXPECT_EQ(Rows(second), (std::vector<Row>{{"fresh", "start"}}));
}
