// The driver's input on the headless backend: keyboard and mouse messages posted to the control
// and delivered by the message loop, whose pre-translation runs the dialog managers.
#include "driver/Input.h"

#include "headless/Window.h"
#include "fx/App.h"
#include "fx/Wnd.h"

namespace fx::input {
namespace {

using headless::Live;
using headless::Window;

void Put(Window* window, UINT message, WPARAM wParam, LPARAM lParam) { headless::Post(window, message, wParam, lParam); }

LPARAM At(POINT point) { return MAKELPARAM(static_cast<unsigned>(point.x), static_cast<unsigned>(point.y)); }

}  // namespace

Kind KindOf(HWND handle) {
  const Window* window = Live(handle);
  if (window == nullptr) return Kind::None;
  switch (window->kind) {
    case headless::Kind::TopLevel: return Kind::TopLevel;
    case headless::Kind::Dialog: return Kind::Dialog;
    case headless::Kind::PushButton: return Kind::PushButton;
    case headless::Kind::CheckBox: return Kind::CheckBox;
    case headless::Kind::GroupBox: return Kind::GroupBox;
    case headless::Kind::Edit: return Kind::Edit;
    case headless::Kind::Static: return Kind::Static;
    case headless::Kind::ListView: return Kind::ListView;
    case headless::Kind::ComboBox: return Kind::ComboBox;
    case headless::Kind::Tab: return Kind::Tab;
  }
  return Kind::Other;
}

DWORD StyleOf(HWND handle) {
  const Window* window = Live(handle);
  if (window == nullptr) return 0;
  return window->visible ? (window->style | WS_VISIBLE) : (window->style & ~WS_VISIBLE);
}

bool Reachable(HWND handle) {
  const Window* window = Live(handle);
  for (const Window* w = window; w != nullptr; w = w->parent)
    if (!w->visible) return false;
  return window != nullptr;
}

HWND ControlOf(HWND dialog, int controlId) {
  Window* control = headless::ChildWithId(Live(dialog), controlId);
  return control != nullptr ? control->handle() : nullptr;
}

int ControlIdOf(HWND handle) {
  const Window* window = Live(handle);
  return window ? window->id : -1;
}

std::vector<HWND> ChildrenOf(HWND handle) {
  std::vector<HWND> children;
  if (Window* window = Live(handle))
    for (auto& child : window->children) children.push_back(child->handle());
  return children;
}

std::vector<HWND> OwnTopLevels() {
  std::vector<HWND> result;
  for (Window* top : headless::TopLevels()) result.push_back(top->handle());
  return result;
}

int ColumnCount(HWND list) {
  const Window* window = Live(list);
  return window ? static_cast<int>(window->columns.size()) : 0;
}

int RowCount(HWND list) {
  const Window* window = Live(list);
  return window ? window->RowCount() : 0;
}

int ItemCount(HWND control) {
  const Window* window = Live(control);
  return window ? static_cast<int>(window->items.size()) : 0;
}

HWND Focus() {
  Window* focus = headless::Focus();
  return focus ? focus->handle() : nullptr;
}

void SetFocus(HWND window) { headless::SetFocus(Live(window)); }

void PostKey(HWND window, UINT message, WPARAM key) {
  Put(Live(window), message, key, message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1);
}

void HoldKeys(testing::Keys keys) {
  using testing::Keys;
  headless::HeldKeys() = {keys == Keys::Control || keys == Keys::ControlShift, keys == Keys::Shift || keys == Keys::ControlShift};
}

void PostMouse(HWND window, UINT message, WPARAM keys, POINT at) { Put(Live(window), message, keys, At(at)); }

POINT MiddleOf(HWND handle) {
  const RECT r = Live(handle)->rect;
  return POINT{(r.right - r.left) / 2, (r.bottom - r.top) / 2};
}

std::optional<POINT> CellPoint(HWND list, int row, int column) { return headless::CellPoint(Live(list), row, column); }

POINT TabPoint(HWND, int index) { return POINT{index * headless::kTabWidth + headless::kTabWidth / 2, 8}; }

WPARAM CharacterKey(std::string_view character) {
  WPARAM packed = 0;
  for (std::size_t i = 0; i < character.size() && i < 2; ++i)
    packed |= static_cast<WPARAM>(static_cast<unsigned char>(character[i])) << (8 * i);
  return packed;
}

HWND EditOf(HWND control) { return control; }

void ClearText(HWND control) {
  Window* window = Live(control);
  if (window == nullptr || window->text.empty()) return;
  window->text.clear();
  headless::NotifyCommand(window, window->kind == headless::Kind::Edit ? EN_CHANGE : CBN_EDITCHANGE);
}

void PickComboItem(HWND combo, int index) {
  Window* window = Live(combo);
  window->curSel = index;
  window->text = window->items[static_cast<std::size_t>(index)];
  headless::NotifyCommand(window, CBN_SELCHANGE);
}

void SetColumnOrder(HWND list, const std::vector<int>& order) { Live(list)->columnOrder = order; }

void Resize(HWND handle, int clientWidth, int clientHeight) {
  Window* window = Live(handle);
  RECT client{};
  CWnd::FromHandle(handle)->GetClientRect(&client);
  window->rect.right += clientWidth - client.right;
  window->rect.bottom += clientHeight - client.bottom;
  headless::Send(window, WM_SIZE, 0,
                 MAKELPARAM(static_cast<unsigned>(clientWidth), static_cast<unsigned>(clientHeight)));
}

void CloseBox(HWND window) { headless::Send(Live(window), WM_CLOSE); }

void PostMenuCommand(HWND owner, UINT command) { Put(Live(owner), WM_COMMAND, MAKEWPARAM(command, 0), 0); }

}  // namespace fx::input
