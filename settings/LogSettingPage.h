// CLogSettingPage: the second settings page: what is recorded, how and where.
#pragma once

#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "resources/resource.h"

class CSettingDlg;

class CLogSettingPage : public CDialog {
 public:
  enum { IDD = IDD_LOGSETTING };

  // The settings window holds the page and the table of its settings.
  explicit CLogSettingPage(CSettingDlg& owner) : m_owner(owner) {}

  // Settings; their initial values, keys and controls are in settings/PluginSettings.h.
  int AutoLog;
  int TimeStump;
  int EventDlg;
  int Html;
  int EnterLog;
  int LeaveLog;
  int RenameLog;
  int MessageLog;
  int RCMSLog;
  int URLLog;
  int WriteType;
  int NameInclude;
  CString CheckUser;
  CString Directory;  // always ends in a separator once chosen

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnBrowse();

  DECLARE_MESSAGE_MAP()

 private:
  CSettingDlg& m_owner;
};
