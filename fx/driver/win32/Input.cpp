// The driver's input on Win32: keyboard and mouse messages posted to the real controls and run
// through the message loop with its pre-translation (fx::PumpMessages), so the dialog manager
// and the controls answer them as they answer a person. The pointer is moved to each click.
#include "driver/Input.h"

#include "win32/Win32.h"
#include "fx/App.h"

namespace fx::input {
namespace {

using win32::Info;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(window, message, wParam, lParam);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) { ::PostMessageW(window, message, wParam, lParam); }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  const int length = ::GetClassNameW(window, name, 64);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

LPARAM At(POINT point) { return MAKELPARAM(static_cast<unsigned>(point.x), static_cast<unsigned>(point.y)); }

// A person moves the pointer to the point (client coordinates of `window`) before clicking.
// The system may take a moment to report the new position: wine warps the X pointer, and the
// motion of an earlier warp can still be on its way. Wait until the position holds.
void MovePointer(HWND window, POINT point) {
  ::ClientToScreen(window, &point);
  if (!::SetCursorPos(point.x, point.y)) return;
  for (int tries = 0, holding = 0; tries < 200 && holding < 10; ++tries) {
    // Motion still queued from an earlier position would move the system's idea of the pointer
    // back when it is taken from the queue: take it now.
    MSG motion;
    while (::PeekMessageW(&motion, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) ::DispatchMessageW(&motion);
    POINT now{};
    holding = ::GetCursorPos(&now) && now.x == point.x && now.y == point.y ? holding + 1 : 0;
    ::Sleep(5);
  }
}

LPARAM KeyData(UINT virtualKey, bool up) {
  const auto scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) & 0xFF);
  return 1 | (scan << 16) | (up ? static_cast<LPARAM>(0xC0000000u) : 0);
}

}  // namespace

Kind KindOf(HWND window) {
  if (window == nullptr || !::IsWindow(window)) return Kind::None;
  if (const auto* info = Info(window); info && info->kind != win32::Kind::Control)
    return info->kind == win32::Kind::TopLevel ? Kind::TopLevel : Kind::Dialog;
  const std::wstring name = ClassOf(window);
  const auto is = [&](const wchar_t* other) { return ::lstrcmpiW(name.c_str(), other) == 0; };
  if (is(L"#32770")) return Kind::Dialog;
  if (is(L"Button")) {
    switch (StyleOf(window) & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX: return Kind::CheckBox;
      case BS_GROUPBOX: return Kind::GroupBox;
      default: return Kind::PushButton;
    }
  }
  if (is(L"Edit")) return Kind::Edit;
  if (is(L"Static")) return Kind::Static;
  if (is(WC_LISTVIEWW)) return Kind::ListView;
  if (is(L"ComboBox")) return Kind::ComboBox;
  if (is(WC_TABCONTROLW)) return Kind::Tab;
  return Kind::Other;
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)); }

bool Reachable(HWND window) { return window != nullptr && ::IsWindow(window) && ::IsWindowVisible(window); }

HWND ControlOf(HWND dialog, int controlId) {
  if (dialog == nullptr || !::IsWindow(dialog)) return nullptr;
  return ::GetDlgItem(dialog, controlId);
}

int ControlIdOf(HWND window) { return ::GetDlgCtrlID(window); }

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  if (window == nullptr || !::IsWindow(window)) return children;
  for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::vector<HWND> OwnTopLevels() {
  std::vector<HWND> result;
  for (HWND window : win32::OwnWindows())
    if (!(StyleOf(window) & WS_CHILD)) result.push_back(window);
  return result;
}

int ColumnCount(HWND list) {
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER));
  return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT)) : 0;
}

int RowCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT)); }

int ItemCount(HWND control) {
  return static_cast<int>(KindOf(control) == Kind::Tab ? Send(control, TCM_GETITEMCOUNT) : Send(control, CB_GETCOUNT));
}

HWND Focus() { return ::GetFocus(); }

void SetFocus(HWND window) { ::SetFocus(window); }

void PostKey(HWND window, UINT message, WPARAM key) {
  const LPARAM data = message == WM_CHAR ? 1 : KeyData(static_cast<UINT>(key), message == WM_KEYUP);
  Post(window, message, key, data);
}

void HoldKeys(testing::Keys keys) {
  using testing::Keys;
  BYTE state[256] = {};
  if (!::GetKeyboardState(state)) return;
  const auto hold = [&](int key, bool down) {
    state[key] = down ? 0x80 : 0;
  };
  hold(VK_CONTROL, keys == Keys::Control || keys == Keys::ControlShift);
  hold(VK_SHIFT, keys == Keys::Shift || keys == Keys::ControlShift);
  ::SetKeyboardState(state);
}

void PostMouse(HWND window, UINT message, WPARAM keys, POINT at) {
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) MovePointer(window, at);
  Post(window, message, keys, At(at));
}

POINT MiddleOf(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return POINT{client.right / 2, client.bottom / 2};
}

std::optional<POINT> CellPoint(HWND list, int row, int column) {
  const int rows = RowCount(list);
  // A person scrolls the row into view first.
  if (row >= 0 || rows > 0) Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row >= 0 ? row : rows - 1), FALSE);
  if (row >= 0) {
    RECT cell{};
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    Send(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return POINT{cell.left + 3, (cell.top + cell.bottom) / 2};
  }
  RECT last{};
  if (rows > 0) {
    last.left = LVIR_BOUNDS;
    Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(rows - 1), reinterpret_cast<LPARAM>(&last));
  } else if (HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER))) {
    ::GetClientRect(header, &last);
  }
  RECT client{};
  ::GetClientRect(list, &client);
  const POINT below{3, last.bottom + 4};
  if (below.y >= client.bottom) return std::nullopt;  // the rows fill the list: no empty space
  return below;
}

POINT TabPoint(HWND tab, int index) {
  RECT item{};
  Send(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
}

WPARAM CharacterKey(std::string_view character) {
  const std::wstring wide = win32::Wide(character);
  return wide.empty() ? 0 : wide[0];
}

HWND EditOf(HWND control) {
  if (KindOf(control) != Kind::ComboBox) return control;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return ::GetComboBoxInfo(control, &info) && info.hwndItem != nullptr ? info.hwndItem : control;
}

void ClearText(HWND control) {
  HWND edit = EditOf(control);
  if (Send(edit, WM_GETTEXTLENGTH) == 0) return;
  Send(edit, EM_SETSEL, 0, -1);
  Send(edit, WM_CLEAR);
}

void PickComboItem(HWND combo, int index) {
  Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
  Send(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SetColumnOrder(HWND list, const std::vector<int>& order) {
  std::vector<int> copy = order;
  Send(list, LVM_SETCOLUMNORDERARRAY, copy.size(), reinterpret_cast<LPARAM>(copy.data()));
  ::InvalidateRect(list, nullptr, TRUE);
}

void Resize(HWND window, int clientWidth, int clientHeight) {
  RECT outer{}, client{};
  ::GetWindowRect(window, &outer);
  ::GetClientRect(window, &client);
  const int width = (outer.right - outer.left) - client.right + clientWidth;
  const int height = (outer.bottom - outer.top) - client.bottom + clientHeight;
  ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CloseBox(HWND window) { Send(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void PostMenuCommand(HWND owner, UINT command) { Post(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

}  // namespace fx::input
