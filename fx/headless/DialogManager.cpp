// The headless dialog manager and keyboard focus, with the rules of the system's: Enter is the
// default button's command (IDOK when there is none), Escape is IDCANCEL, Tab moves the focus
// to the next tab stop (Shift+Tab: the one before), descending into control parents (pages)
// and wrapping around; a control parent that is a tab stop itself comes before its controls.
#include <algorithm>

#include "Window.h"

namespace fx::headless {

bool Usable(const Window* window) { return window->visible && !(window->style & WS_DISABLED); }

namespace {

Window* g_focus = nullptr;

bool Inside(const Window* window, const Window* outer) {
  for (const Window* w = window; w != nullptr; w = w->parent)
    if (w == outer) return true;
  return false;
}

// The first tab stop among `container`'s children after `after` (from the start when null).
Window* StopAmong(Window* container, const Window* after, bool previous) {
  std::vector<Window*> children;
  for (auto& child : container->children) children.push_back(child.get());
  if (previous) std::reverse(children.begin(), children.end());
  auto it = children.begin();
  if (after != nullptr) {
    it = std::find(children.begin(), children.end(), after);
    if (it != children.end()) ++it;
  }
  for (; it != children.end(); ++it) {
    Window* child = *it;
    if (!Usable(child)) continue;
    if (!child->controlParent) {
      if (child->style & WS_TABSTOP) return child;
      continue;
    }
    // A control parent that is a tab stop itself (a tab control holding pages) comes before
    // the controls inside it.
    const bool stop = (child->style & WS_TABSTOP) != 0;
    if (stop && !previous) return child;
    if (Window* inner = StopAmong(child, nullptr, previous)) return inner;
    if (stop) return child;
  }
  return nullptr;
}

bool IsContainerStop(const Window* window) { return window->controlParent && (window->style & WS_TABSTOP) && Usable(window); }

bool IsDefaultButton(const Window* window) {
  return window->kind == Kind::PushButton && (window->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void SendCommand(Window* dialog, int id) {
  Window* button = ChildWithId(dialog, id);
  Send(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
       reinterpret_cast<LPARAM>(button ? button->handle() : nullptr));
}

}  // namespace

Window* Focus() {
  if (g_focus != nullptr && !IsLive(g_focus->handle())) g_focus = nullptr;
  return g_focus;
}

void SetFocus(Window* window) {
  if (window == nullptr) {
    g_focus = nullptr;
    return;
  }
  if (!IsLive(window->handle())) return;
  if (window->kind == Kind::Dialog || window->kind == Kind::TopLevel) {
    // A dialog passes the focus on to its control that had it, or to its first tab stop.
    Window* current = Focus();
    if (current != nullptr && current != window && Inside(current, window)) return;
    if (Window* first = StopAmong(window, nullptr, false)) window = first;
  }
  g_focus = window;
  // The focus makes its top-level window the active one, and so its owner's last active popup.
  Window* top = window;
  while (top->parent != nullptr) top = top->parent;
  if (top->owner != nullptr) top->owner->lastActivePopup = top->handle();
  else top->lastActivePopup = nullptr;
}

Window* NextTabStop(Window* dialog, Window* from, bool previous) {
  if (from == nullptr || !Inside(from, dialog) || from == dialog) return StopAmong(dialog, nullptr, previous);
  if (!previous && IsContainerStop(from))
    if (Window* inner = StopAmong(from, nullptr, false)) return inner;
  for (Window* after = from; after != dialog && after->parent != nullptr; after = after->parent) {
    if (Window* next = StopAmong(after->parent, after, previous)) return next;
    // Back out of a tab stop's inside: the stop itself comes next.
    if (previous && after->parent != dialog && IsContainerStop(after->parent)) return after->parent;
  }
  Window* first = StopAmong(dialog, nullptr, previous);
  return first ? first : from;
}

bool IsDialogMessage(Window* dialog, const MSG& message) {
  Window* target = Live(message.hwnd);
  if (dialog == nullptr || target == nullptr || !Inside(target, dialog) || message.message != WM_KEYDOWN) return false;
  switch (message.wParam) {
    case VK_RETURN: {
      Window* focus = Focus();
      if (focus != nullptr && Inside(focus, dialog) && IsDefaultButton(focus)) {
        SendCommand(dialog, focus->id);
        return true;
      }
      int id = IDOK;
      for (auto& child : dialog->children)
        if (IsDefaultButton(child.get())) {
          id = child->id;
          break;
        }
      SendCommand(dialog, id);
      return true;
    }
    case VK_ESCAPE:
      SendCommand(dialog, IDCANCEL);
      return true;
    case VK_TAB:
      if (Window* next = NextTabStop(dialog, Focus(), HeldKeys().shift)) SetFocus(next);
      return true;
    default:
      return false;
  }
}

}  // namespace fx::headless

namespace fx::backend {

bool IsDialogMessage(HWND dialog, MSG* message) {
  return message != nullptr && headless::IsDialogMessage(headless::Live(dialog), *message);
}

bool IsKeyDown(int virtualKey) {
  const headless::HeldModifiers& held = headless::HeldKeys();
  return (virtualKey == VK_CONTROL && held.control) || (virtualKey == VK_SHIFT && held.shift);
}

HWND TabControlOf(HWND dialog) {
  const headless::Window* window = headless::Live(dialog);
  if (window == nullptr) return nullptr;
  for (const auto& child : window->children)
    if (child->kind == headless::Kind::Tab) return child->handle();
  return nullptr;
}

void StepTab(HWND tab, int step) {
  headless::Window* window = headless::Live(tab);
  const int count = window ? static_cast<int>(window->items.size()) : 0;
  if (count == 0) return;
  headless::SelectTabAsPerson(window, ((window->curSel + step) % count + count) % count);
}

HWND LastActivePopup(HWND owner) {
  const headless::Window* window = headless::Live(owner);
  if (window == nullptr) return owner;
  const headless::Window* popup = headless::Live(window->lastActivePopup);
  return popup != nullptr && popup->owner == window && headless::Usable(popup) ? window->lastActivePopup : owner;
}

HWND ParentOf(HWND window) {
  headless::Window* w = headless::Live(window);
  return w != nullptr && w->parent != nullptr ? w->parent->handle() : nullptr;
}

}  // namespace fx::backend
