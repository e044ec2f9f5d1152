// Dialog templates, menus and icons as data. A module registers its table when it is loaded;
// CDialog::Create and CMenu::LoadMenu look resources up there. Both backends build their
// windows from these tables, so they are the one source of truth for every window's layout.
#pragma once

#include <cstdint>
#include <span>

#include "fx/Types.h"

namespace fx {

enum class ControlClass { Button, Edit, Static, ListView, ComboBox, TabControl };

struct ControlTemplate {
  int id;  // -1 for controls without an id (labels, group boxes)
  ControlClass controlClass;
  const char* text;
  short x, y, cx, cy;  // dialog units
  DWORD style;         // WS_CHILD | WS_VISIBLE are implied
};

struct DialogTemplate {
  int id;
  const char* caption;
  short cx, cy;  // dialog units
  const char* fontName;
  int pointSize;
  DWORD style;
  std::span<const ControlTemplate> controls;  // in tab order
};

struct MenuItemTemplate {
  UINT command;      // 0 with a null text: a separator
  const char* text;  // with "&" before the access key
};

struct PopupTemplate {
  const char* text;
  std::span<const MenuItemTemplate> items;
};

struct MenuTemplate {
  int id;
  std::span<const PopupTemplate> popups;
};

// An icon group: a 32 x 32 and a 16 x 16 image drawn from this description by the backend.
struct IconTemplate {
  int id;
  COLORREF background;  // 0x00BBGGRR
  COLORREF foreground;
  char glyph;  // an ASCII letter drawn in the middle
};

struct ResourceTable {
  std::span<const DialogTemplate> dialogs;
  std::span<const MenuTemplate> menus;
  std::span<const IconTemplate> icons;
};

// The most recently registered table that has the resource wins.
void RegisterResources(const ResourceTable* table);
void UnregisterResources(const ResourceTable* table);

const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate* FindMenuTemplate(int id);
const IconTemplate* FindIconTemplate(int id);

// Dialog units to pixels for the dialogs' font (both backends agree on these base units).
constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 12;
constexpr int DialogUnitsToPixelsX(int du) { return du * kDialogBaseUnitX / 4; }
constexpr int DialogUnitsToPixelsY(int du) { return du * kDialogBaseUnitY / 8; }

}  // namespace fx

// Loads an icon of the registered resources; null when there is none.
HICON AfxLoadIcon(int id);
