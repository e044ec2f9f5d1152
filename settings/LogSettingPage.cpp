#include "settings/LogSettingPage.h"

#include "fx/Shell.h"
#include "settings/SettingDlg.h"
#include "settings/SettingsStore.h"

BEGIN_MESSAGE_MAP(CLogSettingPage, CDialog)
  ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

void CLogSettingPage::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  m_owner.ExchangeSettings(dx, IDD);
}

// Every box and the watched name write their setting at once.
BOOL CLogSettingPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_owner.TakeSetting(*this, IDD, wParam)) return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

// A page never closes or hides itself.
void CLogSettingPage::OnOK() {}
void CLogSettingPage::OnCancel() {}

void CLogSettingPage::OnBrowse() {
  CString chosen;
  if (!fx::BrowseForFolder(m_hWnd, "ログ保存先を指定してください", chosen)) return;
  Directory = pellix::FolderWithSeparator(chosen.View());
  UpdateData(FALSE);
}
