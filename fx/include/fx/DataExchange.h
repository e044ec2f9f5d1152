// Dialog data exchange: binds controls to member variables in both directions.
#pragma once

#include "fx/String.h"
#include "fx/Wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;  // TRUE: controls to members
  CWnd* m_pDlgWnd;
};

// Check box state; saving stores exactly 1 for checked and 0 otherwise.
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Attaches the control object to the dialog's control (once) in either direction.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
