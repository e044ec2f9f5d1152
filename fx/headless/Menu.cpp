#include "fx/Menu.h"

#include "../core/HeldMenu.h"

#include "Window.h"
#include "fx/Resources.h"
#include "fx/Wnd.h"

namespace {

struct MenuData {
  struct Item {
    UINT command = 0;
    std::string text;
    std::unique_ptr<MenuData> popup;
  };
  std::vector<Item> items;
};

MenuData* Data(HMENU menu) { return reinterpret_cast<MenuData*>(menu); }

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::LoadMenu(UINT id) {
  DestroyMenu();
  const fx::MenuTemplate* tmpl = fx::FindMenuTemplate(static_cast<int>(id));
  if (tmpl == nullptr) return FALSE;
  auto* menu = new MenuData;
  for (const fx::PopupTemplate& popup : tmpl->popups) {
    MenuData::Item item;
    item.text = popup.text ? popup.text : "";
    item.popup = std::make_unique<MenuData>();
    for (const fx::MenuItemTemplate& entry : popup.items)
      item.popup->items.push_back(MenuData::Item{entry.command, entry.text ? entry.text : "", nullptr});
    menu->items.push_back(std::move(item));
  }
  m_hMenu = reinterpret_cast<HMENU>(menu);
  m_ownsHandle = true;
  return TRUE;
}

CMenu* CMenu::GetSubMenu(int position) {
  MenuData* menu = Data(m_hMenu);
  if (menu == nullptr || position < 0 || position >= static_cast<int>(menu->items.size())) return nullptr;
  MenuData* popup = menu->items[static_cast<std::size_t>(position)].popup.get();
  if (popup == nullptr) return nullptr;
  for (auto& sub : m_subMenus)
    if (sub->m_hMenu == reinterpret_cast<HMENU>(popup)) return sub.get();
  auto sub = std::make_unique<CMenu>();
  sub->m_hMenu = reinterpret_cast<HMENU>(popup);
  m_subMenus.push_back(std::move(sub));
  return m_subMenus.back().get();
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  for (auto& sub : m_subMenus) sub->m_hMenu = nullptr;
  m_subMenus.clear();
  if (m_ownsHandle) delete Data(m_hMenu);
  m_hMenu = nullptr;
  m_ownsHandle = false;
  return TRUE;
}

UINT CMenu::GetMenuItemCount() const {
  MenuData* menu = Data(m_hMenu);
  return menu ? static_cast<UINT>(menu->items.size()) : 0;
}

UINT CMenu::GetMenuItemID(int position) const {
  MenuData* menu = Data(m_hMenu);
  if (menu == nullptr || position < 0 || position >= static_cast<int>(menu->items.size())) return 0;
  const auto& item = menu->items[static_cast<std::size_t>(position)];
  return item.popup ? static_cast<UINT>(-1) : item.command;
}

int CMenu::GetMenuString(UINT position, CString& text, UINT) const {
  MenuData* menu = Data(m_hMenu);
  text.Empty();
  if (menu == nullptr || position >= menu->items.size()) return 0;
  text = menu->items[position].text.c_str();
  return text.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT, int x, int y, CWnd* owner, LPCRECT) {
  MenuData* menu = Data(m_hMenu);
  if (menu == nullptr || owner == nullptr || owner->m_hWnd == nullptr) return FALSE;
  fx::menus::HeldMenu open{owner->m_hWnd, POINT{x, y}, {}};
  for (const auto& item : menu->items) open.items.emplace_back(item.command, item.text);
  fx::menus::CurrentHeldMenu() = std::move(open);
  return TRUE;
}
