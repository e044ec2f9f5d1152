// Contract tests of the framework's windows: the control semantics the plug-in relies on, the
// one dispatch path and the order in which windows go away. Written against fx's public API
// and the driver only, so that they can run against any backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fx/App.h"
#include "fx/Clipboard.h"
#include "fx/ComboBox.h"
#include "fx/DataExchange.h"
#include "fx/Desktop.h"
#include "fx/Dialog.h"
#include "fx/ListCtrl.h"
#include "fx/Menu.h"
#include "fx/Resources.h"
#include "fx/TabCtrl.h"
#include "fx/Testing.h"

namespace t = fx::testing;

namespace {

constexpr int kDialogId = 900;
constexpr int kChildId = 901;
constexpr int kList = 10, kMultiList = 11, kCombo = 12, kTab = 13, kCheck = 14, kEdit = 15, kButton = 16, kReadOnly = 17;
constexpr int kMenuId = 950;

constexpr fx::ControlTemplate kControls[] = {
    {IDOK, fx::ControlClass::Button, "OK", 0, 0, 40, 14, BS_DEFPUSHBUTTON},
    {kList, fx::ControlClass::ListView, "", 0, 20, 100, 50, LVS_REPORT | LVS_SINGLESEL},
    {kMultiList, fx::ControlClass::ListView, "", 0, 80, 100, 50, LVS_REPORT},
    {kCombo, fx::ControlClass::ComboBox, "", 110, 0, 80, 60, CBS_DROPDOWN},
    {kTab, fx::ControlClass::TabControl, "", 110, 70, 80, 40, 0},
    {kCheck, fx::ControlClass::Button, "check", 110, 120, 40, 10, BS_AUTOCHECKBOX},
    {kEdit, fx::ControlClass::Edit, "", 110, 140, 40, 12, ES_AUTOHSCROLL},
    {kButton, fx::ControlClass::Button, "push", 160, 140, 40, 12, BS_PUSHBUTTON},
    {kReadOnly, fx::ControlClass::Edit, "", 110, 160, 40, 12, ES_READONLY},
};
constexpr fx::ControlTemplate kChildControls[] = {
    {kEdit, fx::ControlClass::Edit, "", 0, 0, 40, 12, 0},
};
constexpr fx::DialogTemplate kDialogs[] = {
    {kDialogId, "test", 200, 180, "font", 9, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE, kControls},
    {kChildId, "", 50, 20, "font", 9, WS_CHILD | DS_CONTROL, kChildControls},
};
constexpr fx::MenuItemTemplate kItems[] = {{101, "one"}, {0, nullptr}, {102, "two"}};
constexpr fx::PopupTemplate kPopups[] = {{"popup", kItems}};
constexpr fx::MenuTemplate kMenus[] = {{kMenuId, kPopups}};
constexpr fx::IconTemplate kIcons[] = {{77, 0, 0xFFFFFF, 'T'}};
constexpr fx::ResourceTable kTable = {kDialogs, kMenus, kIcons};

std::vector<std::string>* g_events = nullptr;

class ChildDialog : public CDialog {
 public:
  CString text;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, kEdit, text); }
  afx_msg void OnDestroy() {
    // The child's own controls still exist while it is told that it goes away.
    if (g_events) g_events->push_back(GetDlgItem(kEdit) ? "child destroy, edit alive" : "child destroy, edit gone");
    CDialog::OnDestroy();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ChildDialog, CDialog)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

