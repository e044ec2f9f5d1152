// CWnd's tie between window handles and objects, and the operations built on the others; the
// backends keep the attachments and do the window work.
#include <memory>

#include "Backend.h"
#include "fx/App.h"
#include "fx/Desktop.h"
#include "fx/Wnd.h"

using fx::backend::Attachment;
using fx::backend::AttachmentOf;

CWnd::CWnd() = default;

CWnd::~CWnd() {
  HWND window = m_hWnd;
  if (window == nullptr) return;
  m_hWnd = nullptr;
  if (Attachment* attachment = AttachmentOf(window, false); attachment && attachment->object == this)
    attachment->object = nullptr;
  fx::backend::DestroyOrphan(window);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  Attachment* attachment = AttachmentOf(hWnd, true);
  if (attachment == nullptr) return nullptr;
  if (attachment->object != nullptr) return attachment->object;
  if (!attachment->temporary) {
    attachment->temporary = std::make_unique<CWnd>();
    attachment->temporary->m_hWnd = hWnd;
  }
  return attachment->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  const Attachment* attachment = AttachmentOf(hWnd, false);
  return attachment != nullptr ? attachment->object : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (m_hWnd != nullptr) return FALSE;
  Attachment* attachment = AttachmentOf(hWnd, true);
  if (attachment == nullptr || (attachment->object != nullptr && attachment->object != this)) return FALSE;
  attachment->object = this;
  m_hWnd = hWnd;
  return TRUE;
}

void CWnd::SetDlgItemText(int id, const char* text) {
  if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return fx::GetDesktop().ShowMessageBox({m_hWnd, text ? text : "", caption ? caption : fx::AppTitle(), type});
}
