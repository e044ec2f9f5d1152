// The event log window: how it looks and what a person can do with its rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eventlog/EventLogDlg.h"
#include "fx/App.h"
#include "fx/ListCtrl.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kTextName = "EventLog[01月03日09時05分07秒].txt";
// URLs found in chat are recorded, the chat lines themselves are not: a URL line gives one row.
constexpr const char* kUrlRowsIni = "[LogSwitch]\r\nHtml=0\r\nURLLog=1\r\nMessageLog=0\r\n";

struct EventLogWindow {
  PluginSession s;
  HWND dialog = nullptr;

  explicit EventLogWindow(const char* ini = "[LogSwitch]\r\nHtml=0\r\n") {
    s.WriteFile("Pellix.ini", ini);
    s.Start();
    dialog = s.Dialog(IDD_EVENTLOG);
  }
  t::ListViewState List() const { return t::ReadListView(dialog, IDC_EVENT_LIST); }
  CListCtrl& Control() const {
    return *static_cast<CListCtrl*>(CWnd::FromHandle(t::FindControl(dialog, IDC_EVENT_LIST)));
  }
  // Rows a test needs beyond the ones events give (a given label, an over-long cell) go
  // straight into the window's rows, as chat rows whatever their cells say; then the loop runs,
  // as the host runs it after every event.
  void AddRow(const std::string& time, const std::string& label, const std::string& detail) const {
    static_cast<CEventLogDlg*>(CWnd::FromHandle(dialog))->AppendRow(pellix::RecordKind::Chat, time, label, detail);
    fx::PumpMessages();
  }
  // A URL's row, as a URL seen in chat adds it (with kUrlRowsIni).
  void AddUrlRow(const std::string& url) { s.Chat("taro123456789", url); }
  std::vector<UINT> MenuCommands() const {
    std::vector<UINT> commands;
    if (const auto menu = t::CurrentMenu())
      for (const auto& item : menu->items) commands.push_back(item.command);
    return commands;
  }
};

}  // namespace

TEST(EventLogWindow, LooksAsDesigned) {
  EventLogWindow w;
  EXPECT_EQ(t::IconId(w.dialog), IDI_EVENTLOG);
  const t::ListViewState list = w.List();
  ASSERT_EQ(list.columns.size(), 3u);
  EXPECT_EQ(list.columns[0].heading, "時刻");
  EXPECT_EQ(list.columns[1].heading, "イベント");
  EXPECT_EQ(list.columns[2].heading, "ステータス");
  EXPECT_EQ(list.columns[0].format, LVCFMT_LEFT);
  EXPECT_EQ(list.columns[1].format, LVCFMT_CENTER);
  EXPECT_EQ(list.columns[2].format, LVCFMT_LEFT);
  EXPECT_EQ(list.columns[0].width, 50);
  EXPECT_EQ(list.columns[1].width, 60);
  EXPECT_EQ(list.columns[2].width, 250);
  EXPECT_EQ(list.bkColor, 0u);
  EXPECT_EQ(list.textColor, 0xFFFFFFu);
  EXPECT_EQ(list.textBkColor, 0u);
  EXPECT_EQ(list.extendedStyle, 0x30u);
}

TEST(EventLogWindow, NewRowsAreNeitherSelectedNorChangeTheSelection) {
  EventLogWindow w;
  w.s.Say("#start");
  ASSERT_TRUE(t::ClickRow(w.dialog, IDC_EVENT_LIST, 0));
  w.s.Say("#end");
  EXPECT_EQ(w.List().selected, (std::vector<bool>{true, false}));
}

TEST(EventLogWindow, DoubleClickCopiesOneCellAndBeeps) {
  EventLogWindow w;
  w.s.Say("#start");
  w.s.desktop.beeps.clear();
  ASSERT_TRUE(t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, 0, 2));
  EXPECT_EQ(w.s.desktop.clipboard, std::vector<std::string>{kTextName});
  EXPECT_EQ(w.s.desktop.beeps, std::vector<UINT>{MB_ICONASTERISK});
  EXPECT_EQ(w.s.desktop.clipboardOwners, std::vector<HWND>{w.dialog}) << "opened once, by the window";
  EXPECT_FALSE(w.s.desktop.clipboardOpen);

  t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, -1, 0);
  EXPECT_EQ(w.s.desktop.clipboard.size(), 1u);
  EXPECT_EQ(w.s.desktop.beeps.size(), 1u);
}

