#include "settings/LogSettingPage.h"

BEGIN_MESSAGE_MAP(CLogSettingPage, CDialog)
  ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
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

void CLogSettingPage::OnBrowse() {}
void CLogSettingPage::OnFlagClicked() {}
void CLogSettingPage::OnChangeCheckUser() {}
