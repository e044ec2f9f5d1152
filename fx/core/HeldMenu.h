// A popup menu held open for the driver: while a host's own desktop is installed (tests,
// scripted sessions) TrackPopupMenu records the menu here instead of running a modal menu loop,
// and the driver chooses an item or dismisses it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fx/Types.h"

namespace fx::menus {

struct HeldMenu {
  HWND owner;
  POINT at;
  std::vector<std::pair<UINT, std::string>> items;  // command 0 with empty text: separator
};

std::optional<HeldMenu>& CurrentHeldMenu();

}  // namespace fx::menus
