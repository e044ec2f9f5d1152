#include "fx/Resources.h"

#include <algorithm>
#include <vector>

namespace fx {
namespace {

std::vector<const ResourceTable*>& Tables() {
  static std::vector<const ResourceTable*> tables;
  return tables;
}

template <class T>
const T* FindIn(std::span<const T> items, int id) {
  for (const T& item : items)
    if (item.id == id) return &item;
  return nullptr;
}

}  // namespace

void RegisterResources(const ResourceTable* table) {
  if (table != nullptr) Tables().push_back(table);
}

void UnregisterResources(const ResourceTable* table) {
  auto& tables = Tables();
  tables.erase(std::remove(tables.begin(), tables.end(), table), tables.end());
}

const DialogTemplate* FindDialogTemplate(int id) {
  const auto& tables = Tables();
  for (auto it = tables.rbegin(); it != tables.rend(); ++it)
    if (const auto* found = FindIn((*it)->dialogs, id)) return found;
  return nullptr;
}

const MenuTemplate* FindMenuTemplate(int id) {
  const auto& tables = Tables();
  for (auto it = tables.rbegin(); it != tables.rend(); ++it)
    if (const auto* found = FindIn((*it)->menus, id)) return found;
  return nullptr;
}

const IconTemplate* FindIconTemplate(int id) {
  const auto& tables = Tables();
  for (auto it = tables.rbegin(); it != tables.rend(); ++it)
    if (const auto* found = FindIn((*it)->icons, id)) return found;
  return nullptr;
}

}  // namespace fx
