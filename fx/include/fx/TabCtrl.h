// CTabCtrl: a tab control with text-only tabs.
#pragma once

#include "fx/Wnd.h"

class CTabCtrl : public CWnd {
 public:
  LONG InsertItem(int item, const char* text);
  int GetItemCount() const;
  int GetCurSel() const;
  int SetCurSel(int item);  // returns the previous selection
};
