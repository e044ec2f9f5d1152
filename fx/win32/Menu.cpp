#include "fx/Menu.h"

#include "../core/HeldMenu.h"
#include "Win32.h"
#include "fx/Desktop.h"
#include "fx/Resources.h"
#include "fx/Wnd.h"

namespace fx::win32 {

// The system's modal menu belongs to a desktop on the screen; with a recording desktop (tests,
// scripted sessions) the menu is held open for the driver, as on the headless backend.
bool UseRealPopupMenus() { return GetDesktop().PopupMenusOnScreen(); }

}  // namespace fx::win32

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::LoadMenu(UINT id) {
  DestroyMenu();
  const fx::MenuTemplate* tmpl = fx::FindMenuTemplate(static_cast<int>(id));
  if (tmpl == nullptr) return FALSE;
  HMENU bar = ::CreateMenu();
  if (bar == nullptr) return FALSE;
  for (const fx::PopupTemplate& popup : tmpl->popups) {
    HMENU items = ::CreatePopupMenu();
    for (const fx::MenuItemTemplate& entry : popup.items) {
      if (entry.text == nullptr) {
        ::AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
      } else {
        const std::wstring text = fx::win32::Wide(entry.text);
        ::AppendMenuW(items, MF_STRING, entry.command, text.c_str());
      }
    }
    const std::wstring text = fx::win32::Wide(popup.text ? popup.text : "");
    ::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(items), text.c_str());
  }
  m_hMenu = bar;
  m_ownsHandle = true;
  return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) {
  if (m_hMenu == nullptr || position < 0) return nullptr;
  HMENU popup = ::GetSubMenu(m_hMenu, position);
  if (popup == nullptr) return nullptr;
  for (auto& sub : m_subMenus)
    if (sub->m_hMenu == popup) return sub.get();
  auto sub = std::make_unique<CMenu>();
  sub->m_hMenu = popup;
  m_subMenus.push_back(std::move(sub));
  return m_subMenus.back().get();
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  for (auto& sub : m_subMenus) sub->m_hMenu = nullptr;
  m_subMenus.clear();
  if (m_ownsHandle) ::DestroyMenu(m_hMenu);  // its popups go with it
  m_hMenu = nullptr;
  m_ownsHandle = false;
  return TRUE;
}

UINT CMenu::GetMenuItemCount() const {
  if (m_hMenu == nullptr) return 0;
  const int count = ::GetMenuItemCount(m_hMenu);
  return count < 0 ? 0 : static_cast<UINT>(count);
}

UINT CMenu::GetMenuItemID(int position) const {
  if (m_hMenu == nullptr || position < 0) return 0;
  return ::GetMenuItemID(m_hMenu, position);
}

int CMenu::GetMenuString(UINT position, CString& text, UINT flags) const {
  text.Empty();
  if (m_hMenu == nullptr) return 0;
  wchar_t buffer[256] = {};
  const int length = ::GetMenuStringW(m_hMenu, position, buffer, 256, flags | MF_BYPOSITION);
  if (length <= 0) return 0;
  text = fx::win32::Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length)));
  return text.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect) {
  if (m_hMenu == nullptr || owner == nullptr || owner->m_hWnd == nullptr) return FALSE;
  if (fx::win32::UseRealPopupMenus()) {
    // The menu closes properly only when its owner is the foreground window.
    ::SetForegroundWindow(owner->m_hWnd);
    return ::TrackPopupMenu(m_hMenu, flags & ~TPM_RETURNCMD, x, y, 0, owner->m_hWnd, rect);
  }
  fx::menus::HeldMenu open{owner->m_hWnd, POINT{x, y}, {}};
  const UINT count = GetMenuItemCount();
  for (UINT i = 0; i < count; ++i) {
    CString text;
    GetMenuString(i, text, MF_BYPOSITION);
    open.items.emplace_back(GetMenuItemID(static_cast<int>(i)), text.Str());
  }
  fx::menus::CurrentHeldMenu() = std::move(open);
  return TRUE;
}
