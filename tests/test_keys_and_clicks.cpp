// Keys and clicks reach the window that owns them. A key pressed in a control goes through the
// message loop's pre-translation, so Enter and Escape in a settings page reach the page (which
// neither hides nor adds anything), Tab moves within reach of every control of a page, and in
// the event log and URL windows Enter and Escape act on those windows.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "fx/Desktop.h"
#include "fx/ListCtrl.h"
#include "fx/Testing.h"
#include "resources/resource.h"
#include "support/PluginSession.h"

namespace t = fx::testing;

namespace {

HWND Setting(const PluginSession& s) { return s.Dialog(IDD_SETTING); }
HWND ReactPage(const PluginSession& s) { return s.Dialog(IDD_AUTOREACT); }
HWND LogPage(const PluginSession& s) { return s.Dialog(IDD_LOGSETTING); }

int FocusedId(HWND dialog) {
  HWND focus = t::FocusedWindow();
  for (int id = 1; id < 14000; id = id == 1 ? 13000 : id + 1)
    if (focus != nullptr && t::FindControl(dialog, id) == focus) return id;
  return -1;
}

// The ids the focus visits, Tab after Tab, from `first` in the page until it comes back to
// `first`; a stop in the settings window's own controls is pressed there.
std::vector<int> TabCycle(HWND page, HWND window, int first) {
  std::vector<int> visited{first};
  for (HWND in = page; visited.size() < 30;) {
    if (!t::PressKey(in, visited.back(), t::Key::Tab)) break;
    int id = FocusedId(page);
    in = page;
    if (id < 0) {
      id = FocusedId(window);
      in = window;
    }
    if (id == first || id < 0) break;
    visited.push_back(id);
  }
  return visited;
}

std::vector<int> Then(std::vector<int> ids, std::initializer_list<int> more) {
  ids.insert(ids.end(), more);
  return ids;
}

const std::vector<int> kReactTabOrder{IDC_WELCOME_MESSAGE, IDC_AUTO_WELCOME, IDC_REACT_WORD,   IDC_REACT_RES,
                                      IDC_REACT_LIST,      IDC_REACT_DELETE, IDC_REACT_ADD,    IDC_AUTO_REACT};
const std::vector<int> kLogTabOrder{IDC_ENTER_LOG,  IDC_LEAVE_LOG,     IDC_RENAME_LOG, IDC_RCMS_LOG, IDC_WRITE_TYPE,
                                    IDC_MESSAGE_LOG, IDC_CHECK_USER,   IDC_DIRECTORY,  IDC_BROWSE,   IDC_NAME_INCLUDE,
                                    IDC_AUTO_LOG,   IDC_TIME_STUMP,    IDC_EVENT_DLG,  IDC_URL_LOG,  IDC_HTML};

}  // namespace

TEST(KeysInAPage, EnterAndEscapeLeaveTheSettingsWindowShownAndAddNoRule) {
  PluginSession s;
  s.Start();
  // Texts an add would accept, so that a stray add would show as a row.
  ASSERT_TRUE(t::TypeText(ReactPage(s), IDC_REACT_WORD, "hello"));
  ASSERT_TRUE(t::TypeText(ReactPage(s), IDC_REACT_RES, "hi"));
  const std::vector<std::pair<int, std::vector<int>>> pages{
      {0, {IDC_WELCOME_MESSAGE, IDC_REACT_WORD, IDC_REACT_RES, IDC_REACT_LIST, IDC_AUTO_WELCOME, IDC_AUTO_REACT}},
      {1, {IDC_CHECK_USER, IDC_ENTER_LOG, IDC_HTML, IDC_BROWSE}}};
  for (const auto& [tab, controls] : pages) {
    ASSERT_TRUE(t::SelectTab(Setting(s), IDC_SETTING_TAB, tab));
    HWND page = tab == 0 ? ReactPage(s) : LogPage(s);
    for (int control : controls) {
      for (t::Key key : {t::Key::Enter, t::Key::Escape}) {
        SCOPED_TRACE("control " + std::to_string(control) + (key == t::Key::Enter ? " Enter" : " Escape"));
        ASSERT_TRUE(t::PressKey(page, control, key));
        EXPECT_TRUE(t::IsVisible(Setting(s)));
        EXPECT_TRUE(t::IsVisible(page));
        EXPECT_TRUE(t::ReadListView(ReactPage(s), IDC_REACT_LIST).rows.empty());
      }
    }
  }
  EXPECT_EQ(t::ControlText(ReactPage(s), IDC_REACT_WORD), "hello") << "an add would have emptied the edits";
  EXPECT_TRUE(s.desktop.folderPickerTitles.empty()) << "Enter on 参照 is the page's, not a click";
  EXPECT_TRUE(s.desktop.messageBoxes.empty());
  // Outside the pages Enter is the settings window's own: its default button hides it.
  ASSERT_TRUE(t::PressKey(Setting(s), IDC_SET_DLG, t::Key::Enter));
  EXPECT_FALSE(t::IsVisible(Setting(s)));
}

