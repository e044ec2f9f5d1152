// The headless backend's windows: in-memory objects that keep the semantics of the real
// controls for everything the plug-in and the driver use.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../core/Backend.h"
#include "fx/Resources.h"
#include "fx/Types.h"

class CWnd;
class CMenu;

namespace fx::headless {

enum class Kind { TopLevel, Dialog, PushButton, CheckBox, GroupBox, Edit, Static, ListView, ComboBox, Tab };

// A value no list content has had before in this process.
std::uint64_t NextListContentVersion();

struct ListColumnData {
  std::string heading;
  int format = LVCFMT_LEFT;
  int width = 0;
};

struct Window : backend::Attachment {
  Kind kind = Kind::TopLevel;
  int id = -1;           // control id
  int templateId = -1;   // dialogs made from a template
  std::string text;      // caption, control text, edit text, combo field
  DWORD style = 0;
  bool controlParent = false;  // WS_EX_CONTROLPARENT: Tab goes on into its children
  bool visible = false;
  bool destroying = false;
  RECT rect{0, 0, 0, 0};  // in the parent's client coordinates (screen for top-level windows)
  Window* parent = nullptr;
  Window* owner = nullptr;
  HWND lastActivePopup = nullptr;  // of the windows this one owns, the one a person was in last
  std::vector<std::unique_ptr<Window>> children;

  int bigIcon = -1, smallIcon = -1;

  UINT check = BST_UNCHECKED;

  std::vector<ListColumnData> columns;
  std::vector<int> columnOrder;
  // A list-view's rows: an ordinary list keeps each row's cells, an owner-data list
  // (LVS_OWNERDATA) only how many rows there are, and asks its owner for their texts.
  std::vector<std::vector<std::string>> rowCells;  // ordinary lists: one per row
  std::vector<bool> rowSelected;                   // every list: one per row, so its size is the row count
  std::uint64_t listContentVersion = NextListContentVersion();
  COLORREF bkColor = 0xFFFFFF, textColor = 0, textBkColor = 0xFFFFFF;
  DWORD extendedStyle = 0;

  std::deque<std::string> items;  // combo list, tab texts; a full combo drops its first item per added one
  int curSel = -1;

  HWND handle() { return reinterpret_cast<HWND>(this); }
  bool IsListView() const { return kind == Kind::ListView; }
  bool IsOwnerData() const { return (style & LVS_OWNERDATA) != 0; }
  int RowCount() const { return static_cast<int>(rowSelected.size()); }
};

inline Window* FromHwnd(HWND h) { return reinterpret_cast<Window*>(h); }

// Every live window, so that stale handles are recognised instead of followed.
bool IsLive(HWND h);
Window* Live(HWND h);  // null for a stale or null handle

// The child of `parent` with the control id; null when there is none (or no parent).
Window* ChildWithId(const Window* parent, int id);

// Top-level windows own themselves; children are owned by their parents.
Window* NewTopLevel();
Window* NewChild(Window* parent);
// Sends WM_DESTROY to the window, then destroys owned windows and children the same way, then frees it.
void Destroy(Window* window);
std::vector<Window*> TopLevels();

// How far a window's client area lies inside its own rectangle on each side: the border and
// caption of a framed dialog, nothing otherwise.
RECT ClientInsets(const Window* window);

// Builds a dialog window and its controls from a template (dialog units -> pixels).
Window* BuildDialog(const DialogTemplate& tmpl, Window* parent, Window* owner);
void BuildControls(Window* dialog, const DialogTemplate& tmpl);

// The message being dispatched to an object, for CWnd::Default.
LRESULT DefaultWindowProc(Window* window, UINT message, WPARAM wParam, LPARAM lParam);

// Delivers a message to a window: to its attached object, or to the default handling.
LRESULT Send(Window* window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void Post(Window* window, UINT message, WPARAM wParam, LPARAM lParam);

// Sends a control's command or notification to its parent dialog, as the real control does.
void NotifyCommand(Window* control, UINT code);
LRESULT NotifyList(Window* list, UINT code, int row, int column);

// A list cell's text: an ordinary list's own, an owner-data list's from its owner through
// LVN_GETDISPINFO; "" for a row or column the list does not have.
std::string ListCellText(const Window* list, int row, int column);


// How the controls take keyboard and mouse input (clicks, typing, the list's selection), as the
// real controls do; the default handling of those messages. The headless screen geometry: a
// list's header and rows have fixed heights, tabs a fixed width.
constexpr int kListHeaderHeight = 20;
constexpr int kListRowHeight = 16;
constexpr int kTabWidth = 60;
POINT CellPoint(const Window* list, int row, int column);  // row -1: just below the rows
LRESULT ControlInput(Window* window, UINT message, WPARAM wParam, LPARAM lParam);

// The keyboard focus: the window keys are delivered to. Focusing a dialog focuses the control
// it had focused last, or its first tab stop.
Window* Focus();
void SetFocus(Window* window);

// The dialog manager: Enter, Escape and Tab for a message to `dialog` or a window inside it.
bool IsDialogMessage(Window* dialog, const MSG& message);

// The modifier keys the driver holds down while it delivers a key.
struct HeldModifiers {
  bool control = false, shift = false;
};
HeldModifiers& HeldKeys();

// Selects tab `index` as a person does: the parent may refuse (TCN_SELCHANGING), and is told.
void SelectTabAsPerson(Window* tab, int index);

// Shown and not disabled: a person can reach it.
bool Usable(const Window* window);

// The tab stop after (or before) `from` among the visible, enabled controls of `dialog`,
// descending into control parents and wrapping around; `from` itself when there is no other.
Window* NextTabStop(Window* dialog, Window* from, bool previous);

}  // namespace fx::headless
