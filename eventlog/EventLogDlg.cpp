#include "eventlog/EventLogDlg.h"

#include <string>

#include "eventlog/LogLines.h"
#include "fx/App.h"
#include "fx/Clipboard.h"
#include "fx/Clock.h"
#include "fx/Menu.h"
#include "fx/Resources.h"
#include "fx/Shell.h"
#include "fx/Sjis.h"
#include "settings/SettingDlg.h"

namespace {

// The most of a cell that a copy or the shell is given.
constexpr std::size_t kCellCopyBytes = 1023;

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

bool SameSecond(const fx::LocalTime& a, const fx::LocalTime& b) {
  return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day && a.month == b.month &&
         a.year == b.year;
}

// The clock texts of one second, formatted once for all the rows and lines of that second
// rather than once for each.
class ClockTexts {
 public:
  const std::string& EventTime(const fx::LocalTime& now) {
    if (!m_hasEventTime || !SameSecond(now, m_eventSecond)) {
      m_eventTime = pellix::EventTimeText(now);
      m_eventSecond = now;
      m_hasEventTime = true;
    }
    return m_eventTime;
  }
  const std::string& Prefix(const fx::LocalTime& now, bool html, std::string_view normalColour) {
    if (!m_hasPrefix || !SameSecond(now, m_prefixSecond) || html != m_prefixHtml || normalColour != m_prefixColour) {
      m_prefix = pellix::LogTimePrefix(now, html, normalColour);
      m_prefixSecond = now;
      m_prefixHtml = html;
      m_prefixColour = normalColour;
      m_hasPrefix = true;
    }
    return m_prefix;
  }

 private:
  bool m_hasEventTime = false, m_hasPrefix = false, m_prefixHtml = false;
  fx::LocalTime m_eventSecond{}, m_prefixSecond{};
  std::string m_eventTime, m_prefix, m_prefixColour;
};

ClockTexts clockTexts;

}  // namespace

BEGIN_MESSAGE_MAP(CEventLogDlg, CDialog)
  ON_WM_SIZE()
  ON_NOTIFY(NM_DBLCLK, IDC_EVENT_LIST, OnDblclkEventList)
  ON_NOTIFY(NM_RCLICK, IDC_EVENT_LIST, OnRclickEventList)
  ON_NOTIFY(LVN_GETDISPINFO, IDC_EVENT_LIST, OnGetdispinfoEventList)
  ON_MESSAGE(WM_ROWS_APPENDED, OnRowsAppended)
END_MESSAGE_MAP()

void CEventLogDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_EVENT_LIST, m_eventList);
}

BOOL CEventLogDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HICON icon = AfxLoadIcon(IDI_EVENTLOG);
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  m_eventList.SetBkColor(kBlack);
  m_eventList.SetTextColor(kWhite);
  m_eventList.SetTextBkColor(kBlack);
  m_eventList.InsertColumn(0, "時刻", LVCFMT_LEFT, 50);
  m_eventList.InsertColumn(1, "イベント", LVCFMT_CENTER, 60);
  m_eventList.InsertColumn(2, "ステータス", LVCFMT_LEFT, 250);
  m_eventList.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  m_eventRows.Clear();  // a new window starts with an empty list
  m_rowCountPosted = false;  // an update posted to an earlier window went with it
  UpdateData(FALSE);
  return TRUE;
}

// Closing only hides the window; its rows stay.
void CEventLogDlg::OnOK() { ShowWindow(SW_HIDE); }
void CEventLogDlg::OnCancel() { ShowWindow(SW_HIDE); }

BOOL CEventLogDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (m_eventList.m_hWnd == nullptr || m_eventList.GetSelectedCount() == 0) return CDialog::OnCommand(wParam, lParam);
  const int row = m_eventList.GetNextItem(-1, LVNI_SELECTED);
  switch (LOWORD(wParam)) {
    case ID_COPY_ALL: {
      std::string line = "| ";
      line.append(CellForCopy(row, 0)).append(" | ").append(CellForCopy(row, 1)).append(" | ");
      line.append(CellForCopy(row, 2)).append(" |");
      CopyTextToClipboard(line.c_str());
      return TRUE;
    }
    case ID_CLEAR_LOG:
      m_eventList.DeleteAllItems();
      m_eventRows.Clear();
      return TRUE;
    case ID_OPEN_URL:
      fx::ShellOpen(std::string(CellForCopy(row, 2)).c_str(), SW_HIDE);
      return TRUE;
    default:
      return CDialog::OnCommand(wParam, lParam);
  }
}

void CEventLogDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  // The first size message arrives while the window is being created, before its controls.
  CWnd* list = GetDlgItem(IDC_EVENT_LIST);
  if (list == nullptr) return;
  list->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
}

void CEventLogDlg::OnDblclkEventList(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (activate->iItem == -1) return;
  CopyTextToClipboard(std::string(CellForCopy(activate->iItem, activate->iSubItem)).c_str());
  fx::MessageBeep(MB_ICONASTERISK);
}

