// CLogSettingPage: the second settings page: what is recorded, how and where.
#pragma once

#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "resources/resource.h"

class CLogSettingPage : public CDialog {
 public:
  enum { IDD = IDD_LOGSETTING };

  CLogSettingPage() = default;

  int AutoLog = 0;
  int TimeStump = 1;
  int EventDlg = 0;
  int Html = 1;
  int EnterLog = 1;
  int LeaveLog = 1;
  int RenameLog = 1;
  int MessageLog = 1;
  int RCMSLog = 0;
  int URLLog = 0;
  int WriteType = 0;
  int NameInclude = 1;
  CString CheckUser;
  CString Directory;  // always ends in a separator once chosen

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnBrowse();
  afx_msg void OnFlagClicked();
  afx_msg void OnChangeCheckUser();

  DECLARE_MESSAGE_MAP()
};