TEST(KeysInAPage, SpaceClicksTheFocusedButtonOrCheckBox) {
  PluginSession s;
  s.Start();
  ASSERT_TRUE(t::SelectTab(Setting(s), IDC_SETTING_TAB, 1));
  const bool before = t::IsChecked(LogPage(s), IDC_ENTER_LOG);
  ASSERT_TRUE(t::PressKey(LogPage(s), IDC_ENTER_LOG, t::Key::Space));
  EXPECT_NE(t::IsChecked(LogPage(s), IDC_ENTER_LOG), before);
  ASSERT_TRUE(t::PressKey(LogPage(s), IDC_BROWSE, t::Key::Space));
  EXPECT_EQ(s.desktop.folderPickerTitles.size(), 1u);
  EXPECT_TRUE(t::IsVisible(Setting(s)));
}

// Tab goes through every control of the shown page, on to the window's own check box and
// button, and back into the page, as in a property sheet.
TEST(KeysInAPage, TabReachesEveryControlOfAPageAndComesBackIntoIt) {
  PluginSession s;
  s.Start();
  EXPECT_EQ(TabCycle(ReactPage(s), Setting(s), kReactTabOrder.front()),
            Then(kReactTabOrder, {IDC_SET_DLG, IDOK, IDC_SETTING_TAB}));
  ASSERT_TRUE(t::PressKey(ReactPage(s), kReactTabOrder.back(), t::Key::Tab));
  EXPECT_EQ(FocusedId(Setting(s)), IDC_SET_DLG);
  EXPECT_TRUE(t::IsVisible(Setting(s)));

  ASSERT_TRUE(t::SelectTab(Setting(s), IDC_SETTING_TAB, 1));
  EXPECT_EQ(TabCycle(LogPage(s), Setting(s), kLogTabOrder.front()),
            Then(kLogTabOrder, {IDC_SET_DLG, IDOK, IDC_SETTING_TAB}));
}

// The tab control has its place in the Tab order, just before the shown page's controls, and
// Shift+Tab walks the same way back.
TEST(KeysInAPage, TabFromTheWindowsOwnButtonGoesToTheTabsThenIntoTheShownPage) {
  PluginSession s;
  s.Start();
  for (int tab : {0, 1}) {
    ASSERT_TRUE(t::SelectTab(Setting(s), IDC_SETTING_TAB, tab));
    HWND page = tab == 0 ? ReactPage(s) : LogPage(s);
    const int first = tab == 0 ? kReactTabOrder.front() : kLogTabOrder.front();
    ASSERT_TRUE(t::PressKey(Setting(s), IDOK, t::Key::Tab));
    EXPECT_EQ(FocusedId(Setting(s)), IDC_SETTING_TAB);
    ASSERT_TRUE(t::PressKey(Setting(s), IDC_SETTING_TAB, t::Key::Tab));
    EXPECT_EQ(FocusedId(page), first);
    ASSERT_TRUE(t::PressKey(page, first, t::Key::Tab, t::Keys::Shift));
    EXPECT_EQ(FocusedId(Setting(s)), IDC_SETTING_TAB);
    ASSERT_TRUE(t::PressKey(Setting(s), IDC_SETTING_TAB, t::Key::Tab, t::Keys::Shift));
    EXPECT_EQ(FocusedId(Setting(s)), IDOK);
    ASSERT_TRUE(t::PressKey(Setting(s), IDC_SET_DLG, t::Key::Tab, t::Keys::Shift));
    EXPECT_EQ(FocusedId(page), tab == 0 ? kReactTabOrder.back() : kLogTabOrder.back());
  }
}

