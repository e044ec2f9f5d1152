// What a person sees of the headless windows, for the driver.
#include <algorithm>

#include "headless/Window.h"
#include "fx/Testing.h"
#include "fx/Wnd.h"

namespace fx::testing {
namespace {

using headless::Kind;
using headless::Live;
using headless::Window;

Window* Control(HWND dialog, int id) { return headless::ChildWithId(Live(dialog), id); }

}  // namespace

int TemplateIdOf(HWND dialog) {
  Window* window = Live(dialog);
  return window ? window->templateId : -1;
}

std::string WindowText(HWND window) {
  Window* w = Live(window);
  return w ? w->text : std::string();
}

std::string ControlText(HWND dialog, int controlId) {
  Window* control = Control(dialog, controlId);
  return control ? control->text : std::string();
}

bool IsChecked(HWND dialog, int controlId) {
  Window* control = Control(dialog, controlId);
  return control && control->check == BST_CHECKED;
}

RECT ClientRect(HWND window) {
  RECT rect{0, 0, 0, 0};
  if (CWnd* wnd = CWnd::FromHandle(window)) wnd->GetClientRect(&rect);
  return rect;
}

RECT WindowRect(HWND window) {
  Window* w = Live(window);
  return w ? w->rect : RECT{0, 0, 0, 0};
}

int IconId(HWND window, bool big) {
  Window* w = Live(window);
  return w ? (big ? w->bigIcon : w->smallIcon) : -1;
}

ListViewState ReadListView(HWND dialog, int listId) {
  ListViewState state{};
  Window* list = Control(dialog, listId);
  if (list == nullptr || !list->IsListView()) return state;
  for (const auto& column : list->columns) state.columns.push_back(ListColumn{column.heading, column.format, column.width});
  state.order = list->columnOrder;
  const int columns = static_cast<int>(std::max<std::size_t>(list->columns.size(), 1));
  for (int row = 0; row < list->RowCount(); ++row) {
    auto& cells = state.rows.emplace_back();
    for (int column = 0; column < columns; ++column) cells.push_back(headless::ListCellText(list, row, column));
    state.selected.push_back(list->rowSelected[static_cast<std::size_t>(row)]);
  }
  state.bkColor = list->bkColor;
  state.textColor = list->textColor;
  state.textBkColor = list->textBkColor;
  state.extendedStyle = list->extendedStyle;
  state.style = list->style;
  return state;
}

ComboState ReadCombo(HWND dialog, int comboId) {
  Window* combo = Control(dialog, comboId);
  if (combo == nullptr || combo->kind != Kind::ComboBox) return ComboState{{}, -1, {}};
  return ComboState{{combo->items.begin(), combo->items.end()}, combo->curSel, combo->text};
}

TabState ReadTabs(HWND dialog, int tabId) {
  Window* tab = Control(dialog, tabId);
  if (tab == nullptr || tab->kind != Kind::Tab) return TabState{{}, -1};
  return TabState{{tab->items.begin(), tab->items.end()}, tab->curSel};
}

}  // namespace fx::testing
