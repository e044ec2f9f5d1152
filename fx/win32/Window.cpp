// Windows and their objects: the handle map, the one dialog procedure, the window procedure of
// plain top-level windows, and the message loop's pump.
#include <algorithm>
#include <unordered_map>

#include "../core/Backend.h"
#include "DialogTemplateBuilder.h"
#include "Win32.h"
#include "fx/App.h"
#include "fx/Wnd.h"

namespace fx::win32 {
namespace {

constexpr wchar_t kTopLevelClass[] = L"FxTopLevelWindow";

std::unordered_map<HWND, WindowInfo>& Map() {
  static std::unordered_map<HWND, WindowInfo> map;
  return map;
}

std::vector<HWND>& CreationOrder() {
  static std::vector<HWND> order;
  return order;
}

// The object whose dialog CreateDialogIndirectParamW is making on this thread.
thread_local CWnd* t_creating = nullptr;
thread_local int t_creatingTemplate = -1;

void Forget(HWND window) {
  auto& map = Map();
  auto found = map.find(window);
  if (found == map.end()) return;
  if (found->second.object != nullptr && found->second.object->m_hWnd == window) found->second.object->m_hWnd = nullptr;
  map.erase(found);
  auto& order = CreationOrder();
  order.erase(std::remove(order.begin(), order.end(), window), order.end());
}

constexpr wchar_t kPreviousProc[] = L"FxControlProc";

// A watched control's own procedure. Kept in the handle map, so that a message costs no look-up
// in the system (comctl32's subclassing asks the wine server for a window property three times
// per message); the window property is the fallback if the map no longer knows the control.
WNDPROC PreviousProc(HWND window) {
  if (const WindowInfo* info = Info(window); info != nullptr && info->previousProc != nullptr) return info->previousProc;
  return reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProc));
}

LRESULT CALLBACK ControlWatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = PreviousProc(window);
  if (previous == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ::RemovePropW(window, kPreviousProc);
    Forget(window);
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
  }
  const LRESULT result = ::CallWindowProcW(previous, window, message, wParam, lParam);
  if (ChangesListContent(message)) {
    if (WindowInfo* info = Info(window)) info->listContentVersion = NextListContentVersion();
  }
  return result;
}

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)done;
}

// Attaches the object being created to its dialog at the dialog procedure's first message.
// The window manager's own WM_SIZE went to the dialog before the procedure was set, so the
// object is given one now, while the controls do not exist yet.
WindowInfo* AttachCreating(HWND dialog) {
  if (t_creating == nullptr) return nullptr;
  CWnd* object = t_creating;
  t_creating = nullptr;
  WindowInfo& info = Register(dialog, Kind::Dialog);
  info.object = object;
  info.templateId = t_creatingTemplate;
  object->m_hWnd = dialog;
  RECT client{};
  ::GetClientRect(dialog, &client);
  object->WindowProc(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  return Info(dialog);
}

// An owner-data list of a Unicode dialog asks for its texts in UTF-16; the owner answers in
// CP932 through the narrow notification, as it does on every backend.
LRESULT AskOwnerForDisplayInfo(CWnd* owner, WPARAM wParam, NMLVDISPINFOW* wide) {
  char buffer[1024];
  NMLVDISPINFOA narrow{};
  narrow.hdr = wide->hdr;
  narrow.hdr.code = LVN_GETDISPINFOA;
  narrow.item.mask = wide->item.mask;
  narrow.item.iItem = wide->item.iItem;
  narrow.item.iSubItem = wide->item.iSubItem;
  narrow.item.state = wide->item.state;
  narrow.item.stateMask = wide->item.stateMask;
  narrow.item.iImage = wide->item.iImage;
  narrow.item.lParam = wide->item.lParam;
  buffer[0] = '\0';
  narrow.item.pszText = buffer;
  narrow.item.cchTextMax = static_cast<int>(sizeof buffer);
  const LRESULT result = owner->WindowProc(WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(&narrow));
  wide->item.state = narrow.item.state;
  wide->item.iImage = narrow.item.iImage;
  if ((wide->item.mask & LVIF_TEXT) && wide->item.pszText != nullptr && wide->item.cchTextMax > 0) {
    const std::wstring text = Wide(narrow.item.pszText ? narrow.item.pszText : "");
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(wide->item.cchTextMax) - 1);
    std::copy_n(text.data(), length, wide->item.pszText);
    wide->item.pszText[length] = L'\0';
  }
  return result;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowInfo* info = Info(dialog);
  if (info == nullptr) info = AttachCreating(dialog);
  if (info == nullptr) return FALSE;
  CWnd* object = info->object;
  if (object == nullptr) {
    if (message == WM_NCDESTROY) Forget(dialog);
    return FALSE;
  }
  const bool wideDisplayInfo =
      message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(LVN_GETDISPINFOW);
  const LRESULT result = wideDisplayInfo ? AskOwnerForDisplayInfo(object, wParam, reinterpret_cast<NMLVDISPINFOW*>(lParam))
                                         : object->WindowProc(message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      Forget(dialog);
      return FALSE;
    case WM_NOTIFY:
      // A notification's answer goes through DWLP_MSGRESULT.
      ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
      return TRUE;
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return static_cast<INT_PTR>(result);
    default:
      return result != 0 ? TRUE : FALSE;
  }
}

