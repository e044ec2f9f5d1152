#include "settings/SettingDlg.h"

BEGIN_MESSAGE_MAP(CSettingDlg, CDialog)
  ON_NOTIFY(TCN_SELCHANGE, IDC_SETTING_TAB, OnSelchangeTab)
  ON_BN_CLICKED(IDC_SET_DLG, OnSetDlg)
END_MESSAGE_MAP()

void CSettingDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_SET_DLG, SetDlg);
}

BOOL CSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(FALSE);
  return TRUE;
}

// Closing only hides the window; nothing is exchanged, saved or reverted.
void CSettingDlg::OnOK() { ShowWindow(SW_HIDE); }
void CSettingDlg::OnCancel() { ShowWindow(SW_HIDE); }

void CSettingDlg::OnSelchangeTab(NMHDR*, LRESULT* result) { *result = 0; }
void CSettingDlg::OnSetDlg() { SetDlg = IsDlgButtonChecked(IDC_SET_DLG) == BST_CHECKED ? 1 : 0; }

void CSettingDlg::SaveAllSettings() {}
