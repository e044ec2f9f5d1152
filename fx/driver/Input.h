// What the driver's person needs from a backend: what a window is, and the delivery of input to
// it. Keys and clicks go in as the system's keyboard and mouse messages, through the message loop
// and its pre-translation (fx::PumpMessages); the few actions the system has no input path for
// are marked as changes made directly.
#pragma once

#include <optional>
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

// --- input: messages posted to a window, delivered by the message loop ---
void SetFocus(HWND window);  // as a click into the window or the dialog manager would
// A keyboard message (WM_KEYDOWN, WM_KEYUP, WM_CHAR) posted to the window.
void PostKey(HWND window, UINT message, WPARAM key);
// The modifier keys that read as held down (fx::backend::IsKeyDown) until the next call.
void HoldKeys(testing::Keys keys);
// A mouse message at a point in the window's client area; a button going down first moves the
// pointer there.
void PostMouse(HWND window, UINT message, WPARAM keys, POINT at);
// Where a person clicks: the middle of a window, a list-view cell (row -1: the empty space just
// below the rows; nullopt when the rows fill the list), a tab.
POINT MiddleOf(HWND window);
std::optional<POINT> CellPoint(HWND list, int row, int column);
POINT TabPoint(HWND tab, int index);
// A typed character (CP932) as WM_CHAR carries it: UTF-16 on Win32; the bytes on the headless backend.
WPARAM CharacterKey(std::string_view character);
// The edit that takes typing: the control, or a combo box's field.
HWND EditOf(HWND control);
// Select all and delete, made directly (one change notification).
void ClearText(HWND control);
// Made directly: the drop-down list's pick, the header's drag, the frame's drag, the close box.
void PickComboItem(HWND combo, int index);
void SetColumnOrder(HWND list, const std::vector<int>& order);
void Resize(HWND window, int clientWidth, int clientHeight);
void CloseBox(HWND window);
// What the system's menu does once an item was chosen: the command posted to the menu's owner.
void PostMenuCommand(HWND owner, UINT command);

}  // namespace fx::input