// Ctrl+Tab, Ctrl+PageDown, Ctrl+Shift+Tab and Ctrl+PageUp switch pages (wrapping around) from
// any control of the window; the arrow keys do while the tab control has the focus.
TEST(KeysInAPage, PageKeysSwitchPagesFromAnyControl) {
  PluginSession s;
  s.Start();
  const auto shown = [&] { return t::IsVisible(ReactPage(s)) ? 0 : t::IsVisible(LogPage(s)) ? 1 : -1; };
  const struct {
    HWND (*in)(const PluginSession&);
    int control;
    t::Key key;
    t::Keys keys;
    int page;
  } presses[] = {
      {Setting, IDOK, t::Key::Tab, t::Keys::Control, 1},
      {Setting, IDC_SET_DLG, t::Key::Tab, t::Keys::Control, 0},
      {ReactPage, IDC_REACT_WORD, t::Key::PageDown, t::Keys::Control, 1},
      {LogPage, IDC_ENTER_LOG, t::Key::Tab, t::Keys::ControlShift, 0},
      {ReactPage, IDC_REACT_LIST, t::Key::PageUp, t::Keys::Control, 1},
      {LogPage, IDC_DIRECTORY, t::Key::PageUp, t::Keys::Control, 0},
      {Setting, IDC_SETTING_TAB, t::Key::Right, t::Keys::None, 1},
      {Setting, IDC_SETTING_TAB, t::Key::Right, t::Keys::None, 1},
      {Setting, IDC_SETTING_TAB, t::Key::Left, t::Keys::None, 0},
      {Setting, IDC_SETTING_TAB, t::Key::Left, t::Keys::None, 0},
      {ReactPage, IDC_REACT_WORD, t::Key::PageDown, t::Keys::None, 0},
  };
  for (const auto& press : presses) {
    SCOPED_TRACE("control " + std::to_string(press.control) + " key " + std::to_string(static_cast<int>(press.key)));
    ASSERT_TRUE(t::PressKey(press.in(s), press.control, press.key, press.keys));
    EXPECT_EQ(shown(), press.page);
  }
  EXPECT_TRUE(t::IsVisible(Setting(s)));
  EXPECT_TRUE(t::ReadListView(ReactPage(s), IDC_REACT_LIST).rows.empty());
}

TEST(KeysElsewhere, EnterInTheUrlFieldOpensItsTextAndEscapeHidesTheWindow) {
  PluginSession s;
  s.Start();
  HWND url = s.Dialog(IDD_URL);
  ASSERT_TRUE(t::TypeText(url, IDC_URL_COMBO, "http://example.com/a"));
  ASSERT_TRUE(t::PressKey(url, IDC_URL_COMBO, t::Key::Enter));
  EXPECT_EQ(s.desktop.shellOpens, std::vector<std::string>{"http://example.com/a"});
  EXPECT_TRUE(t::IsVisible(url));
  ASSERT_TRUE(t::PressKey(url, IDC_URL_COMBO, t::Key::Escape));
  EXPECT_FALSE(t::IsVisible(url));
  EXPECT_EQ(s.desktop.shellOpens.size(), 1u);
}

