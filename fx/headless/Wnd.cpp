// CWnd's window operations on the headless windows.
#include <algorithm>

#include "Window.h"
#include "fx/App.h"
#include "fx/Desktop.h"
#include "fx/Wnd.h"

using fx::headless::Kind;
using fx::headless::Live;
using fx::headless::Window;

namespace {

Window* Self(const CWnd* wnd) { return Live(wnd->m_hWnd); }

Window* Child(const CWnd* wnd, int id) {
  Window* self = Self(wnd);
  if (self == nullptr) return nullptr;
  for (auto& child : self->children)
    if (child->id == id) return child.get();
  return nullptr;
}

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (Window* self = Self(this)) {
    self->object = nullptr;
    m_hWnd = nullptr;
    fx::headless::Destroy(self);
  }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  Window* window = Live(hWnd);
  if (window == nullptr) return nullptr;
  if (window->object != nullptr) return window->object;
  if (!window->temporary) {
    window->temporary = std::make_unique<CWnd>();
    window->temporary->m_hWnd = hWnd;
  }
  return window->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  Window* window = Live(hWnd);
  return window != nullptr ? window->object : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  Window* window = Live(hWnd);
  if (window == nullptr || m_hWnd != nullptr) return FALSE;
  if (window->object != nullptr && window->object != this) return FALSE;
  window->object = this;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND handle = m_hWnd;
  if (Window* window = Self(this); window && window->object == this) window->object = nullptr;
  m_hWnd = nullptr;
  return handle;
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

BOOL CWnd::SetForegroundWindow() { return Self(this) != nullptr ? TRUE : FALSE; }

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL) {
  SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER);
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
  int width = self->rect.right - self->rect.left, height = self->rect.bottom - self->rect.top;
  if (self->kind == Kind::Dialog && (self->style & WS_CAPTION) == WS_CAPTION) width -= 6, height -= 28;
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
    const POINT offset = fx::headless::ClientOffset(parent);
    const LONG dx = parent->rect.left + offset.x, dy = parent->rect.top + offset.y;
    rect->left += dx, rect->right += dx, rect->top += dy, rect->bottom += dy;
  }
}

CWnd* CWnd::GetParent() const {
  Window* self = Self(this);
  return self && self->parent ? FromHandle(self->parent->handle()) : nullptr;
}

CWnd* CWnd::GetOwner() const {
  Window* self = Self(this);
  return self && self->owner ? FromHandle(self->owner->handle()) : nullptr;
}

int CWnd::GetDlgCtrlID() const {
  Window* self = Self(this);
  return self ? self->id : 0;
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

int CWnd::GetWindowTextLength() const {
  Window* self = Self(this);
  return self ? static_cast<int>(self->text.size()) : 0;
}

CWnd* CWnd::GetDlgItem(int id) const {
  Window* child = Child(this, id);
  return child ? FromHandle(child->handle()) : nullptr;
}

void CWnd::SetDlgItemText(int id, const char* text) {
  if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
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

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return fx::GetDesktop().ShowMessageBox({m_hWnd, text ? text : "", caption ? caption : fx::AppTitle(), type});
}
