#include "HeldMenu.h"

std::optional<fx::menus::HeldMenu>& fx::menus::CurrentHeldMenu() {
  static std::optional<HeldMenu> open;
  return open;
}
