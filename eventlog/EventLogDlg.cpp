#include "eventlog/EventLogDlg.h"

BEGIN_MESSAGE_MAP(CEventLogDlg, CDialog)
  ON_WM_SIZE()
  ON_NOTIFY(NM_DBLCLK, IDC_EVENT_LIST, OnDblclkEventList)
  ON_NOTIFY(NM_RCLICK, IDC_EVENT_LIST, OnRclickEventList)
END_MESSAGE_MAP()

void CEventLogDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_EVENT_LIST, m_eventList);
}

BOOL CEventLogDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  return TRUE;
}

// Closing only hides the window; its rows stay.
void CEventLogDlg::OnOK() { ShowWindow(SW_HIDE); }
void CEventLogDlg::OnCancel() { ShowWindow(SW_HIDE); }

BOOL CEventLogDlg::OnCommand(WPARAM wParam, LPARAM lParam) { return CDialog::OnCommand(wParam, lParam); }

void CEventLogDlg::OnSize(UINT type, int cx, int cy) { CDialog::OnSize(type, cx, cy); }
void CEventLogDlg::OnDblclkEventList(NMHDR*, LRESULT* result) { *result = 0; }
void CEventLogDlg::OnRclickEventList(NMHDR*, LRESULT* result) { *result = 0; }

void CEventLogDlg::AddEvent(const char*, const char*) {}
bool CEventLogDlg::StartLogging() { return false; }
bool CEventLogDlg::StopLogging() { return false; }
void CEventLogDlg::WriteLogLine(const char*) {}
void CEventLogDlg::ClearLoggingFlag() { m_logState.active = false; }
int CEventLogDlg::CopyTextToClipboard(const char*) { return 0; }
