#include "settings/SettingDlg.h"

#include "fx/Module.h"
#include "fx/Resources.h"
#include "settings/PluginSettings.h"
#include "settings/ProgramFolder.h"

BEGIN_MESSAGE_MAP(CSettingDlg, CDialog)
  ON_NOTIFY(TCN_SELCHANGE, IDC_SETTING_TAB, OnSelchangeTab)
END_MESSAGE_MAP()

namespace {

// Where both pages sit in the tab control's client area, below the tabs.
constexpr int kPageX = 3;
constexpr int kPageY = 24;

constexpr const auto& kSettings = pellix::kPluginSettings<CSettingDlg>;

}  // namespace

CSettingDlg::CSettingDlg() { pellix::ApplySettingDefaults(kSettings, *this); }

void CSettingDlg::ExchangeSettings(CDataExchange* dx, int dialog) {
  for (const auto& row : kSettings) {
    if (row.dialog != dialog) continue;
    if (row.kind == pellix::SettingKind::Flag) DDX_Check(dx, row.control, row.flag(*this));
    else DDX_Text(dx, row.control, row.text(*this));
  }
}

bool CSettingDlg::TakeSetting(CWnd& window, int dialog, WPARAM command) {
  const int control = LOWORD(command);
  const UINT code = HIWORD(command);
  for (const auto& row : kSettings) {
    if (row.dialog != dialog || row.control != control) continue;
    if (row.kind == pellix::SettingKind::Flag && code == BN_CLICKED) {
      row.flag(*this) = window.IsDlgButtonChecked(control) == BST_CHECKED ? 1 : 0;
      return true;
    }
    if (row.kind == pellix::SettingKind::Text && code == EN_CHANGE) {
      window.GetDlgItemText(control, row.text(*this));
      return true;
    }
  }
  return false;
}

void CSettingDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  ExchangeSettings(dx, IDD);
}

BOOL CSettingDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (TakeSetting(*this, IDD, wParam)) return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

void CSettingDlg::ComputePaths() {
  m_programFolder = pellix::ProgramFolder(fx::GetHostProgramPath());
  m_pluginIniPath = pellix::PluginIniPath(m_programFolder.View());
  m_hostIniPath = pellix::HostIniPath(m_programFolder.View());
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
  pellix::LoadSettings(kSettings, *this, m_pluginIniPath.View(), m_programFolder.View());

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

void CSettingDlg::SaveAllSettings() {
  // Before the window was created nothing was loaded, and there is no path to write to.
  if (m_pluginIniPath.IsEmpty()) return;
  pellix::SaveSettings(kSettings, *this, m_pluginIniPath.View());
}
