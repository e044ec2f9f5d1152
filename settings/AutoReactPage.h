// CAutoReactPage: the first settings page: the auto-welcome and the keyword rule table.
#pragma once

#include <string>
#include <string_view>

#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "fx/ListCtrl.h"
#include "resources/resource.h"

class CSettingDlg;

class CAutoReactPage : public CDialog {
 public:
  enum { IDD = IDD_AUTOREACT };

  // The settings window holds the page and the table of its settings.
  explicit CAutoReactPage(CSettingDlg& owner) : m_owner(owner) {}

  // Settings; their initial values, keys and controls are in settings/PluginSettings.h.
  CString Message;        // welcome template
  int AutoWelcome;        // send the welcome on join
  CListCtrl m_reactList;  // the rule table: column 0 keyword, column 1 response
  int AutoReact;          // answer chat lines from the rule table
  CString m_strWord;
  CString m_strRes;
  int m_bChangeMode = 0;  // 0: the button adds a row; 1: it rewrites the first selected row

  // Fills the list from the plug-in INI; the same file receives the table when the page's
  // window is destroyed.
  void LoadRuleTable(std::string_view pluginIniPath);

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnAddOrChange();
  afx_msg void OnDelete();
  afx_msg void OnClickReactList(NMHDR* header, LRESULT* result);
  afx_msg void OnDestroy();
  afx_msg void OnRclickReactList(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()

 private:
  void SaveRuleTable();
  void SyncEditsWithSelection();
  void SetRuleEdits(const char* word, const char* response);
  void DeleteSelectedRules();

  CSettingDlg& m_owner;
  std::string m_ruleIniPath;
};