LRESULT CALLBACK TopLevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* object = static_cast<CWnd*>(create->lpCreateParams);
    if (object != nullptr) {
      Register(window, Kind::TopLevel).object = object;
      object->m_hWnd = window;
    }
  }
  WindowInfo* info = Info(window);
  CWnd* object = info ? info->object : nullptr;
  LRESULT result = object ? object->WindowProc(message, wParam, lParam) : ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) Forget(window);
  return result;
}

}  // namespace

WindowInfo* Info(HWND window) {
  auto& map = Map();
  auto found = map.find(window);
  return found == map.end() ? nullptr : &found->second;
}

WindowInfo& Register(HWND window, Kind kind) {
  auto [it, inserted] = Map().try_emplace(window);
  if (inserted) {
    it->second.kind = kind;
    if (kind != Kind::Control) CreationOrder().push_back(window);
  }
  return it->second;
}

std::vector<HWND> OwnWindows() {
  std::vector<HWND> live;
  for (HWND window : CreationOrder())
    if (::IsWindow(window)) live.push_back(window);
  return live;
}

void WatchControl(HWND control) {
  WindowInfo& info = Register(control, Kind::Control);
  if (!info.subclassed) {
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (current == ControlWatchProc) {
      // Watched already, and the map forgot it: the control's own procedure is in the property.
      info.previousProc = reinterpret_cast<WNDPROC>(::GetPropW(control, kPreviousProc));
      info.subclassed = info.previousProc != nullptr;
    } else if (current != nullptr && ::SetPropW(control, kPreviousProc, reinterpret_cast<HANDLE>(current))) {
      info.previousProc = current;
      info.subclassed = ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWatchProc)) != 0;
    }
    // Whatever rows the control had before it was watched count as content not seen before.
    info.listContentVersion = NextListContentVersion();
  }
}

ATOM TopLevelClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TopLevelProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kTopLevelClass;
    return ::RegisterClassExW(&windowClass);
  }();
  return atom;
}

}  // namespace fx::win32

namespace fx::backend {

bool CreateDialogWindow(CWnd* object, const DialogTemplate& tmpl, HWND parent, HWND owner) {
  using namespace fx::win32;
  if (parent != nullptr && !::IsWindow(parent)) return false;
  EnsureCommonControls();
  // A page is a control parent (DS_CONTROL), as are the windows between it and the dialog
  // around it, so that the outer dialog's Tab goes on into the page's controls.
  DialogTemplate page = tmpl;
  if (parent != nullptr) page.style |= DS_CONTROL;
  const DialogTemplateBuilder builder(page);
  CWnd* const outerCreating = t_creating;
  const int outerTemplate = t_creatingTemplate;
  t_creating = object;
  t_creatingTemplate = tmpl.id;
  HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), builder.Get(), parent ? parent : owner,
                                             DialogProc, 0);
  t_creating = outerCreating;
  t_creatingTemplate = outerTemplate;
  if (dialog == nullptr || object->m_hWnd != dialog || !::IsWindow(dialog)) return false;
  for (HWND between = parent; between != nullptr && (::GetWindowLongW(between, GWL_STYLE) & WS_CHILD);
       between = ::GetParent(between)) {
    const WindowInfo* info = Info(between);
    if (info != nullptr && info->kind != Kind::Control) break;
    ::SetWindowLongPtrW(between, GWL_EXSTYLE, ::GetWindowLongPtrW(between, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  }
  return true;
}

HWND ParentOf(HWND window) {
  if (window == nullptr || !::IsWindow(window) || !(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return nullptr;
  return ::GetAncestor(window, GA_PARENT);
}

HWND LastActivePopup(HWND owner) {
  if (owner == nullptr || !::IsWindow(owner)) return owner;
  const HWND popup = ::GetLastActivePopup(owner);
  return popup != nullptr && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup) ? popup : owner;
}

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  using namespace fx::win32;
  WindowInfo* info = Info(window);
  if (info == nullptr || info->kind != Kind::Dialog) return ::DefWindowProcW(window, message, wParam, lParam);
  // Dialogs: FALSE hands the message on to the dialog manager (DefDlgProc), which also turns
  // the close box into IDCANCEL.
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_SETICON:
      // One of our big icons brings its 16 x 16 partner for the caption.
      if (wParam == ICON_BIG) {
        const int id = IconIdOf(reinterpret_cast<HICON>(lParam));
        if (id >= 0) {
          ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIconOf(id)));
        }
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace fx::backend

int fx::PumpMessages() {
  int delivered = 0;
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!fx::PreTranslateMessage(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (message.hwnd != nullptr && message.message != WM_PAINT && message.message != WM_TIMER) ++delivered;
  }
  return delivered;
}
