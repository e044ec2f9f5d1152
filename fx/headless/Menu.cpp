// Menus as in-memory item lists.
#include <memory>
#include <string>
#include <vector>

#include "../core/Backend.h"
#include "fx/Menu.h"
#include "fx/Resources.h"

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

const MenuData::Item* ItemAt(HMENU menu, int position) {
  const MenuData* data = Data(menu);
  if (data == nullptr || position < 0 || position >= static_cast<int>(data->items.size())) return nullptr;
  return &data->items[static_cast<std::size_t>(position)];
}

}  // namespace

HMENU fx::backend::MakeMenu(const MenuTemplate& tmpl) {
  auto* menu = new MenuData;
  for (const fx::PopupTemplate& popup : tmpl.popups) {
    MenuData::Item item;
    item.text = popup.text ? popup.text : "";
    item.popup = std::make_unique<MenuData>();
    for (const fx::MenuItemTemplate& entry : popup.items)
      item.popup->items.push_back(MenuData::Item{entry.command, entry.text ? entry.text : "", nullptr});
    menu->items.push_back(std::move(item));
  }
  return reinterpret_cast<HMENU>(menu);
}

HMENU fx::backend::SubMenuAt(HMENU menu, int position) {
  const MenuData::Item* item = ItemAt(menu, position);
  return item != nullptr ? reinterpret_cast<HMENU>(item->popup.get()) : nullptr;
}

void fx::backend::FreeMenu(HMENU menu) { delete Data(menu); }

std::optional<BOOL> fx::backend::TrackMenuOnScreen(HMENU, UINT, int, int, HWND, LPCRECT) { return std::nullopt; }

UINT CMenu::GetMenuItemCount() const {
  const MenuData* menu = Data(m_hMenu);
  return menu ? static_cast<UINT>(menu->items.size()) : 0;
}

UINT CMenu::GetMenuItemID(int position) const {
  const MenuData::Item* item = ItemAt(m_hMenu, position);
  if (item == nullptr) return 0;
  return item->popup ? static_cast<UINT>(-1) : item->command;
}

int CMenu::GetMenuString(UINT position, CString& text, UINT) const {
  text.Empty();
  const MenuData::Item* item = ItemAt(m_hMenu, static_cast<int>(position));
  if (item == nullptr) return 0;
  text = item->text.c_str();
  return text.GetLength();
}
