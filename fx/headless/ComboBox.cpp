#include "fx/ComboBox.h"

#include "Window.h"
#include "fx/Sjis.h"

using fx::headless::Kind;
using fx::headless::Live;
using fx::headless::Window;

namespace {

Window* Combo(const CComboBox* combo) {
  Window* window = Live(combo->m_hWnd);
  return window && window->kind == Kind::ComboBox ? window : nullptr;
}

template <class Match>
int Search(const Window* combo, int startAfter, Match match) {
  const int count = static_cast<int>(combo->items.size());
  if (count == 0) return CB_ERR;
  const int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
  auto item = combo->items.begin() + first;
  for (int step = 0; step < count; ++step, ++item) {
    if (item == combo->items.end()) item = combo->items.begin();
    if (match(*item)) return static_cast<int>(item - combo->items.begin());
  }
  return CB_ERR;
}

}  // namespace

int CComboBox::AddString(const char* text) {
  Window* combo = Combo(this);
  if (combo == nullptr || text == nullptr) return CB_ERR;
  combo->items.emplace_back(text);
  return static_cast<int>(combo->items.size()) - 1;
}

int CComboBox::DeleteString(UINT index) {
  Window* combo = Combo(this);
  if (combo == nullptr || index >= combo->items.size()) return CB_ERR;
  combo->items.erase(combo->items.begin() + static_cast<std::ptrdiff_t>(index));
  const int removed = static_cast<int>(index);
  if (combo->curSel == removed) {
    combo->curSel = -1;
  } else if (combo->curSel > removed) {
    --combo->curSel;
  }
  return static_cast<int>(combo->items.size());
}

int CComboBox::GetCount() const {
  Window* combo = Combo(this);
  return combo ? static_cast<int>(combo->items.size()) : CB_ERR;
}

int CComboBox::GetCurSel() const {
  Window* combo = Combo(this);
  return combo ? combo->curSel : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
  Window* combo = Combo(this);
  if (combo == nullptr) return CB_ERR;
  if (index < 0 || index >= static_cast<int>(combo->items.size())) {
    combo->curSel = -1;
    combo->text.clear();
    return CB_ERR;
  }
  combo->curSel = index;
  combo->text = combo->items[static_cast<std::size_t>(index)];
  return index;
}

int CComboBox::FindString(int startAfter, const char* text) const {
  Window* combo = Combo(this);
  if (combo == nullptr || text == nullptr) return CB_ERR;
  const std::string_view prefix(text);
  return Search(combo, startAfter, [&](const std::string& item) {
    return item.size() >= prefix.size() && fx::sjis::EqualsNoCase(std::string_view(item).substr(0, prefix.size()), prefix);
  });
}

int CComboBox::FindStringExact(int startAfter, const char* text) const {
  Window* combo = Combo(this);
  if (combo == nullptr || text == nullptr) return CB_ERR;
  const std::string_view wanted(text);
  return Search(combo, startAfter, [&](const std::string& item) { return fx::sjis::EqualsNoCase(item, wanted); });
}