TEST(EventLogWindow, BusyClipboardCopiesNothingButTheDoubleClickStillBeeps) {
  EventLogWindow w;
  w.s.Say("#start");
  w.s.desktop.beeps.clear();
  w.s.desktop.clipboardBusy = true;
  ASSERT_TRUE(t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, 0, 0));
  EXPECT_TRUE(w.s.desktop.clipboard.empty());
  EXPECT_TRUE(w.s.desktop.clipboardOwners.empty()) << "no second attempt to open it";
  EXPECT_EQ(w.s.desktop.beeps.size(), 1u);
}

TEST(EventLogWindow, ATextTheClipboardRefusesLeavesItClosedForTheNextCopy) {
  EventLogWindow w;
  w.s.Say("#start");
  w.s.desktop.beeps.clear();
  w.s.desktop.clipboardRefusesText = true;
  ASSERT_TRUE(t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, 0, 1));
  EXPECT_TRUE(w.s.desktop.clipboard.empty());
  EXPECT_FALSE(w.s.desktop.clipboardOpen);
  EXPECT_EQ(w.s.desktop.beeps.size(), 1u) << "the beep still sounds";

  w.s.desktop.clipboardRefusesText = false;
  ASSERT_TRUE(t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, 0, 1));
  EXPECT_EQ(w.s.desktop.clipboard, std::vector<std::string>{"開始"});
}

TEST(EventLogWindow, CopyAllGivesTheRowInColumnOrderWhateverTheScreenOrder) {
  EventLogWindow w;
  w.AddRow("09:05:07", "停止", "abc");
  ASSERT_TRUE(t::SetColumnOrder(w.dialog, IDC_EVENT_LIST, {2, 0, 1}));
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0, 0));
  ASSERT_TRUE(t::ChooseMenuItem(ID_COPY_ALL));
  EXPECT_EQ(w.s.desktop.clipboard, std::vector<std::string>{"| 09:05:07 | 停止 | abc |"});

  w.s.Say("#start");
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 1, 2));
  ASSERT_TRUE(t::ChooseMenuItem(ID_COPY_ALL));
  EXPECT_EQ(w.s.desktop.clipboard.back(), "| 09:05:07 | 開始 | " + kTextName + " |");
}

TEST(EventLogWindow, MenuIsChosenByTheRowsKindNotItsLabel) {
  EventLogWindow w(kUrlRowsIni);
  w.AddUrlRow("http://example.com/");
  w.AddRow("09:05:07", "url", "http://example.com/");
  w.AddRow("09:05:07", "発言", "http://example.com/");
  w.AddRow("09:05:07", "URL", "http://example.com/");

  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0));
  EXPECT_EQ(w.MenuCommands(), (std::vector<UINT>{ID_OPEN_URL, ID_COPY_ALL, 0, ID_CLEAR_LOG}));
  const auto menu = t::CurrentMenu();
  ASSERT_TRUE(menu.has_value());
  EXPECT_EQ(menu->owner, w.dialog);
  EXPECT_EQ(menu->at.x, w.s.desktop.cursor.x);
  EXPECT_EQ(menu->at.y, w.s.desktop.cursor.y);
  t::DismissMenu();

  for (int row : {1, 2, 3}) {
    ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, row));
    EXPECT_EQ(w.MenuCommands(), (std::vector<UINT>{ID_COPY_ALL, 0, ID_CLEAR_LOG})) << row;
    t::DismissMenu();
  }

  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, -1));
  EXPECT_FALSE(t::CurrentMenu().has_value());
}

TEST(EventLogWindow, OpenHandsTheDetailToTheShell) {
  EventLogWindow w(kUrlRowsIni);
  w.AddUrlRow("http://example.com/a?b=1");
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0));
  ASSERT_TRUE(t::ChooseMenuItem(ID_OPEN_URL));
  EXPECT_EQ(w.s.desktop.shellOpens, std::vector<std::string>{"http://example.com/a?b=1"});
}

TEST(EventLogWindow, ABurstOfEventsShowsWholeWhenTheLoopNextRuns) {
  EventLogWindow w;
  w.s.Chat("taro", "first");
  ASSERT_TRUE(t::ClickRow(w.dialog, IDC_EVENT_LIST, 0));
  // Lines that arrive together, before the loop runs again (a live channel's read).
  for (const char* text : {"a", "b", "c"}) w.s.plugin()->OnChatMessage(1, "taro", text, 0);
  fx::PumpMessages();
  const t::ListViewState list = w.List();
  ASSERT_EQ(list.rows.size(), 4u);
  EXPECT_EQ(list.rows[3][2], "<taro> c");
  EXPECT_EQ(list.selected, (std::vector<bool>{true, false, false, false}));
}