void CEventLogDlg::OnRclickEventList(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (activate->iItem == -1) return;
  POINT at{};
  fx::GetCursorPos(&at);
  // The right click has already selected the row under the mouse.
  const int row = m_eventList.GetNextItem(-1, LVNI_SELECTED);
  CMenu menu;
  if (!menu.LoadMenu(IsUrlRow(row) ? IDR_EVENTLOG_URL_MENU : IDR_EVENTLOG_MENU)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (popup == nullptr) {
    menu.DestroyMenu();
    return;
  }
  SetForegroundWindow();
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
  // Lets the menu close when the user clicks outside it.
  PostMessage(WM_NULL);
  popup->DestroyMenu();
  menu.DestroyMenu();
}

void CEventLogDlg::OnGetdispinfoEventList(NMHDR* header, LRESULT* result) {
  *result = 0;
  auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
  if (!(info->item.mask & LVIF_TEXT) || info->item.iItem < 0) return;
  // The store's cell outlives the notification: the list copies what it needs.
  info->item.pszText = const_cast<char*>(m_eventRows.Cell(static_cast<std::size_t>(info->item.iItem), info->item.iSubItem));
}

LRESULT CEventLogDlg::OnRowsAppended(WPARAM, LPARAM) {
  m_rowCountPosted = false;
  m_eventList.SetItemCountEx(static_cast<int>(m_eventRows.Count()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  return 0;
}

std::string_view CEventLogDlg::CellForCopy(int row, int column) const {
  if (row < 0) return "";
  const std::string_view cell = m_eventRows.Cell(static_cast<std::size_t>(row), column);
  return cell.substr(0, fx::sjis::CutLength(cell, kCellCopyBytes));
}

void CEventLogDlg::AddEvent(pellix::RecordKind kind, const char* detail) {
  if (m_eventList.m_hWnd == nullptr) return;
  AppendRow(kind, clockTexts.EventTime(fx::GetLocalTime()), pellix::RecordLabel(kind), detail ? detail : "");
}

bool CEventLogDlg::IsUrlRow(int row) const {
  return row >= 0 && m_eventRows.KindOf(static_cast<std::size_t>(row)) == pellix::RecordKind::Url;
}

bool CEventLogDlg::StartLogging() {
  // A refused start must not change the form of the file being written.
  if (m_logState.active) return false;
  const CLogSettingPage& log = theSettingDlg.m_logSettingPage;
  const HostDisplaySettings& host = theSettingDlg.m_hostDisplay;
  m_logState.html = log.Html;
  m_logState.timeStump = log.TimeStump;
  m_logState.directory = log.Directory;
  m_logState.backgroundColour = host.background;
  m_logState.normalColour = host.normal;
  m_logState.fontName = host.fontName;

  const std::string name = pellix::LogFileName(fx::GetLocalTime(), m_logState.html != 0);
  if (!m_logState.file.OpenForAppend(m_logState.directory.Str() + name)) return false;
  m_logState.fileName = name;
  m_logState.active = true;
  AddEvent(pellix::RecordKind::LogStart, m_logState.fileName);
  if (m_logState.html) {
    const std::string style = pellix::LogStyleBlock(m_logState.normalColour.View(), m_logState.backgroundColour.View(),
                                                    m_logState.fontName.View(), theSettingDlg.m_fontSize.View());
    if (!m_logState.file.Write(style)) EndRecordingAfterFailedWrite();
  }
  return m_logState.active;
}

bool CEventLogDlg::StopLogging() {
  if (!m_logState.active) return false;
  m_logState.file.Close();
  m_logState.active = false;
  AddEvent(pellix::RecordKind::LogStop, m_logState.fileName);
  return true;
}

void CEventLogDlg::WriteLogLine(const pellix::RecordLine& line) {
  if (!m_logState.active) return;
  std::string cutStorage;
  const std::string_view cut = pellix::CutLogLine(line, cutStorage);
  m_recordBuffer.clear();
  if (m_logState.timeStump)
    m_recordBuffer += clockTexts.Prefix(fx::GetLocalTime(), m_logState.html != 0, m_logState.normalColour.View());
  m_recordBuffer += cut;
  if (!m_logState.file.Write(m_recordBuffer)) EndRecordingAfterFailedWrite();
}

// A file that no longer takes lines ends the recording as "#end" would, so that the user sees
// it stopped instead of losing lines without notice.
void CEventLogDlg::EndRecordingAfterFailedWrite() { StopLogging(); }

void CEventLogDlg::ClearLoggingFlag() { m_logState.active = false; }

int CEventLogDlg::CopyTextToClipboard(const char* text) {
  if (text == nullptr) return 0;
  if (!fx::OpenClipboard(this)) return 0;
  fx::EmptyClipboard();
  const BOOL placed = fx::SetClipboardText(text);
  fx::CloseClipboard();
  return placed ? 1 : 0;
}