class BaseDialog : public CDialog {
 protected:
  afx_msg void OnButton() { g_events->push_back("base button"); }
  afx_msg void OnCheckInBase() { g_events->push_back("base check"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseDialog, CDialog)
  ON_BN_CLICKED(kButton, OnButton)
  ON_BN_CLICKED(kCheck, OnCheckInBase)
END_MESSAGE_MAP()

class TestDialog : public BaseDialog {
 public:
  CListCtrl list, multiList;
  CComboBox combo;
  CTabCtrl tab;
  int checked = 0;
  CString edit;
  ChildDialog child;
  int initialised = 0;
  int sizesBeforeControls = 0;
  std::vector<std::string> events;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    ++initialised;
    list.InsertColumn(0, "a");
    list.InsertColumn(1, "b");
    multiList.InsertColumn(0, "a");
    tab.InsertItem(0, "zero");
    tab.InsertItem(1, "one");
    child.Create(kChildId, this);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, kList, list);
    DDX_Control(dx, kMultiList, multiList);
    DDX_Control(dx, kCombo, combo);
    DDX_Control(dx, kTab, tab);
    DDX_Check(dx, kCheck, checked);
    DDX_Text(dx, kEdit, edit);
  }
  void OnOK() override { events.push_back("ok"); }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == 101) {
      events.push_back("menu 101");
      return TRUE;
    }
    return BaseDialog::OnCommand(wParam, lParam);
  }
  afx_msg void OnCheck() { events.push_back("derived check"); }
  afx_msg void OnEditChange() {
    CString now;
    GetDlgItemText(kEdit, now);
    events.push_back("edit " + std::string(now.View()));
  }
  afx_msg void OnListClick(NMHDR* header, LRESULT* result) {
    const auto* item = reinterpret_cast<NMITEMACTIVATE*>(header);
    events.push_back("click " + std::to_string(item->iItem) + "," + std::to_string(item->iSubItem));
    *result = 0;
  }
  afx_msg void OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (GetDlgItem(kList) == nullptr) {
      ++sizesBeforeControls;
      return;
    }
    events.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  afx_msg void OnDestroy() {
    if (g_events) g_events->push_back(child.m_hWnd ? "parent destroy, child alive" : "parent destroy, child gone");
    CDialog::OnDestroy();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, BaseDialog)
  ON_BN_CLICKED(kCheck, OnCheck)
  ON_EN_CHANGE(kEdit, OnEditChange)
  ON_NOTIFY(NM_CLICK, kMultiList, OnListClick)
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

class FxControls : public ::testing::Test {
 protected:
  void SetUp() override {
    fx::RegisterResources(&kTable);
    fx::SetDesktop(&desktop);
    main.CreateTopLevel("main", 640, 480);
    fx::SetMainWindow(&main);
    g_events = &dialog.events;
    ASSERT_TRUE(dialog.Create(kDialogId));
    dialog.events.clear();
  }
  void TearDown() override {
    g_events = nullptr;
    main.DestroyWindow();
    fx::SetMainWindow(nullptr);
    fx::SetDesktop(nullptr);
    fx::UnregisterResources(&kTable);
  }
  HWND hwnd() const { return dialog.m_hWnd; }

  t::RecordingDesktop desktop;
  CWnd main;
  TestDialog dialog;
};

}  // namespace

TEST_F(FxControls, CreationAttachesControlsAndShowsAVisibleTemplate) {
  EXPECT_EQ(dialog.initialised, 1);
  EXPECT_EQ(dialog.sizesBeforeControls, 1) << "a size message arrives before the controls exist";
  EXPECT_NE(dialog.list.m_hWnd, nullptr);
  EXPECT_TRUE(t::IsVisible(hwnd()));
  EXPECT_EQ(dialog.GetOwner()->m_hWnd, main.m_hWnd);
  EXPECT_FALSE(dialog.Create(kDialogId)) << "a window object makes one window";
  CDialog missing;
  EXPECT_FALSE(missing.Create(12345));
}

TEST_F(FxControls, ListViewRowsAndSelection) {
  CListCtrl& list = dialog.multiList;
  for (const char* text : {"r0", "r1", "r2", "r3"}) list.InsertItem(list.GetItemCount(), text);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetSelectedCount(), 0u);
  t::ClickRow(hwnd(), kMultiList, 1);
  t::ClickRow(hwnd(), kMultiList, 3, 0, t::Keys::Control);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), 0);
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(list.GetItemText(1, 0), "r2") << "later rows move up";
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2) << "the selection moves with its row";
  EXPECT_FALSE(list.DeleteItem(7));
  t::ClickRow(hwnd(), kMultiList, -1);
  EXPECT_EQ(list.GetSelectedCount(), 0u) << "a click below the rows clears the selection";
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"click 1,0", "click 3,0", "click -1,0"}));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(FxControls, SingleSelectionListAndKeyboardSelection) {
  CListCtrl& list = dialog.list;
  list.InsertItem(0, "a");
  list.InsertItem(1, "b");
  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  t::SelectRowByKeyboard(hwnd(), kList, 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
}

// Rows arriving in a burst, on a shown or a hidden window, are where a click expects them at
// once: nothing has to read the message queue first.
TEST_F(FxControls, ListRowsAddedInABurstCanBeClickedAtOnce) {
  CListCtrl& list = dialog.multiList;  // a few rows high
  for (int row = 0; row < 40; ++row) list.InsertItem(row, ("r" + std::to_string(row)).c_str());
  EXPECT_TRUE(t::ClickRow(hwnd(), kMultiList, 39));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 39) << "the last row is scrolled to and clicked";

  dialog.ShowWindow(SW_HIDE);
  for (int row = 40; row < 80; ++row) list.InsertItem(row, ("r" + std::to_string(row)).c_str());
  fx::PumpMessages();
  dialog.ShowWindow(SW_SHOW);
  EXPECT_TRUE(t::ClickRow(hwnd(), kMultiList, 79));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 79);
  EXPECT_EQ(list.GetItemText(79, 0), "r79");
}

