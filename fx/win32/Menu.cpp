// Menus as the system's menus.
#include "../core/Backend.h"
#include "Win32.h"
#include "fx/Desktop.h"
#include "fx/Menu.h"
#include "fx/Resources.h"

using fx::GetDesktop;

HMENU fx::backend::MakeMenu(const MenuTemplate& tmpl) {
  HMENU bar = ::CreateMenu();
  if (bar == nullptr) return nullptr;
  for (const fx::PopupTemplate& popup : tmpl.popups) {
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
  return bar;
}

HMENU fx::backend::SubMenuAt(HMENU menu, int position) { return ::GetSubMenu(menu, position); }

void fx::backend::FreeMenu(HMENU menu) { ::DestroyMenu(menu); }

// The system's modal menu belongs to a desktop on the screen; with a recording desktop (tests,
// scripted sessions) the menu is held open for the driver, as on the headless backend.
std::optional<BOOL> fx::backend::TrackMenuOnScreen(HMENU menu, UINT flags, int x, int y, HWND owner, LPCRECT rect) {
  if (!GetDesktop().PopupMenusOnScreen()) return std::nullopt;
  // The menu closes properly only when its owner is the foreground window.
  ::SetForegroundWindow(owner);
  return ::TrackPopupMenu(menu, flags & ~TPM_RETURNCMD, x, y, 0, owner, rect);
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
