#include "fx/ComboBox.h"

#include "Win32.h"

namespace {

LRESULT Send(const CComboBox* combo, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return combo->m_hWnd ? ::SendMessageW(combo->m_hWnd, message, wParam, lParam) : CB_ERR;
}

}  // namespace

int CComboBox::AddString(const char* text) {
  if (text == nullptr) return CB_ERR;
  const std::wstring wide = fx::win32::Wide(text);
  return static_cast<int>(Send(this, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

int CComboBox::DeleteString(UINT index) { return static_cast<int>(Send(this, CB_DELETESTRING, index)); }

int CComboBox::GetCount() const { return static_cast<int>(Send(this, CB_GETCOUNT)); }

int CComboBox::GetCurSel() const { return static_cast<int>(Send(this, CB_GETCURSEL)); }

// Selecting fills the field; -1 clears both (the control does it).
int CComboBox::SetCurSel(int index) { return static_cast<int>(Send(this, CB_SETCURSEL, static_cast<WPARAM>(index))); }

int CComboBox::FindString(int startAfter, const char* text) const {
  if (text == nullptr) return CB_ERR;
  const std::wstring wide = fx::win32::Wide(text);
  return static_cast<int>(Send(this, CB_FINDSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(wide.c_str())));
}

int CComboBox::FindStringExact(int startAfter, const char* text) const {
  if (text == nullptr) return CB_ERR;
  const std::wstring wide = fx::win32::Wide(text);
  return static_cast<int>(
      Send(this, CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(wide.c_str())));
}

