// CWnd's window operations on the headless windows.
#include <algorithm>

#include "Window.h"
#include "fx/Wnd.h"

using fx::headless::Kind;
using fx::headless::Live;
using fx::headless::Window;

namespace {

Window* Self(const CWnd* wnd) { return Live(wnd->m_hWnd); }

Window* Child(const CWnd* wnd, int id) { return fx::headless::ChildWithId(Self(wnd), id); }

}  // namespace

fx::backend::Attachment* fx::backend::AttachmentOf(HWND window, bool) { return Live(window); }

void fx::backend::DestroyOrphan(HWND window) {
  if (Window* orphan = Live(window)) fx::headless::Destroy(orphan);
}

BOOL CWnd::CreateTopLevel(const char* caption, int width, int height) {
  if (m_hWnd != nullptr) return FALSE;
  Window* window = fx::headless::NewTopLevel();
  window->kind = Kind::TopLevel;
  window->text = caption ? caption : "";
  window->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  window->rect = RECT{0, 0, width, height};
  window->visible = true;
  window->object = this;
  m_hWnd = window->handle();
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  Window* self = Self(this);
  if (self == nullptr) return FALSE;
  fx::headless::Destroy(self);
  return TRUE;
}

BOOL CWnd::ShowWindow(int command) {
  Window* self = Self(this);
  if (self == nullptr) return FALSE;
  const BOOL wasVisible = self->visible ? TRUE : FALSE;
  self->visible = command != SW_HIDE;
  return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
  for (Window* window = Self(this); window != nullptr; window = window->parent)
    if (!window->visible) return FALSE;
  return Self(this) != nullptr ? TRUE : FALSE;
}

// The window becomes the active one: the focus goes into it.
BOOL CWnd::SetForegroundWindow() {
  Window* self = Self(this);
  if (self == nullptr) return FALSE;
  fx::headless::SetFocus(self);
  return TRUE;
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
  Window* self = Self(this);
  if (self == nullptr) return FALSE;
  RECT& r = self->rect;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (!(flags & SWP_NOMOVE)) r.left = x, r.top = y;
  const int newWidth = (flags & SWP_NOSIZE) ? width : cx;
  const int newHeight = (flags & SWP_NOSIZE) ? height : cy;
  r.right = r.left + newWidth;
  r.bottom = r.top + newHeight;
  if (newWidth != width || newHeight != height) {
    RECT client{};
    GetClientRect(&client);
    fx::headless::Send(self, WM_SIZE, 0,
                       static_cast<LPARAM>(MAKEWPARAM(static_cast<unsigned>(client.right), static_cast<unsigned>(client.bottom))));
  }
  return TRUE;
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{0, 0, 0, 0};
  Window* self = Self(this);
  if (self == nullptr) return;
  const RECT insets = fx::headless::ClientInsets(self);
  const int width = self->rect.right - self->rect.left - insets.left - insets.right;
  const int height = self->rect.bottom - self->rect.top - insets.top - insets.bottom;
  rect->right = std::max(width, 0);
  rect->bottom = std::max(height, 0);
}

// In screen coordinates, as on Windows: a child keeps its rectangle in its parent's client
// coordinates, so the parents' positions and client offsets are added up.
void CWnd::GetWindowRect(RECT* rect) const {
  Window* self = Self(this);
  *rect = self ? self->rect : RECT{0, 0, 0, 0};
  if (self == nullptr) return;
  for (const Window* parent = self->parent; parent != nullptr; parent = parent->parent) {
    const RECT insets = fx::headless::ClientInsets(parent);
    const LONG dx = parent->rect.left + insets.left, dy = parent->rect.top + insets.top;
    rect->left += dx, rect->right += dx, rect->top += dy, rect->bottom += dy;
  }
}

CWnd* CWnd::GetOwner() const {
  Window* self = Self(this);
  return self && self->owner ? FromHandle(self->owner->handle()) : nullptr;
}

void CWnd::SetWindowText(const char* text) {
  Window* self = Self(this);
  if (self == nullptr) return;
  self->text = text ? text : "";
  // A single-line edit reports every change of its text, also one made by its program.
  if (self->kind == Kind::Edit) fx::headless::NotifyCommand(self, EN_CHANGE);
}

void CWnd::GetWindowText(CString& text) const {
  Window* self = Self(this);
  text = self ? self->text.c_str() : "";
}

CWnd* CWnd::GetDlgItem(int id) const {
  Window* child = Child(this, id);
  return child ? FromHandle(child->handle()) : nullptr;
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  Window* child = Child(this, id);
  return child && child->kind == Kind::CheckBox ? child->check : BST_UNCHECKED;
}

void CWnd::CheckDlgButton(int id, UINT check) {
  if (Window* child = Child(this, id); child && child->kind == Kind::CheckBox) child->check = check;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return fx::headless::Send(Self(this), message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = Self(this);
  if (self == nullptr) return FALSE;
  fx::headless::Post(self, message, wParam, lParam);
  return TRUE;
}
