// CUrlDlg: the URL collector window: the most recent URLs seen in chat, opened on request.
#pragma once

#include <string_view>

#include "fx/ComboBox.h"
#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "resources/resource.h"

class CUrlDlg : public CDialog {
 public:
  enum { IDD = IDD_URL };

  CUrlDlg() = default;

  int m_bDuplicate = 0;  // 1: duplicates allowed
  CComboBox m_urlCombo;  // its list holds the collected URLs, oldest first

  // 1 when the URL was added, 0 when it was refused as a duplicate.
  int AddUrl(CString url);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnDuplicate();
  afx_msg void OnDestroy();

  DECLARE_MESSAGE_MAP()

 private:
  // [URL] Duplicate lives in the plug-in INI, whose path the settings window computes.
  static std::string_view PluginIniPath();
};

// The module's single instance, reached directly by every part of the plug-in; plugin/Module.cpp
// defines it with the others, in their fixed order.
extern CUrlDlg theUrlDlg;