TEST(KeysElsewhere, EnterAndEscapeInTheEventLogHideItWithItsRows) {
  PluginSession s;
  s.Start();
  HWND log = s.Dialog(IDD_EVENTLOG);
  s.Join("guest#00000001", "10.0.0.1", 6699, 0, 0);
  for (t::Key key : {t::Key::Enter, t::Key::Escape}) {
    s.Say("#event");
    ASSERT_TRUE(t::IsVisible(log));
    ASSERT_TRUE(t::PressKey(log, IDC_EVENT_LIST, key));
    EXPECT_FALSE(t::IsVisible(log));
    EXPECT_EQ(t::ReadListView(log, IDC_EVENT_LIST).rows.size(), 1u);
  }
}

TEST(KeysElsewhere, KeysAimedAtHiddenWindowsOrMissingControlsDoNothing) {
  PluginSession s;
  s.Start();
  EXPECT_FALSE(t::PressKey(LogPage(s), IDC_CHECK_USER, t::Key::Enter)) << "the page is hidden";
  EXPECT_FALSE(t::PressKey(ReactPage(s), 4242, t::Key::Enter));
  EXPECT_FALSE(t::PressKey(ReactPage(s), -1, t::Key::Tab)) << "labels take no keys";
  s.Say("#url");
  ASSERT_TRUE(t::PressEscape(s.Dialog(IDD_URL)));
  EXPECT_FALSE(t::PressKey(s.Dialog(IDD_URL), IDC_URL_COMBO, t::Key::Enter));
  EXPECT_TRUE(s.desktop.shellOpens.empty());
  EXPECT_TRUE(t::IsVisible(Setting(s)));
}

TEST(Clicks, AColumnTheListDoesNotHaveIsRefusedLikeAMissingRow) {
  PluginSession s;
  s.Start();
  HWND log = s.Dialog(IDD_EVENTLOG);
  s.Join("guest#00000001", "10.0.0.1", 6699, 0, 0);
  EXPECT_FALSE(t::DoubleClickRow(log, IDC_EVENT_LIST, 0, 3));
  EXPECT_FALSE(t::ClickRow(log, IDC_EVENT_LIST, 0, -1));
  EXPECT_TRUE(s.desktop.clipboard.empty());
  EXPECT_TRUE(s.desktop.beeps.empty());
  ASSERT_TRUE(t::DoubleClickRow(log, IDC_EVENT_LIST, 0, 1));
  EXPECT_EQ(s.desktop.clipboard, std::vector<std::string>{"入室"});
}

#ifdef _WIN32
namespace {

// The recording desktop, except that the pointer is the system's, where the driver moved it.
struct PointerDesktop : t::RecordingDesktop {
  POINT CursorPos() override {
    POINT at{};
    ::GetCursorPos(&at);
    return at;
  }
};

}  // namespace

TEST(Clicks, ARightClickOpensTheMenuAtThePointerWithOnlyTheRowUnderItSelected) {
  PluginSession s;
  s.Start();
  PointerDesktop desktop;
  fx::SetDesktop(&desktop);
  HWND log = s.Dialog(IDD_EVENTLOG);
  // On the screen, wherever the system placed it, so that the pointer can reach its rows.
  ::SetWindowPos(log, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  s.Join("guest#00000001", "10.0.0.1", 6699, 0, 0);
  s.Join("guest#00000002", "10.0.0.2", 6699, 0, 0);
  s.Join("guest#00000003", "10.0.0.3", 6699, 0, 0);
  ASSERT_TRUE(t::ClickRow(log, IDC_EVENT_LIST, 0));
  ASSERT_TRUE(t::RightClickRow(log, IDC_EVENT_LIST, 2, 2));
  const auto menu = t::CurrentMenu();
  ASSERT_TRUE(menu.has_value());
  POINT pointer{};
  ::GetCursorPos(&pointer);
  EXPECT_EQ(menu->at.x, pointer.x);
  EXPECT_EQ(menu->at.y, pointer.y);
  EXPECT_EQ(t::ReadListView(log, IDC_EVENT_LIST).selected, (std::vector<bool>{false, false, true}));
  t::DismissMenu();
  fx::SetDesktop(&s.desktop);
}
#endif
