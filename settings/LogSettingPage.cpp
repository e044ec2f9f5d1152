#include "settings/LogSettingPage.h"

#include "fx/Shell.h"
#include "settings/SettingsStore.h"

BEGIN_MESSAGE_MAP(CLogSettingPage, CDialog)
  ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
  ON_BN_CLICKED(IDC_ENTER_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_LEAVE_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_RENAME_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_MESSAGE_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_RCMS_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_WRITE_TYPE, OnFlagClicked)
  ON_BN_CLICKED(IDC_NAME_INCLUDE, OnFlagClicked)
  ON_BN_CLICKED(IDC_AUTO_LOG, OnFlagClicked)
  ON_BN_CLICKED(IDC_TIME_STUMP, OnFlagClicked)
  ON_BN_CLICKED(IDC_EVENT_DLG, OnFlagClicked)
  ON_BN_CLICKED(IDC_HTML, OnFlagClicked)
  ON_EN_CHANGE(IDC_CHECK_USER, OnChangeCheckUser)
  ON_BN_CLICKED(IDC_URL_LOG, OnFlagClicked)
END_MESSAGE_MAP()

void CLogSettingPage::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Check(dx, IDC_AUTO_LOG, AutoLog);
  DDX_Check(dx, IDC_TIME_STUMP, TimeStump);
  DDX_Check(dx, IDC_EVENT_DLG, EventDlg);
  DDX_Check(dx, IDC_HTML, Html);
  DDX_Check(dx, IDC_ENTER_LOG, EnterLog);
  DDX_Check(dx, IDC_LEAVE_LOG, LeaveLog);
  DDX_Check(dx, IDC_RENAME_LOG, RenameLog);
  DDX_Check(dx, IDC_MESSAGE_LOG, MessageLog);
  DDX_Check(dx, IDC_RCMS_LOG, RCMSLog);
  DDX_Check(dx, IDC_URL_LOG, URLLog);
  DDX_Check(dx, IDC_WRITE_TYPE, WriteType);
  DDX_Check(dx, IDC_NAME_INCLUDE, NameInclude);
  DDX_Text(dx, IDC_CHECK_USER, CheckUser);
  DDX_Text(dx, IDC_DIRECTORY, Directory);
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

// Every box writes its flag at once; reading them all keeps one handler for the twelve.
void CLogSettingPage::OnFlagClicked() {
  const auto checked = [this](int id) { return IsDlgButtonChecked(id) == BST_CHECKED ? 1 : 0; };
  AutoLog = checked(IDC_AUTO_LOG);
  TimeStump = checked(IDC_TIME_STUMP);
  EventDlg = checked(IDC_EVENT_DLG);
  Html = checked(IDC_HTML);
  EnterLog = checked(IDC_ENTER_LOG);
  LeaveLog = checked(IDC_LEAVE_LOG);
  RenameLog = checked(IDC_RENAME_LOG);
  MessageLog = checked(IDC_MESSAGE_LOG);
  RCMSLog = checked(IDC_RCMS_LOG);
  URLLog = checked(IDC_URL_LOG);
  WriteType = checked(IDC_WRITE_TYPE);
  NameInclude = checked(IDC_NAME_INCLUDE);
}

void CLogSettingPage::OnChangeCheckUser() { GetDlgItemText(IDC_CHECK_USER, CheckUser); }
