#include "urls/UrlDlg.h"

#include "fx/Profile.h"
#include "fx/Resources.h"
#include "fx/Shell.h"
#include "settings/SettingDlg.h"

namespace {

constexpr const char* kSection = "URL";
constexpr const char* kDuplicateKey = "Duplicate";
constexpr int kMaxUrls = 20;

}  // namespace

BEGIN_MESSAGE_MAP(CUrlDlg, CDialog)
  ON_BN_CLICKED(IDC_URL_DUPLICATE, OnDuplicate)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

void CUrlDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_URL_COMBO, m_urlCombo);
  DDX_Check(dx, IDC_URL_DUPLICATE, m_bDuplicate);
}

// Runs after the settings window has computed the plug-in INI's path.
BOOL CUrlDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AfxLoadIcon(IDI_URL)));
  m_bDuplicate = fx::ProfileGetInt(kSection, kDuplicateKey, 0, PluginIniPath()) != 0 ? 1 : 0;
  UpdateData(FALSE);
  return TRUE;
}

// Opens whatever the field holds, picked or typed; the window stays as it is.
void CUrlDlg::OnOK() {
  CString target;
  GetDlgItemText(IDC_URL_COMBO, target);
  fx::ShellOpen(target.View(), SW_HIDE);
}

void CUrlDlg::OnCancel() { ShowWindow(SW_HIDE); }

void CUrlDlg::OnDuplicate() { m_bDuplicate = IsDlgButtonChecked(IDC_URL_DUPLICATE) == BST_CHECKED ? 1 : 0; }

void CUrlDlg::OnDestroy() {
  fx::ProfileWriteString(kSection, kDuplicateKey, m_bDuplicate ? "1" : "0", PluginIniPath());
  CDialog::OnDestroy();
}

// Only an entry equal to the URL (letter case ignored) refuses it: a longer URL already collected
// is no reason to refuse a shorter one.
int CUrlDlg::AddUrl(CString url) {
  if (!m_bDuplicate && m_urlCombo.FindStringExact(-1, url) != CB_ERR) return 0;
  const int index = m_urlCombo.AddString(url);
  if (index < 0) return 0;
  m_urlCombo.SetCurSel(index);
  // Deleting the oldest keeps the new item selected; its index just moves down by one.
  while (m_urlCombo.GetCount() > kMaxUrls) m_urlCombo.DeleteString(0);
  UpdateData(FALSE);
  return 1;
}

std::string_view CUrlDlg::PluginIniPath() { return theSettingDlg.m_pluginIniPath.View(); }
