#include "Window.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

#include "../core/Backend.h"
#include "fx/App.h"
#include "fx/Wnd.h"

namespace fx::headless {
namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// Every top-level window (children hang from their parents), the set of live windows, and the
// last handle found live, which stays live until a window is destroyed. When the process exits
// with windows left, they go with this; an object still attached to one (a plug-in loaded at
// exit) then finds no window alive instead of a freed one.
struct Registry {
  std::vector<std::unique_ptr<Window>> topLevels;
  std::unordered_set<const Window*> live;
  HWND lastFoundLive = nullptr;

  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  ~Registry() { gone = true; }

  static inline bool gone = false;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::vector<std::unique_ptr<Window>>& TopLevelStore() { return TheRegistry().topLevels; }
std::unordered_set<const Window*>& LiveSet() { return TheRegistry().live; }
HWND& LastFoundLive() { return TheRegistry().lastFoundLive; }

struct Posted {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::deque<Posted>& PostQueue() {
  static std::deque<Posted> queue;
  return queue;
}

Kind KindOf(const ControlTemplate& control) {
  switch (control.controlClass) {
    case ControlClass::Button:
      switch (control.style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
          return Kind::CheckBox;
        case BS_GROUPBOX:
          return Kind::GroupBox;
        default:
          return Kind::PushButton;
      }
    case ControlClass::Edit:
      return Kind::Edit;
    case ControlClass::Static:
      return Kind::Static;
    case ControlClass::ListView:
      return Kind::ListView;
    case ControlClass::ComboBox:
      return Kind::ComboBox;
    case ControlClass::TabControl:
      return Kind::Tab;
  }
  return Kind::Static;
}

void DestroyTree(Window* window) {
  window->destroying = true;
  // Owned windows go first, as with the real window manager.
  for (Window* other : TopLevels())
    if (LiveSet().count(other) && other->owner == window && !other->destroying) Destroy(other);
  Send(window, WM_DESTROY);
  for (auto& child : window->children) DestroyTree(child.get());
  if (Focus() == window) SetFocus(nullptr);
  if (window->object != nullptr) {
    window->object->m_hWnd = nullptr;
    window->object = nullptr;
  }
  LiveSet().erase(window);
  LastFoundLive() = nullptr;
}

}  // namespace

bool IsLive(HWND h) {
  // The plug-in's calls come in runs on one control; the last handle found stays live until a
  // window is destroyed, so a run costs one look-up.
  if (h == nullptr || Registry::gone) return false;
  if (h == LastFoundLive()) return true;
  if (LiveSet().count(FromHwnd(h)) == 0) return false;
  LastFoundLive() = h;
  return true;
}
Window* Live(HWND h) { return IsLive(h) ? FromHwnd(h) : nullptr; }

Window* NewTopLevel() {
  auto window = std::make_unique<Window>();
  Window* raw = window.get();
  TopLevelStore().push_back(std::move(window));
  LiveSet().insert(raw);
  return raw;
}

Window* ChildWithId(const Window* parent, int id) {
  if (parent == nullptr) return nullptr;
  for (const auto& child : parent->children)
    if (child->id == id) return child.get();
  return nullptr;
}

Window* NewChild(Window* parent) {
  auto window = std::make_unique<Window>();
  Window* raw = window.get();
  raw->parent = parent;
  parent->children.push_back(std::move(window));
  LiveSet().insert(raw);
  return raw;
}

std::vector<Window*> TopLevels() {
  std::vector<Window*> result;
  for (auto& window : TopLevelStore())
    if (LiveSet().count(window.get())) result.push_back(window.get());
  return result;
}

void Destroy(Window* window) {
  if (window == nullptr || window->destroying || !LiveSet().count(window)) return;
  DestroyTree(window);
  if (Window* parent = window->parent) {
    auto& siblings = parent->children;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [&](auto& c) { return c.get() == window; }),
                   siblings.end());
  } else {
    auto& store = TopLevelStore();
    store.erase(std::remove_if(store.begin(), store.end(), [&](auto& w) { return w.get() == window; }), store.end());
  }
  auto& queue = PostQueue();
  queue.erase(std::remove_if(queue.begin(), queue.end(), [](const Posted& p) { return !IsLive(p.window); }),
              queue.end());
}

RECT ClientInsets(const Window* window) {
  if (window->kind != Kind::Dialog || (window->style & WS_CAPTION) != WS_CAPTION) return RECT{0, 0, 0, 0};
  constexpr LONG kBorder = 3, kCaptionHeight = 22;
  return RECT{kBorder, kCaptionHeight + kBorder, kBorder, kBorder};
}

Window* BuildDialog(const DialogTemplate& tmpl, Window* parent, Window* owner) {
  Window* dialog = parent ? NewChild(parent) : NewTopLevel();
  dialog->kind = Kind::Dialog;
  dialog->templateId = tmpl.id;
  dialog->style = tmpl.style;
  dialog->text = tmpl.caption ? tmpl.caption : "";
  dialog->owner = owner;
  if (parent != nullptr) {
    // A page: a control parent, as are the windows between it and the dialog around it, so that
    // the outer dialog's Tab goes on into the page's controls.
    dialog->style |= DS_CONTROL;
    for (Window* w = dialog; w != nullptr && (w == dialog || w->kind != Kind::Dialog); w = w->parent) w->controlParent = true;
  }
  const int width = DialogUnitsToPixelsX(tmpl.cx);
  const int height = DialogUnitsToPixelsY(tmpl.cy);
  const RECT insets = ClientInsets(dialog);
  const int frameWidth = insets.left + insets.right, frameHeight = insets.top + insets.bottom;
  int x = 0, y = 0;
  if (parent == nullptr && (tmpl.style & DS_CENTER)) {
    x = (kScreenWidth - width - frameWidth) / 2;
    y = (kScreenHeight - height - frameHeight) / 2;
  }
  dialog->rect = RECT{x, y, x + width + frameWidth, y + height + frameHeight};
  return dialog;
}

