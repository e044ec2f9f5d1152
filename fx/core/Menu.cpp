// CMenu's ownership of its handle and its popups' wrappers, and the menu held open for the
// driver; the backends make the menus and answer for their items.
#include "fx/Menu.h"

#include "Backend.h"
#include "HeldMenu.h"
#include "fx/Resources.h"
#include "fx/Wnd.h"

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::LoadMenu(UINT id) {
  DestroyMenu();
  const fx::MenuTemplate* tmpl = fx::FindMenuTemplate(static_cast<int>(id));
  if (tmpl == nullptr) return FALSE;
  m_hMenu = fx::backend::MakeMenu(*tmpl);
  m_ownsHandle = m_hMenu != nullptr;
  return m_ownsHandle ? TRUE : FALSE;
}

CMenu* CMenu::GetSubMenu(int position) {
  if (m_hMenu == nullptr || position < 0) return nullptr;
  HMENU popup = fx::backend::SubMenuAt(m_hMenu, position);
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
  if (m_ownsHandle) fx::backend::FreeMenu(m_hMenu);  // its popups go with it
  m_hMenu = nullptr;
  m_ownsHandle = false;
  return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect) {
  if (m_hMenu == nullptr || owner == nullptr || owner->m_hWnd == nullptr) return FALSE;
  if (const auto shown = fx::backend::TrackMenuOnScreen(m_hMenu, flags, x, y, owner->m_hWnd, rect)) return *shown;
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
