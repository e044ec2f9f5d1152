#include "fx/Dialog.h"

#include "Backend.h"
#include "fx/Resources.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (m_hWnd != nullptr) return FALSE;
  const fx::DialogTemplate* tmpl = fx::FindDialogTemplate(static_cast<int>(templateId));
  if (tmpl == nullptr) return FALSE;
  HWND parentHandle = parent ? parent->m_hWnd : nullptr;
  CWnd* main = AfxGetMainWnd();
  HWND owner = (parentHandle == nullptr && main != nullptr) ? main->m_hWnd : nullptr;
  return fx::backend::CreateDialogWindow(this, *tmpl, parentHandle, owner) ? TRUE : FALSE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// A modeless dialog has no modal loop to leave: ending it hides it.
void CDialog::EndDialog(int) { ShowWindow(SW_HIDE); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_INITDIALOG) {
    *result = OnInitDialog();
    return TRUE;
  }
  return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::PreTranslateMessage(MSG* message) {
  if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST || m_hWnd == nullptr) return FALSE;
  // A page (a dialog inside another window) leaves Tab to the dialog around it, whose dialog
  // manager goes through the page's controls as through its own: Tab then reaches the window's
  // own buttons too and comes back into the page, as in a property sheet.
  if (message->wParam == VK_TAB && fx::backend::ParentOf(m_hWnd) != nullptr) return FALSE;
  return fx::backend::IsDialogMessage(m_hWnd, message) ? TRUE : FALSE;
}
