// The plug-in's life in the host: registration, the windows it creates at start, how they
// close and how everything goes away at the end.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fx/App.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"
#include "zelkor/HostServices.h"

namespace t = fx::testing;

namespace {

std::vector<int> TopLevelTemplates() {
  std::vector<int> ids;
  for (HWND window : t::TopLevelWindows()) ids.push_back(t::TemplateIdOf(window));
  return ids;
}

}  // namespace

TEST(Lifecycle, LoadRegistersThePluginWithItsTitle) {
  PluginSession s;
  s.Start();
  ASSERT_NE(s.plugin(), nullptr);
  EXPECT_EQ(zelkor::RegisteredPlugin().title, "Pellix Ver.1.6b");
  EXPECT_FALSE(zelkor::RegisteredPlugin().author.empty());
}

TEST(Lifecycle, StartCreatesTheThreeWindowsInOrderOwnedByTheMainWindow) {
  PluginSession s;
  s.Start();
  // The host's main window comes first, then the event log, settings and URL windows.
  EXPECT_EQ(TopLevelTemplates(), (std::vector<int>{-1, IDD_EVENTLOG, IDD_SETTING, IDD_URL}));
  const HWND main = t::TopLevelWindows().front();
  for (int id : {IDD_EVENTLOG, IDD_SETTING, IDD_URL}) {
    CWnd* window = CWnd::FromHandle(s.Dialog(id));
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->GetOwner(), nullptr);
    EXPECT_EQ(window->GetOwner()->m_hWnd, main);
    EXPECT_TRUE(t::IsVisible(s.Dialog(id))) << id;
  }
  EXPECT_EQ(t::WindowText(s.Dialog(IDD_EVENTLOG)), "イベントログ");
  EXPECT_EQ(t::WindowText(s.Dialog(IDD_SETTING)), "設定ダイアログ");
  EXPECT_EQ(t::WindowText(s.Dialog(IDD_URL)), "URLダイアログ");
}

TEST(Lifecycle, HidingSwitchesLeaveOnlyTheUrlWindowOnScreen) {
  PluginSession s;
  s.WriteFile("Pellix.ini", "[Switch]\r\nSetDlg=1\r\nEventDlg=1\r\n");
  s.Start();
  EXPECT_FALSE(t::IsVisible(s.Dialog(IDD_SETTING)));
  EXPECT_FALSE(t::IsVisible(s.Dialog(IDD_EVENTLOG)));
  EXPECT_TRUE(t::IsVisible(s.Dialog(IDD_URL)));
}

TEST(Lifecycle, EnterEscapeAndTheCloseBoxOnlyHide) {
  for (int id : {IDD_EVENTLOG, IDD_SETTING}) {
    PluginSession s;
    s.Start();
    const HWND dialog = s.Dialog(id);
    EXPECT_TRUE(t::PressEnter(dialog));
    EXPECT_FALSE(t::IsVisible(dialog)) << id;
    CWnd::FromHandle(dialog)->ShowWindow(SW_SHOW);
    EXPECT_TRUE(t::PressEscape(dialog));
    EXPECT_FALSE(t::IsVisible(dialog)) << id;
    CWnd::FromHandle(dialog)->ShowWindow(SW_SHOW);
    EXPECT_TRUE(t::CloseBox(dialog));
    EXPECT_FALSE(t::IsVisible(dialog)) << id;
    EXPECT_EQ(s.Dialog(id), dialog) << "closing must not destroy window " << id;
  }
}

TEST(Lifecycle, EnterInTheUrlWindowDoesNotHideIt) {
  PluginSession s;
  s.Start();
  const HWND url = s.Dialog(IDD_URL);
  EXPECT_TRUE(t::PressEnter(url));
  EXPECT_TRUE(t::IsVisible(url));
  EXPECT_TRUE(t::CloseBox(url));
  EXPECT_FALSE(t::IsVisible(url));
}

TEST(Lifecycle, ShutdownDestroysThePluginWindowsBeforeUnload) {
  PluginSession s;
  s.Start();
  s.Shutdown();
  EXPECT_TRUE(t::TopLevelWindows().empty());
  EXPECT_EQ(zelkor::RegisteredPlugin().plugin, nullptr);
}

