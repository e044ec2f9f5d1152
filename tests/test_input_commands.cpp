// The commands the local user types into the chat input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fx/App.h"
#include "fx/String.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Session {
  PluginSession s;
  Session() {
    s.WriteFile("Pellix.ini", "[LogSwitch]\r\nHtml=0\r\n");
    s.Start();
  }
  Rows EventRows() const { return t::ReadListView(s.Dialog(IDD_EVENTLOG), IDC_EVENT_LIST).rows; }
  std::vector<std::string> Labels() const {
    std::vector<std::string> labels;
    for (const auto& row : EventRows()) labels.push_back(row[1]);
    return labels;
  }
};

}  // namespace

TEST(InputCommands, ShowCommandsShowTheirWindowsAnyCaseAnywhereInTheLine) {
  const struct {
    const char* line;
    int dialog;
  } cases[] = {{"#Setting", IDD_SETTING}, {"please #EVENT now", IDD_EVENTLOG}, {"x#uRlx", IDD_URL}};
  for (const auto& c : cases) {
    Session w;
    const HWND dialog = w.s.Dialog(c.dialog);
    ASSERT_TRUE(t::CloseBox(dialog));
    ASSERT_FALSE(t::IsVisible(dialog));
    EXPECT_EQ(w.s.Say(c.line), std::nullopt) << c.line;
    EXPECT_TRUE(t::IsVisible(dialog)) << c.line;
    EXPECT_EQ(w.s.desktop.beeps, std::vector<UINT>{MB_ICONASTERISK}) << c.line;
  }
}

TEST(InputCommands, OrdinaryLinesPassUntouched) {
  Session w;
  EXPECT_EQ(w.s.Say("hello #star t #en d"), "hello #star t #en d");
  // The full-width sign is another character than the commands' "#".
  EXPECT_EQ(w.s.Say("＃start"), "＃start");
  EXPECT_TRUE(w.s.desktop.beeps.empty());
  EXPECT_TRUE(w.EventRows().empty());
}

TEST(InputCommands, StartTwiceShowsTheMessageAndOpensNoSecondFile) {
  Session w;
  EXPECT_EQ(w.s.Say("#START"), std::nullopt);
  w.s.SetTime(2026, 1, 3, 9, 5, 8);
  // The person worked in the settings window, then typed in the host's input line.
  ASSERT_TRUE(t::ClickRow(w.s.Dialog(IDD_AUTOREACT), IDC_REACT_LIST, -1));
  EXPECT_EQ(w.s.Say("#start"), std::nullopt);
  ASSERT_EQ(w.s.desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(w.s.desktop.messageBoxes[0].text, "ログは既に記録中です！");
  ASSERT_NE(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(w.s.desktop.messageBoxes[0].owner, AfxGetMainWnd()->m_hWnd) << "modal to the window typed in";
  EXPECT_EQ(w.s.desktop.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION)) << "the default icon";
  EXPECT_EQ(w.Labels(), std::vector<std::string>{"開始"});
  EXPECT_FALSE(w.s.FileExists(reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分08秒].txt")));
  EXPECT_EQ(w.s.desktop.beeps.size(), 2u);
}

TEST(InputCommands, EndWhileIdleBeepsAndEmptiesOnly) {
  Session w;
  EXPECT_EQ(w.s.Say("#End"), std::nullopt);
  EXPECT_EQ(w.s.desktop.beeps.size(), 1u);
  EXPECT_TRUE(w.EventRows().empty());
}

TEST(InputCommands, StartAndEndInOneLineStartThenStop) {
  Session w;
  EXPECT_EQ(w.s.Say("#end #start"), std::nullopt);  // table order, not line order
  EXPECT_EQ(w.Labels(), (std::vector<std::string>{"開始", "停止"}));
  EXPECT_EQ(w.s.desktop.beeps.size(), 2u);
  EXPECT_TRUE(w.s.desktop.messageBoxes.empty());
}

TEST(InputCommands, EveryCommandOfALineActs) {
  Session w;
  for (int id : {IDD_SETTING, IDD_EVENTLOG, IDD_URL}) ASSERT_TRUE(t::CloseBox(w.s.Dialog(id)));
  EXPECT_EQ(w.s.Say("#url #event #setting #start"), std::nullopt);
  for (int id : {IDD_SETTING, IDD_EVENTLOG, IDD_URL}) EXPECT_TRUE(t::IsVisible(w.s.Dialog(id))) << id;
  EXPECT_EQ(w.Labels(), std::vector<std::string>{"開始"});
  EXPECT_EQ(w.s.desktop.beeps.size(), 4u);
}

TEST(InputCommands, NullInputIsIgnored) {
  Session w;
  w.s.plugin()->OnInputText(1, nullptr);
  EXPECT_TRUE(w.s.desktop.beeps.empty());
  CString text("#start");
  w.s.plugin()->OnInputText(1, &text);
  fx::PumpMessages();  // as the host does after each call
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_EQ(w.Labels(), std::vector<std::string>{"開始"});
}
