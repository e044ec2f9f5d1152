#include "settings/SettingDlg.h"

#include "fx/Module.h"
#include "fx/Resources.h"
#include "settings/ProgramFolder.h"

BEGIN_MESSAGE_MAP(CSettingDlg, CDialog)
  ON_NOTIFY(TCN_SELCHANGE, IDC_SETTING_TAB, OnSelchangeTab)
  ON_BN_CLICKED(IDC_SET_DLG, OnSetDlg)
END_MESSAGE_MAP()

namespace {

// Where both pages sit in the tab control's client area, below the tabs.
constexpr int kPageX = 3;
constexpr int kPageY = 24;

}  // namespace

void CSettingDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_SET_DLG, SetDlg);
}

void CSettingDlg::ComputePaths() {
  m_programFolder = pellix::ProgramFolder(fx::GetHostProgramPath());
  m_pluginIniPath = pellix::PluginIniPath(m_programFolder.View());
  m_hostIniPath = pellix::HostIniPath(m_programFolder.View());
}

pellix::PluginSettingFields CSettingDlg::LiveFields() {
  CAutoReactPage& a = m_autoReactPage;
  CLogSettingPage& l = m_logSettingPage;
  return {a.Message,    a.AutoWelcome, a.AutoReact,  l.Directory, l.CheckUser, SetDlg,
          l.EventDlg,   l.AutoLog,     l.TimeStump,  l.Html,      l.EnterLog,  l.LeaveLog,
          l.RenameLog,  l.MessageLog,  l.RCMSLog,    l.URLLog,    l.WriteType, l.NameInclude};
}

void CSettingDlg::PlacePage(CDialog& page) {
  page.SetWindowPos(nullptr, kPageX, kPageY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL CSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  // The plug-in INI's path comes from the same folder as the host INI's, so both are known
  // before anything is read.
  ComputePaths();
  pellix::LoadHostDisplaySettings(m_hostIniPath.View(), m_hostDisplay, m_fontSize);
  pellix::LoadPluginSettings(LiveFields(), m_pluginIniPath.View(), m_programFolder.View());

  if (HICON icon = AfxLoadIcon(IDI_SETTING)) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  if (CWnd* tab = GetDlgItem(IDC_SETTING_TAB)) m_tab.SubclassWindow(tab->m_hWnd);
  m_tab.InsertItem(0, "自動反応設定");
  m_tab.InsertItem(1, "イベントログ設定");
  m_tab.SetCurSel(0);

  // The rule rows live in the page's list, so the table is loaded once the page exists.
  m_autoReactPage.Create(CAutoReactPage::IDD, GetDlgItem(IDC_SETTING_TAB));
  PlacePage(m_autoReactPage);
  m_autoReactPage.ShowWindow(SW_SHOW);
  m_autoReactPage.LoadRuleTable(m_pluginIniPath.View());

  m_logSettingPage.Create(CLogSettingPage::IDD, GetDlgItem(IDC_SETTING_TAB));
  PlacePage(m_logSettingPage);

  UpdateData(FALSE);
  return TRUE;
}

// Closing only hides the window; nothing is exchanged, saved or reverted.
void CSettingDlg::OnOK() { ShowWindow(SW_HIDE); }
void CSettingDlg::OnCancel() { ShowWindow(SW_HIDE); }

void CSettingDlg::OnSelchangeTab(NMHDR*, LRESULT* result) {
  *result = 0;
  const int selected = m_tab.GetCurSel();
  if (selected == -1) return;
  m_autoReactPage.ShowWindow(SW_HIDE);
  m_logSettingPage.ShowWindow(SW_HIDE);
  if (selected == 0) m_autoReactPage.ShowWindow(SW_SHOW);
  if (selected == 1) m_logSettingPage.ShowWindow(SW_SHOW);
}

void CSettingDlg::OnSetDlg() { SetDlg = IsDlgButtonChecked(IDC_SET_DLG) == BST_CHECKED ? 1 : 0; }

void CSettingDlg::SaveAllSettings() {
  // Before the window was created nothing was loaded, and there is no path to write to.
  if (m_pluginIniPath.IsEmpty()) return;
  pellix::SavePluginSettings(LiveFields(), m_pluginIniPath.View());
}
