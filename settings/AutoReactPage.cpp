#include "settings/AutoReactPage.h"

BEGIN_MESSAGE_MAP(CAutoReactPage, CDialog)
  ON_BN_CLICKED(IDC_AUTO_WELCOME, OnAutoWelcome)
  ON_EN_CHANGE(IDC_WELCOME_MESSAGE, OnChangeMessage)
  ON_BN_CLICKED(IDC_REACT_ADD, OnAddOrChange)
  ON_BN_CLICKED(IDC_REACT_DELETE, OnDelete)
  ON_BN_CLICKED(IDC_AUTO_REACT, OnAutoReact)
  ON_NOTIFY(NM_CLICK, IDC_REACT_LIST, OnClickReactList)
  ON_WM_DESTROY()
  ON_NOTIFY(NM_RCLICK, IDC_REACT_LIST, OnRclickReactList)
END_MESSAGE_MAP()

void CAutoReactPage::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_WELCOME_MESSAGE, Message);
  DDX_Check(dx, IDC_AUTO_WELCOME, AutoWelcome);
  DDX_Check(dx, IDC_AUTO_REACT, AutoReact);
  DDX_Text(dx, IDC_REACT_WORD, m_strWord);
  DDX_Text(dx, IDC_REACT_RES, m_strRes);
  DDX_Control(dx, IDC_REACT_LIST, m_reactList);
}

BOOL CAutoReactPage::OnInitDialog() {
  CDialog::OnInitDialog();
  UpdateData(FALSE);
  return TRUE;
}

// A page never closes or hides itself.
void CAutoReactPage::OnOK() {}
void CAutoReactPage::OnCancel() {}

BOOL CAutoReactPage::OnCommand(WPARAM wParam, LPARAM lParam) { return CDialog::OnCommand(wParam, lParam); }

void CAutoReactPage::OnAutoWelcome() {}
void CAutoReactPage::OnChangeMessage() {}
void CAutoReactPage::OnAddOrChange() {}
void CAutoReactPage::OnDelete() {}
void CAutoReactPage::OnAutoReact() {}
void CAutoReactPage::OnClickReactList(NMHDR*, LRESULT* result) { *result = 0; }
void CAutoReactPage::OnDestroy() { CDialog::OnDestroy(); }
void CAutoReactPage::OnRclickReactList(NMHDR*, LRESULT* result) { *result = 0; }