void BuildControls(Window* dialog, const DialogTemplate& tmpl) {
  for (const ControlTemplate& control : tmpl.controls) {
    Window* child = NewChild(dialog);
    child->kind = KindOf(control);
    child->id = control.id;
    child->style = control.style | WS_CHILD | WS_VISIBLE;
    child->visible = true;
    if (child->kind != Kind::ComboBox && child->kind != Kind::Edit && control.text) child->text = control.text;
    const int x = DialogUnitsToPixelsX(control.x), y = DialogUnitsToPixelsY(control.y);
    child->rect = RECT{x, y, x + DialogUnitsToPixelsX(control.cx), y + DialogUnitsToPixelsY(control.cy)};
    if (child->kind == Kind::ListView) child->bkColor = 0xFFFFFF, child->textColor = 0, child->textBkColor = 0xFFFFFF;
  }
}

LRESULT Send(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr || !LiveSet().count(window)) return 0;
  if (window->object != nullptr) return window->object->WindowProc(message, wParam, lParam);
  return DefaultWindowProc(window, message, wParam, lParam);
}

void Post(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window != nullptr) PostQueue().push_back({window->handle(), message, wParam, lParam});
}

LRESULT DefaultWindowProc(Window* window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return 0;
  switch (message) {
    case WM_SETICON: {
      int previous = wParam == ICON_BIG ? window->bigIcon : window->smallIcon;
      const auto* icon = reinterpret_cast<const IconTemplate*>(lParam);
      (wParam == ICON_BIG ? window->bigIcon : window->smallIcon) = icon ? icon->id : -1;
      return previous;
    }
    case WM_CLOSE:
      // A dialog's close box means Cancel; any other window is destroyed.
      if (window->kind == Kind::Dialog) {
        Send(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      } else {
        Destroy(window);
      }
      return 0;
    case WM_INITDIALOG:
      return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return ControlInput(window, message, wParam, lParam);
    default:
      return 0;
  }
}

void NotifyCommand(Window* control, UINT code) {
  if (control->parent == nullptr) return;
  Send(control->parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(control->id), code),
       reinterpret_cast<LPARAM>(control->handle()));
}

LRESULT NotifyList(Window* list, UINT code, int row, int column) {
  if (list->parent == nullptr) return 0;
  NMITEMACTIVATE notification{};
  notification.hdr.hwndFrom = list->handle();
  notification.hdr.idFrom = static_cast<UINT_PTR>(list->id);
  notification.hdr.code = code;
  notification.iItem = row;
  notification.iSubItem = column;
  return Send(list->parent, WM_NOTIFY, static_cast<WPARAM>(list->id), reinterpret_cast<LPARAM>(&notification));
}

}  // namespace fx::headless

namespace fx::backend {

bool CreateDialogWindow(CWnd* object, const DialogTemplate& tmpl, HWND parent, HWND owner) {
  using namespace fx::headless;
  Window* parentWindow = parent ? Live(parent) : nullptr;
  if (parent != nullptr && parentWindow == nullptr) return false;
  Window* dialog = BuildDialog(tmpl, parentWindow, owner ? Live(owner) : nullptr);
  dialog->object = object;
  object->m_hWnd = dialog->handle();
  // The real window manager sizes the dialog before its controls exist.
  RECT client{};
  object->GetClientRect(&client);
  Send(dialog, WM_SIZE, 0, static_cast<LPARAM>(MAKEWPARAM(static_cast<unsigned>(client.right), static_cast<unsigned>(client.bottom))));
  if (!IsLive(dialog->handle())) return false;
  BuildControls(dialog, tmpl);
  Send(dialog, WM_INITDIALOG, 0, 0);
  if (!IsLive(dialog->handle())) return false;
  if (tmpl.style & WS_VISIBLE) dialog->visible = true;
  return true;
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return fx::headless::DefaultWindowProc(fx::headless::Live(window), message, wParam, lParam);
}

}  // namespace fx::backend

namespace {

// A key the dialog manager left alone types its character, as the system's TranslateMessage does.
void Translate(const MSG& message) {
  if (message.message != WM_KEYDOWN) return;
  switch (message.wParam) {
    case VK_RETURN: fx::headless::Post(fx::headless::Live(message.hwnd), WM_CHAR, '\r', 1); break;
    case VK_ESCAPE: fx::headless::Post(fx::headless::Live(message.hwnd), WM_CHAR, 0x1B, 1); break;
    case VK_TAB: fx::headless::Post(fx::headless::Live(message.hwnd), WM_CHAR, '\t', 1); break;
    case VK_SPACE: fx::headless::Post(fx::headless::Live(message.hwnd), WM_CHAR, ' ', 1); break;
    default: break;
  }
}

}  // namespace

int fx::PumpMessages() {
  using namespace fx::headless;
  int delivered = 0;
  auto& queue = PostQueue();
  while (!queue.empty()) {
    Posted posted = queue.front();
    queue.pop_front();
    if (Window* window = Live(posted.window)) {
      MSG message{posted.window, posted.message, posted.wParam, posted.lParam, 0, POINT{0, 0}};
      ++delivered;
      if (fx::PreTranslateMessage(&message)) continue;
      Translate(message);
      Send(window, posted.message, posted.wParam, posted.lParam);
    }
  }
  return delivered;
}

HICON AfxLoadIcon(int id) {
  // Headless icons are their templates.
  return reinterpret_cast<HICON>(const_cast<fx::IconTemplate*>(fx::FindIconTemplate(id)));
}
