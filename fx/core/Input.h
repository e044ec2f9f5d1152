// What the driver's person needs from a backend: what a window is, and the delivery of input to
// it. Keys and clicks go in as the system's keyboard and mouse messages, through the message loop
// and its pre-translation (fx::PumpMessages); the few actions the system has no input path for
// are marked as changes made directly.
#pragma once

#include <string_view>
#include <vector>

#include "fx/Testing.h"
#include "fx/Types.h"

namespace fx::input {

enum class Kind { None, TopLevel, Dialog, PushButton, CheckBox, GroupBox, Edit, Static, ListView, ComboBox, Tab, Other };

// --- what a window is ---
Kind KindOf(HWND window);  // None for a window that does not exist
DWORD StyleOf(HWND window);
// It exists, and it and every window around it are shown.
bool Reachable(HWND window);
// The direct child of `dialog` with that control id; null when none.
HWND ControlOf(HWND dialog, int controlId);
int ControlIdOf(HWND window);
// Children in tab order; fx's own top-level windows in creation order.
std::vector<HWND> ChildrenOf(HWND window);
std::vector<HWND> OwnTopLevels();
int ColumnCount(HWND list);
int RowCount(HWND list);
int ItemCount(HWND tabOrCombo);
HWND Focus();

// --- input; each runs the message loop until the queue is empty ---
// The keyboard focus moves to `target` (as a click into it would), then the key goes down and up.
void PressKey(HWND target, UINT virtualKey);
// One character (CP932) typed at the end of an edit or of a combo box's field.
void TypeCharacter(HWND control, std::string_view character);
// Select all and delete, made directly (one change notification).
void ClearText(HWND control);
// A left click in the middle of a button or check box.
void ClickButton(HWND button);
enum class Mouse { Left, Right, Double };
// A click on a list-view cell, or with row -1 on the empty space below the rows. False when that
// space cannot be reached (the rows fill the list).
bool ClickRow(HWND list, Mouse mouse, int row, int column, testing::Keys keys);
void ClickTab(HWND tab, int index);
// Made directly: the drop-down list's pick, the header's drag, the frame's drag, the close box.
void PickComboItem(HWND combo, int index);
void SetColumnOrder(HWND list, const std::vector<int>& order);
void Resize(HWND window, int clientWidth, int clientHeight);
void CloseBox(HWND window);
// What the system's menu does once an item was chosen: the command posted to the menu's owner.
void PostMenuCommand(HWND owner, UINT command);

}  // namespace fx::input
