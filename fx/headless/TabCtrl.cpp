#include "fx/TabCtrl.h"

#include "Window.h"

using fx::headless::Kind;
using fx::headless::Live;
using fx::headless::Window;

namespace {

Window* Tab(const CTabCtrl* tab) {
  Window* window = Live(tab->m_hWnd);
  return window && window->kind == Kind::Tab ? window : nullptr;
}

}  // namespace

LONG CTabCtrl::InsertItem(int item, const char* text) {
  Window* tab = Tab(this);
  if (tab == nullptr || item < 0) return -1;
  const int at = std::min<int>(item, static_cast<int>(tab->items.size()));
  tab->items.insert(tab->items.begin() + at, text ? text : "");
  if (tab->curSel < 0) tab->curSel = 0;  // the first tab is selected when it appears
  else if (tab->curSel >= at && tab->items.size() > 1) ++tab->curSel;
  return at;
}

int CTabCtrl::GetItemCount() const {
  Window* tab = Tab(this);
  return tab ? static_cast<int>(tab->items.size()) : 0;
}

int CTabCtrl::GetCurSel() const {
  Window* tab = Tab(this);
  return tab ? tab->curSel : -1;
}

int CTabCtrl::SetCurSel(int item) {
  Window* tab = Tab(this);
  if (tab == nullptr || item < 0 || item >= static_cast<int>(tab->items.size())) return -1;
  const int previous = tab->curSel;
  tab->curSel = item;
  return previous;
}
