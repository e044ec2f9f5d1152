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

namespace {

// Ctrl+Tab and Ctrl+PageDown go to the next page of a tabbed window, Ctrl+Shift+Tab and
// Ctrl+PageUp to the one before: how many tabs on; 0 for any other key.
int PageStepOf(const MSG& message) {
  if (message.message != WM_KEYDOWN || !fx::backend::IsKeyDown(VK_CONTROL)) return 0;
  switch (message.wParam) {
    case VK_TAB:
      return fx::backend::IsKeyDown(VK_SHIFT) ? -1 : 1;
    case VK_NEXT:
      return 1;
    case VK_PRIOR:
      return -1;
    default:
      return 0;
  }
}

}  // namespace

BOOL CDialog::PreTranslateMessage(MSG* message) {
  if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST || m_hWnd == nullptr) return FALSE;
  // A page (a dialog inside another window) leaves Tab and the page keys to the dialog around
  // it, whose dialog manager goes through the page's controls as through its own: Tab then
  // reaches the window's own buttons too and comes back into the page, as in a property sheet.
  const int pageStep = PageStepOf(*message);
  if ((message->wParam == VK_TAB || pageStep != 0) && fx::backend::ParentOf(m_hWnd) != nullptr) return FALSE;
  if (pageStep != 0) {
    if (HWND tab = fx::backend::TabControlOf(m_hWnd)) {
      fx::backend::StepTab(tab, pageStep);
      return TRUE;
    }
  }
  return fx::backend::IsDialogMessage(m_hWnd, message) ? TRUE : FALSE;
}