TEST_F(FxControls, ListViewCellsAreCutAtCharacterBoundaries) {
  CListCtrl& list = dialog.list;
  list.InsertItem(0, "a");
  EXPECT_TRUE(list.SetItemText(0, 1, "xアイ"));
  EXPECT_FALSE(list.SetItemText(0, 2, "no such column"));
  char buffer[5];
  EXPECT_EQ(list.GetItemText(0, 1, buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer), "xア") << "a double-byte character is never split";
  EXPECT_EQ(list.GetItemText(5, 0), "");
  // A column the list does not have reads as empty, into a buffer too (once a read from a null
  // source).
  EXPECT_EQ(list.GetItemText(0, 2), "");
  EXPECT_EQ(list.GetItemText(0, 9, buffer, sizeof buffer), 0);
  EXPECT_EQ(std::string(buffer), "");
}

// Callers keep what they derive from the rows while the version stays the same, so every change
// of the rows must move it, and nothing else may be mistaken for the content it stood for.
TEST_F(FxControls, ListContentVersionMovesWithEveryChangeOfTheRows) {
  CListCtrl& list = dialog.list;  // two columns
  std::vector<std::uint64_t> seen{list.GetContentVersion(), dialog.multiList.GetContentVersion()};
  EXPECT_NE(seen[0], seen[1]) << "two lists never share a version";
  const auto changed = [&] {
    const std::uint64_t now = list.GetContentVersion();
    const bool fresh = std::find(seen.begin(), seen.end(), now) == seen.end();
    seen.push_back(now);
    return fresh;
  };
  list.InsertItem(0, "a");
  EXPECT_TRUE(changed()) << "insert";
  list.InsertItem(1, "b");
  EXPECT_TRUE(changed()) << "insert";
  list.SetItemText(1, 0, "c");
  EXPECT_TRUE(changed()) << "cell text";
  list.SetItemText(0, 1, "second column");
  EXPECT_TRUE(changed()) << "another column's text";
  t::ClickRow(hwnd(), kList, 0);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetItemText(0, 0), "a");
  EXPECT_EQ(list.GetContentVersion(), seen.back()) << "selecting and reading change no row";
  list.DeleteItem(0);
  EXPECT_TRUE(changed()) << "delete";
  list.DeleteAllItems();
  EXPECT_TRUE(changed()) << "delete all";
  list.InsertItem(0, "a");
  EXPECT_TRUE(changed()) << "the same row again is a new content";
  CListCtrl unattached;
  EXPECT_EQ(unattached.GetContentVersion(), 0u);
}

TEST_F(FxControls, ComboBoxListFieldAndSearches) {
  CComboBox& combo = dialog.combo;
  EXPECT_EQ(combo.AddString("abcd"), 0);
  EXPECT_EQ(combo.AddString("xyz"), 1);
  EXPECT_EQ(combo.AddString("ABx"), 2);
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(t::ReadCombo(hwnd(), kCombo).field, "xyz") << "selecting puts the text into the field";
  // A prefix search ignoring case, starting after the given item and wrapping round.
  EXPECT_EQ(combo.FindString(0, "ab"), 2);
  EXPECT_EQ(combo.FindString(2, "ab"), 0);
  EXPECT_EQ(combo.FindString(-1, "AB"), 0);
  EXPECT_EQ(combo.FindString(0, "abcde"), CB_ERR);
  EXPECT_EQ(combo.FindStringExact(0, "ABCD"), 0);
  EXPECT_EQ(combo.FindStringExact(0, "abc"), CB_ERR);
  EXPECT_EQ(combo.DeleteString(0), 2);
  EXPECT_EQ(combo.GetCurSel(), 0) << "the selection follows its item";
  EXPECT_EQ(combo.DeleteString(9), CB_ERR);
  t::PickComboItem(hwnd(), kCombo, 1);
  EXPECT_EQ(combo.GetCurSel(), 1);
  CString text;
  combo.GetWindowText(text);
  EXPECT_EQ(text, "ABx");
  t::TypeText(hwnd(), kCombo, "!");
  EXPECT_EQ(t::ReadCombo(hwnd(), kCombo).field, "ABx!");
}

