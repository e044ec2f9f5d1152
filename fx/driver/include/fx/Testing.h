// The driver: acts on windows as a person would and reads back what a person sees. Keys and
// clicks are delivered as keyboard and mouse messages to the control, through the message loop
// and its pre-translation, so the controls themselves send their notifications as at run time.
// Windows are addressed by HWND; dialogs by their template id.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fx/Desktop.h"
#include "fx/Types.h"

namespace fx::testing {

// --- finding windows ---
// The live dialog (top-level window or page) created from a template id; null if none.
HWND FindDialog(int templateId);
HWND FindControl(HWND dialog, int controlId);
// Top-level windows in creation order (the host's main window first).
std::vector<HWND> TopLevelWindows();
int TemplateIdOf(HWND dialog);  // -1 for windows not made from a template

// --- acting ---
// The modifier keys held down during an action.
enum class Keys { None, Control, Shift, ControlShift };

// Each action returns false, doing nothing, when its target does not exist or is not on
// screen for a person to reach (a hidden window, a hidden page, a read-only edit for typing).

// A push button, or a check box (an automatic one toggles first).
bool Click(HWND dialog, int controlId);
// Appends the text to an edit (or a combo box's field), one change notification per character.
bool TypeText(HWND dialog, int controlId, std::string_view text);
// Selects all and deletes: one change notification when the text was not empty.
bool ClearText(HWND dialog, int controlId);
// Mouse actions on a list-view cell; row -1 (or a row past the last) is the empty space below the
// rows. A column the list does not have is refused.
bool ClickRow(HWND dialog, int listId, int row, int column = 0, Keys keys = Keys::None);
bool RightClickRow(HWND dialog, int listId, int row, int column = 0);
bool DoubleClickRow(HWND dialog, int listId, int row, int column = 0);
// Home and Down arrow keys in the list: the selection moves to `row` alone; no click notification.
bool SelectRowByKeyboard(HWND dialog, int listId, int row);
// Header drag and drop: the columns' order on screen, by column index.
bool SetColumnOrder(HWND dialog, int listId, const std::vector<int>& order);
bool SelectTab(HWND dialog, int tabId, int index);
bool PickComboItem(HWND dialog, int comboId, int index);
// A key pressed in a control, with the modifier keys held: the focus moves there first (as a
// click into it would), then the key goes through the message loop as the keyboard sends it.
enum class Key { Enter, Escape, Tab, Space, Left, Right, PageUp, PageDown };
bool PressKey(HWND dialog, int controlId, Key key, Keys keys = Keys::None);
// Enter or Escape in the dialog's focused control (its first tab stop when none has the focus).
bool PressEnter(HWND dialog);
bool PressEscape(HWND dialog);
bool CloseBox(HWND dialog);
bool Resize(HWND window, int clientWidth, int clientHeight);

struct MenuItem {
  UINT command;  // 0 for a separator
  std::string text;
};
struct OpenMenu {
  HWND owner;
  POINT at;
  std::vector<MenuItem> items;
};
// The popup menu now open, if any.
std::optional<OpenMenu> CurrentMenu();
// Chooses an item of the open menu; false if no menu is open or it has no such command.
bool ChooseMenuItem(UINT command);
void DismissMenu();

// --- reading back ---
bool IsVisible(HWND window);
// The window with the keyboard focus; null when none of this program has it.
HWND FocusedWindow();
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int controlId);
bool IsChecked(HWND dialog, int controlId);
RECT ClientRect(HWND window);
RECT WindowRect(HWND window);  // in the parent's client coordinates for child windows
int IconId(HWND window, bool big = true);  // -1 when none is set

struct ListColumn {
  std::string heading;
  int format;
  int width;
};
struct ListViewState {
  std::vector<ListColumn> columns;
  std::vector<int> order;  // column indexes left to right on screen
  std::vector<std::vector<std::string>> rows;
  std::vector<bool> selected;
  COLORREF bkColor, textColor, textBkColor;
  DWORD extendedStyle;
  DWORD style;
};
ListViewState ReadListView(HWND dialog, int listId);

struct ComboState {
  std::vector<std::string> items;
  int curSel;
  std::string field;
};
ComboState ReadCombo(HWND dialog, int comboId);

struct TabState {
  std::vector<std::string> tabs;
  int curSel;
};
TabState ReadTabs(HWND dialog, int tabId);

// A text picture of what a person sees of a window and its visible children, for transcripts.
std::string Describe(HWND window);

// --- a desktop that records every effect ---
class RecordingDesktop : public Desktop {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
  void Beep(UINT type) override;
  bool OpenClipboard(HWND owner) override;
  bool SetClipboardText(std::string_view text) override;
  void CloseClipboard() override;
  void ShellOpen(std::string_view target) override;
  std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title) override;
  POINT CursorPos() override;

  std::vector<MessageBoxRequest> messageBoxes;
  std::vector<UINT> beeps;
  std::vector<HWND> clipboardOwners;   // every successful open, in order
  std::vector<std::string> clipboard;  // every text placed, in order
  std::vector<std::string> shellOpens;
  std::vector<std::string> folderPickerTitles;
  // Answers for the folder picker, in order; an empty optional is a cancel. None left: cancel.
  std::deque<std::optional<std::string>> folderAnswers;
  bool clipboardBusy = false;        // another program holds the clipboard: opens fail
  bool clipboardRefusesText = false;  // the text cannot be placed (no memory for it)
  bool clipboardOpen = false;
  POINT cursor{100, 100};
};

}  // namespace fx::testing
