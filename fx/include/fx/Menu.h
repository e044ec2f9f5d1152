// CMenu: menus loaded from the registered resources and shown as popups.
#pragma once

#include <memory>
#include <vector>

#include "fx/String.h"
#include "fx/Types.h"

class CWnd;

class CMenu {
 public:
  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;
  ~CMenu();

  HMENU m_hMenu = nullptr;

  BOOL LoadMenu(UINT id);
  // The popup at a position; owned by this menu. Null when there is none.
  CMenu* GetSubMenu(int position);
  BOOL DestroyMenu();

  UINT GetMenuItemCount() const;
  UINT GetMenuItemID(int position) const;  // 0 for a separator
  int GetMenuString(UINT position, CString& text, UINT flags) const;

  // Shows the popup at (x, y) in screen coordinates; the chosen command reaches `owner` as a
  // WM_COMMAND once the menu has closed.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);

 private:
  std::vector<std::unique_ptr<CMenu>> m_subMenus;
  bool m_ownsHandle = false;
};