TEST_F(FxControls, TabsCheckBoxesAndEdits) {
  EXPECT_EQ(dialog.tab.GetCurSel(), 0);
  EXPECT_EQ(dialog.tab.SetCurSel(1), 0);
  EXPECT_EQ(dialog.tab.GetCurSel(), 1);
  EXPECT_EQ(dialog.tab.SetCurSel(5), -1);

  t::Click(hwnd(), kCheck);
  EXPECT_TRUE(t::IsChecked(hwnd(), kCheck));
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"derived check"})) << "the derived table is searched first";
  dialog.events.clear();
  t::Click(hwnd(), kButton);
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"base button"})) << "then its base's";
  dialog.events.clear();

  t::TypeText(hwnd(), kEdit, "aア");
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"edit a", "edit aア"})) << "one change per character";
  dialog.UpdateData(TRUE);
  EXPECT_EQ(dialog.checked, 1);
  EXPECT_EQ(dialog.edit, "aア");
  EXPECT_FALSE(t::TypeText(hwnd(), kReadOnly, "x")) << "a read-only edit takes no typing";
}

TEST_F(FxControls, ShowHideAndReachability) {
  dialog.ShowWindow(SW_HIDE);
  EXPECT_FALSE(t::IsVisible(hwnd()));
  EXPECT_FALSE(t::Click(hwnd(), kButton)) << "a hidden window cannot be clicked";
  EXPECT_FALSE(dialog.ShowWindow(SW_SHOW));
  EXPECT_TRUE(dialog.ShowWindow(SW_SHOW)) << "showing a visible window leaves it as it is";
  EXPECT_TRUE(t::IsVisible(hwnd()));
  EXPECT_FALSE(t::IsVisible(dialog.child.m_hWnd)) << "a child template without WS_VISIBLE starts hidden";
}

TEST_F(FxControls, EnterAndMenusReachTheWindow) {
  t::PressEnter(hwnd());
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"ok"}));
  dialog.events.clear();

  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuId));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(menu.GetSubMenu(1), nullptr);
  EXPECT_EQ(popup->GetMenuItemCount(), 3u);
  EXPECT_EQ(popup->GetMenuItemID(1), 0u);
  popup->TrackPopupMenu(TPM_RIGHTBUTTON, 5, 6, &dialog);
  popup->DestroyMenu();
  menu.DestroyMenu();
  auto open = t::CurrentMenu();
  ASSERT_TRUE(open.has_value()) << "the menu stays open until chosen";
  EXPECT_EQ(open->at.x, 5);
  EXPECT_EQ(open->items.size(), 3u);
  EXPECT_TRUE(dialog.events.empty()) << "the command arrives only once the menu has closed";
  EXPECT_FALSE(t::ChooseMenuItem(999));
  EXPECT_TRUE(t::ChooseMenuItem(101));
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"menu 101"}));
  EXPECT_FALSE(t::CurrentMenu().has_value());
}

TEST_F(FxControls, ResizeAndIcons) {
  dialog.events.clear();
  EXPECT_TRUE(t::Resize(hwnd(), 320, 200));
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"size 320x200"}));
  EXPECT_EQ(t::ClientRect(hwnd()).right, 320);
  dialog.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AfxLoadIcon(77)));
  EXPECT_EQ(t::IconId(hwnd()), 77);
  EXPECT_EQ(AfxLoadIcon(78), nullptr);
}

