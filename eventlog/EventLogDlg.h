// CEventLogDlg: the event log window and the owner of the event list and the logging state.
#pragma once

#include <string>
#include <string_view>

#include "eventlog/EventRows.h"
#include "eventlog/LogState.h"
#include "fx/DataExchange.h"
#include "fx/Dialog.h"
#include "fx/ListCtrl.h"
#include "records/RecordKind.h"
#include "records/RecordLine.h"
#include "resources/resource.h"

class CEventLogDlg : public CDialog {
 public:
  enum { IDD = IDD_EVENTLOG };

  CEventLogDlg() = default;

  CListCtrl m_eventList;  // shows m_eventRows (owner data)
  pellix::EventRows m_eventRows;
  LogState m_logState;

  // Appends a row stamped with the current local time, labelled by its kind.
  void AddEvent(pellix::RecordKind kind, const char* detail);
  // Appends a row of the kind with the cells given; the kind, not the label, chooses its menu.
  // The list learns the new count once the message loop runs: rows come in bursts, and a real
  // list-view redraws its scroll bars on every change of its count.
  void AppendRow(pellix::RecordKind kind, std::string_view time, std::string_view label, std::string_view detail) {
    if (m_eventList.m_hWnd == nullptr) return;
    m_eventRows.Append(kind, time, label, detail);
    if (!m_rowCountPosted) m_rowCountPosted = PostMessage(WM_ROWS_APPENDED) != FALSE;
  }
  // Captures the settings and opens a new log file; false when already active or the file
  // cannot be opened.
  bool StartLogging();
  // Closes the log file; false when logging was not active.
  bool StopLogging();
  // Appends one record line to the open log file; does nothing unless logging is active.
  void WriteLogLine(const pellix::RecordLine& line);
  bool IsLogging() const { return m_logState.active; }
  void ClearLoggingFlag();

  // 1 when the text was placed on the clipboard, 0 when it was not.
  int CopyTextToClipboard(const char* text);

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnDblclkEventList(NMHDR* header, LRESULT* result);
  afx_msg void OnRclickEventList(NMHDR* header, LRESULT* result);
  afx_msg void OnGetdispinfoEventList(NMHDR* header, LRESULT* result);
  afx_msg LRESULT OnRowsAppended(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()

 private:
  void EndRecordingAfterFailedWrite();
  bool IsUrlRow(int row) const;
  // A cell as a copy or a menu takes it: at most 1023 bytes, cut at a character boundary.
  std::string_view CellForCopy(int row, int column) const;

  static constexpr UINT WM_ROWS_APPENDED = WM_APP;
  bool m_rowCountPosted = false;  // a WM_ROWS_APPENDED is on its way
  std::string m_recordBuffer;  // kept between writes, so that a record line costs no allocation
};

// The module's single instance, reached directly by every part of the plug-in; plugin/Module.cpp
// defines it with the others, in their fixed order.
extern CEventLogDlg theEventLogDlg;
