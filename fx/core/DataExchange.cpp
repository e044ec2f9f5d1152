#include "fx/DataExchange.h"

void DDX_Check(CDataExchange* dx, int id, int& value) {
  CWnd* dialog = dx->m_pDlgWnd;
  if (dx->m_bSaveAndValidate) {
    value = dialog->IsDlgButtonChecked(id) == BST_CHECKED ? 1 : 0;
  } else {
    dialog->CheckDlgButton(id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  CWnd* dialog = dx->m_pDlgWnd;
  if (dx->m_bSaveAndValidate) {
    dialog->GetDlgItemText(id, value);
  } else {
    dialog->SetDlgItemText(id, value);
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd != nullptr) return;
  CWnd* item = dx->m_pDlgWnd->GetDlgItem(id);
  if (item != nullptr) control.SubclassWindow(item->m_hWnd);
}