namespace {

bool PluginModuleMapped() {
#ifdef _WIN32  // no /proc: ask the loader
  return ::GetModuleHandleW(L"Pellix.dll") != nullptr;
#endif
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find("/Pellix.so") != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(Lifecycle, ShutdownReallyUnloadsTheModule) {
  PluginSession s;
  s.Start();
  EXPECT_TRUE(PluginModuleMapped());
  s.Shutdown();
  EXPECT_FALSE(PluginModuleMapped()) << "something in the module keeps it loaded";
}

// Each round leaves the rule page in change mode with a rule in its edits, state of the page
// object that no load or start resets: a module whose objects outlived the unload would show
// the rule in the next round's edits.
TEST(Lifecycle, EachLoadStartsFromFreshObjects) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    PluginSession s;
    s.WriteFile("Pellix.ini", "[React]\r\nReactNum=1\r\n[KeyWord]\r\nWord[0]=w0\r\n[ResMsg]\r\nMsg[0]=r0\r\n");
    s.Start();
    const HWND eventLog = s.Dialog(IDD_EVENTLOG);
    const HWND rules = s.Dialog(IDD_AUTOREACT);
    EXPECT_TRUE(t::IsVisible(eventLog));
    EXPECT_EQ(t::ControlText(rules, IDC_REACT_WORD), "");
    EXPECT_EQ(t::ControlText(rules, IDC_REACT_RES), "");
    EXPECT_EQ(t::ControlText(rules, IDC_REACT_ADD), "追加");

    t::PressEscape(eventLog);
    ASSERT_TRUE(t::ClickRow(rules, IDC_REACT_LIST, 0));
    ASSERT_EQ(t::ControlText(rules, IDC_REACT_WORD), "w0");
    s.Shutdown();
  }
}

// A null record is ignored; a null name or text inside a record reads as empty text. With every
// answer and record switched on, only the records the host really gave leave a trace.
TEST(Lifecycle, NullRecordsAndTextsFromTheHostAreHarmless) {
  PluginSession s;
  s.WriteFile("Pellix.ini",
              "[AutoWelcome]\r\nAutoWelcome=1\r\nMessage=ようこそ%NAME%さん\r\n[LogSwitch]\r\nRCMSLog=1\r\n"
              "URLLog=1\r\n[React]\r\nAutoReact=1\r\nReactNum=1\r\n[KeyWord]\r\nWord[0]=a\r\n"
              "[ResMsg]\r\nMsg[0]=b\r\n");
  s.Start();
  CZelkorPlugin* plugin = s.plugin();
  ASSERT_NE(plugin, nullptr);
  // The calls go to the plug-in directly; the host would run its loop after each.
  const auto rows = [&] {
    fx::PumpMessages();
    return t::ReadListView(s.Dialog(IDD_EVENTLOG), IDC_EVENT_LIST).rows;
  };

  plugin->OnJoinUser(1, nullptr);
  plugin->OnLeaveUser(1, nullptr);
  plugin->OnRenameUser(1, nullptr);
  plugin->OnInputText(1, nullptr);
  plugin->OnEnterChannel(1, nullptr, nullptr);
  EXPECT_TRUE(rows().empty());
  EXPECT_TRUE(s.sent.empty());
  EXPECT_TRUE(s.echoes.empty());

  plugin->OnChatMessage(1, nullptr, nullptr, 1);
  const JoinUserInfo join{nullptr, 0x0100007F, 6699, 9, 3};
  plugin->OnJoinUser(1, &join);
  const LeaveUserInfo leave{nullptr, 0x0100007F, 6699};
  plugin->OnLeaveUser(1, &leave);
  const RenameUserInfo rename{nullptr, {}, nullptr, 0x0100007F, 6699};
  plugin->OnRenameUser(1, &rename);  // "" to "": no rename
  plugin->OnCloseClient(1);

  // The chat line and the join and leave records, each with its empty name.
  using Row = std::vector<std::string>;
  EXPECT_EQ(rows(), (std::vector<Row>{{"09:05:07", "発言", "<> "},
                                      {"09:05:07", "入室", " (T1 3 files)[0100007F1A2B]"},
                                      {"09:05:07", "退室", " [0100007F1A2B]"}}));
  EXPECT_EQ(s.sent, (std::vector<std::string>{"ようこそさん"}));
  EXPECT_TRUE(s.echoes.empty());
}
