#include "settings/AutoReactPage.h"

#include <vector>

#include "fx/App.h"
#include "fx/Menu.h"
#include "settings/SettingDlg.h"
#include "settings/SettingsStore.h"

BEGIN_MESSAGE_MAP(CAutoReactPage, CDialog)
  ON_BN_CLICKED(IDC_REACT_ADD, OnAddOrChange)
  ON_BN_CLICKED(IDC_REACT_DELETE, OnDelete)
  ON_NOTIFY(NM_CLICK, IDC_REACT_LIST, OnClickReactList)
  ON_WM_DESTROY()
  ON_NOTIFY(NM_RCLICK, IDC_REACT_LIST, OnRclickReactList)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kListBackground = 0x000000;
constexpr COLORREF kListText = 0xFFFFFF;
constexpr int kKeywordColumn = 0;
constexpr int kResponseColumn = 1;

}  // namespace

void CAutoReactPage::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  m_owner.ExchangeSettings(dx, IDD);
  DDX_Text(dx, IDC_REACT_WORD, m_strWord);
  DDX_Text(dx, IDC_REACT_RES, m_strRes);
  DDX_Control(dx, IDC_REACT_LIST, m_reactList);
}

BOOL CAutoReactPage::OnInitDialog() {
  CDialog::OnInitDialog();
  m_reactList.SetBkColor(kListBackground);
  m_reactList.SetTextColor(kListText);
  m_reactList.SetTextBkColor(kListBackground);
  m_reactList.InsertColumn(kKeywordColumn, "語句", LVCFMT_LEFT, 60);
  m_reactList.InsertColumn(kResponseColumn, "レス", LVCFMT_LEFT, 80);
  m_reactList.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  UpdateData(FALSE);
  return TRUE;
}

// A page never closes or hides itself.
void CAutoReactPage::OnOK() {}
void CAutoReactPage::OnCancel() {}

// The menu's delete arrives as a command, and the settings' boxes and welcome edit write their
// setting at once; both are taken before the message table.
BOOL CAutoReactPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == ID_DELETE_RULE) {
    DeleteSelectedRules();
    return TRUE;
  }
  if (m_owner.TakeSetting(*this, IDD, wParam)) return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

void CAutoReactPage::LoadRuleTable(std::string_view pluginIniPath) {
  m_ruleIniPath = pluginIniPath;
  for (const pellix::RuleText& rule : pellix::LoadRuleTable(m_ruleIniPath)) {
    const int row = m_reactList.InsertItem(m_reactList.GetItemCount(), rule.keyword.c_str());
    if (row >= 0) m_reactList.SetItemText(row, kResponseColumn, rule.response.c_str());
  }
}

void CAutoReactPage::SaveRuleTable() {
  if (m_ruleIniPath.empty()) return;  // never loaded: there is no table of ours to write
  std::vector<pellix::RuleText> rules;
  const int count = m_reactList.GetItemCount();
  rules.reserve(static_cast<std::size_t>(count));
  for (int row = 0; row < count; ++row) {
    rules.push_back({m_reactList.GetItemText(row, kKeywordColumn).Str(),
                     m_reactList.GetItemText(row, kResponseColumn).Str()});
  }
  pellix::SaveRuleTable(rules, m_ruleIniPath);
}

void CAutoReactPage::SetRuleEdits(const char* word, const char* response) {
  m_strWord = word;
  m_strRes = response;
  SetDlgItemText(IDC_REACT_WORD, word);
  SetDlgItemText(IDC_REACT_RES, response);
}

void CAutoReactPage::SyncEditsWithSelection() {
  const int row = m_reactList.GetNextItem(-1, LVNI_SELECTED);
  if (row == -1) {
    SetRuleEdits("", "");
    SetDlgItemText(IDC_REACT_ADD, "追加");
    m_bChangeMode = 0;
    return;
  }
  const CString word = m_reactList.GetItemText(row, kKeywordColumn);
  const CString response = m_reactList.GetItemText(row, kResponseColumn);
  SetRuleEdits(word, response);
  SetDlgItemText(IDC_REACT_ADD, "変更");
  m_bChangeMode = 1;
}

void CAutoReactPage::DeleteSelectedRules() {
  for (int row = m_reactList.GetNextItem(-1, LVNI_SELECTED); row != -1;
       row = m_reactList.GetNextItem(-1, LVNI_SELECTED)) {
    if (!m_reactList.DeleteItem(row)) break;
  }
  SetRuleEdits("", "");
  SetDlgItemText(IDC_REACT_ADD, "追加");
  m_bChangeMode = 0;
}

void CAutoReactPage::OnAddOrChange() {
  UpdateData(TRUE);
  if (m_strWord.GetLength() == 0) {
    MessageBox("反応語句が空です。", "エラー", MB_OK);
    return;
  }
  if (m_strRes.GetLength() == 0) {
    MessageBox("レスが空です。", "エラー", MB_OK);
    return;
  }
  if (m_bChangeMode) {
    const int row = m_reactList.GetNextItem(-1, LVNI_SELECTED);
    if (row != -1) {
      m_reactList.SetItemText(row, kKeywordColumn, m_strWord);
      m_reactList.SetItemText(row, kResponseColumn, m_strRes);
    }
    return;
  }
  if (m_reactList.GetItemCount() >= pellix::kMaxReactRules) {
    AfxMessageBox("登録個数が多すぎます！", MB_OK);
    return;
  }
  const int row = m_reactList.InsertItem(m_reactList.GetItemCount(), m_strWord);
  if (row >= 0) m_reactList.SetItemText(row, kResponseColumn, m_strRes);
  SetRuleEdits("", "");
}

void CAutoReactPage::OnDelete() { DeleteSelectedRules(); }

void CAutoReactPage::OnClickReactList(NMHDR*, LRESULT* result) {
  SyncEditsWithSelection();
  *result = 0;
}

// The table is written while the list still holds its rows.
void CAutoReactPage::OnDestroy() {
  SaveRuleTable();
  CDialog::OnDestroy();
}

void CAutoReactPage::OnRclickReactList(NMHDR* header, LRESULT* result) {
  *result = 0;
  SyncEditsWithSelection();
  const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (click == nullptr || click->iItem == -1) return;

  POINT cursor{};
  fx::GetCursorPos(&cursor);
  CMenu menu;
  if (!menu.LoadMenu(IDR_AUTOREACT_MENU)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (popup == nullptr) {
    menu.DestroyMenu();
    return;
  }
  SetForegroundWindow();
  popup->TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
  // Lets the menu close properly when the user clicks elsewhere.
  PostMessage(WM_NULL);
  popup->DestroyMenu();
  menu.DestroyMenu();
}
