// CSettingDlg: the settings window. It owns the live settings (with its two pages) and loads
// them when it is created.
#pragma once

#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "fx/TabCtrl.h"
#include "resources/resource.h"
#include "settings/AutoReactPage.h"
#include "settings/HostDisplaySettings.h"
#include "settings/LogSettingPage.h"
#include "settings/SettingsStore.h"

class CSettingDlg : public CDialog {
 public:
  enum { IDD = IDD_SETTING };

  CSettingDlg() = default;

  CAutoReactPage m_autoReactPage;
  CLogSettingPage m_logSettingPage;
  HostDisplaySettings m_hostDisplay;
  int SetDlg = 0;  // hide this window at start
  CString m_hostIniPath;
  CString m_fontSize;  // the host's font size, rewritten for the style block
  CString m_pluginIniPath;
  CString m_programFolder;  // the host program's folder, with its trailing separator

  // Writes every live setting to the plug-in INI (the rule table excepted).
  void SaveAllSettings();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnSelchangeTab(NMHDR* header, LRESULT* result);
  afx_msg void OnSetDlg();

  DECLARE_MESSAGE_MAP()

 private:
  void ComputePaths();
  pellix::PluginSettingFields LiveFields();
  void PlacePage(CDialog& page);

  CTabCtrl m_tab;
};
