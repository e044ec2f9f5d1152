#include "urls/UrlDlg.h"

BEGIN_MESSAGE_MAP(CUrlDlg, CDialog)
  ON_BN_CLICKED(IDC_URL_DUPLICATE, OnDuplicate)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CUrlDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_URL_COMBO, m_urlCombo);
  DDX_Check(dx, IDC_URL_DUPLICATE, m_bDuplicate);
}

BOOL CUrlDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(FALSE);
  return TRUE;
}

void CUrlDlg::OnOK() {}
void CUrlDlg::OnCancel() { ShowWindow(SW_HIDE); }
void CUrlDlg::OnDuplicate() { m_bDuplicate = IsDlgButtonChecked(IDC_URL_DUPLICATE) == BST_CHECKED ? 1 : 0; }
void CUrlDlg::OnDestroy() { CDialog::OnDestroy(); }
int CUrlDlg::AddUrl(CString) { return 0; }
