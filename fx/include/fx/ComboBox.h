// CComboBox: a drop-down combo box: an editable field over an unsorted list.
#pragma once

#include "fx/Wnd.h"

class CComboBox : public CWnd {
 public:
  int AddString(const char* text);  // appends; returns the index
  int DeleteString(UINT index);     // returns the remaining count, CB_ERR for a bad index
  int GetCount() const;
  int GetCurSel() const;
  // Selects an item and puts its text into the field; -1 clears both.
  int SetCurSel(int index);
  // Case-insensitive prefix search beginning after `startAfter` (-1: from the top), wrapping
  // round to end with `startAfter` itself. Returns the index or CB_ERR.
  int FindString(int startAfter, const char* text) const;
  // The same search for an item equal to the text, letter case ignored.
  int FindStringExact(int startAfter, const char* text) const;
};