TEST_F(FxControls, MessageBoxesCarryTheirOwnerAndCaption) {
  dialog.MessageBox("text", "caption");
  fx::SetAppTitle("Host");
  ASSERT_TRUE(t::Click(hwnd(), kCheck));  // the person works in the dialog
  AfxMessageBox("application");
  dialog.ShowWindow(SW_HIDE);
  AfxMessageBox("hidden");
  ASSERT_EQ(desktop.messageBoxes.size(), 3u);
  EXPECT_EQ(desktop.messageBoxes[0].owner, hwnd());
  EXPECT_EQ(desktop.messageBoxes[0].caption, "caption");
  EXPECT_EQ(desktop.messageBoxes[0].type, static_cast<UINT>(MB_OK)) << "a window's box gets no icon of its own";
  EXPECT_EQ(desktop.messageBoxes[1].owner, hwnd()) << "the application's box belongs to the window in use";
  EXPECT_EQ(desktop.messageBoxes[1].caption, "Host");
  EXPECT_EQ(desktop.messageBoxes[1].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(desktop.messageBoxes[2].owner, main.m_hWnd) << "a hidden window cannot hold a box: the main window does";
}

TEST(AppMessageBox, AnIconIsAddedOnlyWhenTheTypeNamesNone) {
  EXPECT_EQ(fx::WithDefaultIcon(MB_OK), static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(fx::WithDefaultIcon(MB_OKCANCEL), static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(fx::WithDefaultIcon(MB_YESNO), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(fx::WithDefaultIcon(MB_YESNOCANCEL), static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(fx::WithDefaultIcon(MB_RETRYCANCEL), static_cast<UINT>(MB_RETRYCANCEL));
  EXPECT_EQ(fx::WithDefaultIcon(MB_OK | MB_ICONINFORMATION), static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(fx::WithDefaultIcon(MB_YESNO | MB_ICONHAND), static_cast<UINT>(MB_YESNO | MB_ICONHAND));
}

TEST_F(FxControls, ClipboardIsOpenedOnceByItsOwnerAndEveryFailureIsReported) {
  desktop.clipboardBusy = true;
  EXPECT_FALSE(fx::OpenClipboard(&dialog));
  EXPECT_FALSE(fx::SetClipboardText("lost")) << "nothing is placed on a clipboard that is not open";
  EXPECT_FALSE(fx::CloseClipboard());
  EXPECT_TRUE(desktop.clipboardOwners.empty());

  desktop.clipboardBusy = false;
  ASSERT_TRUE(fx::OpenClipboard(&dialog));
  EXPECT_FALSE(fx::OpenClipboard(&dialog)) << "already open";
  EXPECT_TRUE(fx::EmptyClipboard());
  EXPECT_TRUE(fx::SetClipboardText("copied"));
  EXPECT_TRUE(fx::CloseClipboard());
  EXPECT_EQ(desktop.clipboardOwners, std::vector<HWND>{hwnd()});
  EXPECT_EQ(desktop.clipboard, std::vector<std::string>{"copied"});
  EXPECT_FALSE(desktop.clipboardOpen);

  desktop.clipboardRefusesText = true;
  ASSERT_TRUE(fx::OpenClipboard(nullptr));
  EXPECT_FALSE(fx::SetClipboardText("refused"));
  EXPECT_TRUE(fx::CloseClipboard());
  EXPECT_FALSE(desktop.clipboardOpen) << "a refused text still closes the clipboard";
  EXPECT_EQ(desktop.clipboard, std::vector<std::string>{"copied"});
}

#ifdef _WIN32
// The system's box, over the window the person works in, which takes no input until the box is
// answered. A timer running inside the box's own message loop looks at it and answers it.
TEST_F(FxControls, TheSystemsApplicationBoxIsModalToTheWindowInUse) {
  fx::SetDesktop(nullptr);
  ASSERT_TRUE(t::Click(hwnd(), kCheck));
  static HWND s_owner, s_box;
  static BOOL s_ownerEnabled;
  s_owner = s_box = nullptr;
  s_ownerEnabled = TRUE;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
          wchar_t name[16] = {};
          if (s_box == nullptr && ::IsWindowVisible(window) && ::GetClassNameW(window, name, 16) &&
              ::lstrcmpW(name, L"#32770") == 0 && t::TemplateIdOf(window) < 0) {
            s_box = window;
            s_owner = ::GetWindow(window, GW_OWNER);
            s_ownerEnabled = ::IsWindowEnabled(s_owner);
            ::PostMessageW(window, WM_COMMAND, IDOK, 0);
          }
          return TRUE;
        },
        0);
  });
  EXPECT_EQ(AfxMessageBox("modal"), IDOK);
  ::KillTimer(nullptr, timer);
  ASSERT_NE(s_box, nullptr);
  EXPECT_EQ(s_owner, hwnd());
  EXPECT_FALSE(s_ownerEnabled) << "the window behind the box took clicks";
  EXPECT_TRUE(::IsWindowEnabled(hwnd())) << "the answer gives the window back";
  fx::SetDesktop(&desktop);
}

// The rows the list-view's scroll bar counts: what its last layout took in.
int LaidOutRows(const CListCtrl& list) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE;
  return ::GetScrollInfo(list.m_hWnd, SB_VERT, &info) ? info.nMax + 1 : 0;
}

// A list-view's layout has taken in every row of a burst by the next read of the message queue,
// or when its window is about to be shown, and the list keeps its own visibility throughout.
TEST_F(FxControls, TheSystemListViewIsLaidOutAfterABurstOfRows) {
  CListCtrl& list = dialog.multiList;
  for (int row = 0; row < 30; ++row) list.InsertItem(row, "row");
  list.SetItemText(29, 0, "last");
  fx::PumpMessages();
  EXPECT_EQ(LaidOutRows(list), 30);
  EXPECT_TRUE(::IsWindowVisible(list.m_hWnd));

  dialog.ShowWindow(SW_HIDE);
  for (int row = 30; row < 60; ++row) list.InsertItem(row, "row");
  list.DeleteItem(0);
  fx::PumpMessages();
  EXPECT_TRUE(::GetWindowLongW(list.m_hWnd, GWL_STYLE) & WS_VISIBLE) << "the list itself stays visible";
  dialog.ShowWindow(SW_SHOW);
  EXPECT_EQ(LaidOutRows(list), 59) << "laid out before it is seen, without waiting for the queue";
  EXPECT_TRUE(::IsWindowVisible(list.m_hWnd));

  // A list hidden on its own is not shown by the layout that follows its rows.
  ::ShowWindow(list.m_hWnd, SW_HIDE);
  list.InsertItem(59, "row");
  fx::PumpMessages();
  EXPECT_FALSE(::GetWindowLongW(list.m_hWnd, GWL_STYLE) & WS_VISIBLE);
  ::ShowWindow(list.m_hWnd, SW_SHOW);
  EXPECT_EQ(LaidOutRows(list), 60);
}

// The system's clipboard itself: held open by another window, it refuses the copy; once free,
// the text is there for any program in both text formats.
TEST_F(FxControls, TheSystemClipboardRefusesACopyWhileAnotherWindowHoldsIt) {
  fx::SetDesktop(&fx::SystemDesktop());
  ASSERT_TRUE(::OpenClipboard(main.m_hWnd));
  EXPECT_FALSE(fx::OpenClipboard(&dialog));
  ::CloseClipboard();

  ASSERT_TRUE(fx::OpenClipboard(&dialog));
  EXPECT_EQ(::GetOpenClipboardWindow(), hwnd());
  EXPECT_TRUE(fx::SetClipboardText("ア copied"));
  EXPECT_TRUE(fx::CloseClipboard());
  ASSERT_TRUE(::OpenClipboard(nullptr));
  const auto* text = static_cast<const char*>(::GlobalLock(::GetClipboardData(CF_TEXT)));
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "ア copied");
  ::GlobalUnlock(::GetClipboardData(CF_TEXT));
  const auto* wide = static_cast<const wchar_t*>(::GlobalLock(::GetClipboardData(CF_UNICODETEXT)));
  ASSERT_NE(wide, nullptr);
  EXPECT_STREQ(wide, L"ア copied");
  ::GlobalUnlock(::GetClipboardData(CF_UNICODETEXT));
  ::CloseClipboard();
  fx::SetDesktop(&desktop);
}
#endif

TEST_F(FxControls, DestroyingTheOwnerTellsEachWindowWhileItsChildrenStillExist) {
  std::vector<std::string> order;
  g_events = &order;
  main.DestroyWindow();
  EXPECT_EQ(order, (std::vector<std::string>{"parent destroy, child alive", "child destroy, edit alive"}));
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_EQ(dialog.child.m_hWnd, nullptr);
  EXPECT_EQ(dialog.list.m_hWnd, nullptr);
}

TEST(FxObjects, AnObjectGoingAwayFirstTakesItsWindowWithoutHearingOfIt) {
  fx::RegisterResources(&kTable);
  std::vector<std::string> order;
  g_events = &order;
  {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(kDialogId));
    order.clear();
  }
  // Each window went with its object, and no handler of an object half gone was called.
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(t::TopLevelWindows().empty());
  g_events = nullptr;
  fx::UnregisterResources(&kTable);
}