TEST(EventLogWindow, ClearWhileRecordingKeepsRecording) {
  EventLogWindow w;
  w.s.Say("#start");
  w.s.Chat("taro", "before");
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0));
  ASSERT_TRUE(t::ChooseMenuItem(ID_CLEAR_LOG));
  EXPECT_TRUE(w.List().rows.empty());
  w.s.Chat("taro", "after");
  ASSERT_EQ(w.List().rows.size(), 1u);
  EXPECT_EQ(w.List().rows[0][1], "発言");
  EXPECT_EQ(w.s.ReadFile(reinterpret_cast<const char*>(u8"EventLog[01月03日09時05分07秒].txt")),
            "[09:05:07] 発言 <taro> before\r\n[09:05:07] 発言 <taro> after\r\n");
}

TEST(EventLogWindow, CommandsWithoutASelectedRowDoNothing) {
  EventLogWindow w(kUrlRowsIni);
  w.AddUrlRow("http://example.com/");
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0));
  // The selection goes before the command arrives.
  w.Control().SetItemState(0, 0, LVIS_SELECTED);
  for (UINT command : {ID_COPY_ALL, ID_OPEN_URL, ID_CLEAR_LOG}) {
    CWnd::FromHandle(w.dialog)->SendMessage(WM_COMMAND, command, 0);
  }
  EXPECT_TRUE(w.s.desktop.clipboard.empty());
  EXPECT_TRUE(w.s.desktop.shellOpens.empty());
  EXPECT_EQ(w.List().rows.size(), 1u);
}

TEST(EventLogWindow, LongCellsAreTakenUpTo1023Bytes) {
  EventLogWindow w(kUrlRowsIni);
  std::string longText;
  while (longText.size() < 3000) longText += "ア";  // two bytes each: byte 1023 is a lead byte's pair
  w.AddRow(longText, longText, longText);

  ASSERT_TRUE(t::DoubleClickRow(w.dialog, IDC_EVENT_LIST, 0, 1));
  ASSERT_EQ(w.s.desktop.clipboard.size(), 1u);
  EXPECT_EQ(w.s.desktop.clipboard[0], longText.substr(0, 1022));

  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 0));
  ASSERT_TRUE(t::ChooseMenuItem(ID_COPY_ALL));
  const std::string cell = longText.substr(0, 1022);
  EXPECT_EQ(w.s.desktop.clipboard[1], "| " + cell + " | " + cell + " | " + cell + " |");

  w.AddUrlRow("http://x/" + std::string(2000, 'p'));
  ASSERT_TRUE(t::RightClickRow(w.dialog, IDC_EVENT_LIST, 1));
  ASSERT_TRUE(t::ChooseMenuItem(ID_OPEN_URL));
  ASSERT_EQ(w.s.desktop.shellOpens.size(), 1u);
  EXPECT_EQ(w.s.desktop.shellOpens[0].size(), 1023u);
}

TEST(EventLogWindow, ResizingKeepsTheListFillingTheClientArea) {
  EventLogWindow w;
  const HWND list = t::FindControl(w.dialog, IDC_EVENT_LIST);
  for (const auto& [width, height] : {std::pair{600, 450}, std::pair{120, 80}}) {
    ASSERT_TRUE(t::Resize(w.dialog, width, height));
    const RECT rect = t::WindowRect(list);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, width);
    EXPECT_EQ(rect.bottom, height);
  }
}

TEST(EventLogWindow, HidingKeepsTheRowsAndEventShowsThemAgain) {
  EventLogWindow w;
  w.s.Say("#start");
  const Rows before = w.List().rows;
  for (auto hide : {t::PressEnter, t::PressEscape, t::CloseBox}) {
    ASSERT_TRUE(hide(w.dialog));
    EXPECT_FALSE(t::IsVisible(w.dialog));
    EXPECT_EQ(w.s.Say("#event"), std::nullopt);
    EXPECT_TRUE(t::IsVisible(w.dialog));
    EXPECT_EQ(w.List().rows, before);
  }
}
