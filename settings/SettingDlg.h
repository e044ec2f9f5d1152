// CSettingDlg: the settings window. It owns the live settings (with its two pages) and loads
// them when it is created; settings/PluginSettings.h says where each one lives.
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

  CSettingDlg();

  CAutoReactPage m_autoReactPage{*this};
  CLogSettingPage m_logSettingPage{*this};
  HostDisplaySettings m_hostDisplay;
  int SetDlg;  // hide this window at start
  CString m_hostIniPath;
  CString m_fontSize;  // the host's font size, rewritten for the style block
  CString m_pluginIniPath;
  CString m_programFolder;  // the host program's folder, with its trailing separator

  // Writes every live setting to the plug-in INI (the rule table excepted).
  void SaveAllSettings();

  // For the window made from template `dialog` (this one or a page): exchanges every setting
  // whose control it holds, and takes the one whose control sent the command (a check box
  // clicked, an edit changed). True when the command was a setting's.
  void ExchangeSettings(CDataExchange* dx, int dialog);
  bool TakeSetting(CWnd& window, int dialog, WPARAM command);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnSelchangeTab(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  void ComputePaths();
  void PlacePage(CDialog& page);

  CTabCtrl m_tab;
};

// The module's single instance, reached directly by every part of the plug-in; plugin/Module.cpp
// defines it with the others, in their fixed order.
extern CSettingDlg theSettingDlg;
