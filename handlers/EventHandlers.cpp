#include "handlers/EventHandlers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eventlog/EventLogDlg.h"
#include "fx/Clock.h"
#include "handlers/AutoReact.h"
#include "handlers/Rename.h"
#include "handlers/RuleMatcher.h"
#include "handlers/UrlScan.h"
#include "handlers/Welcome.h"
#include "records/AddressForm.h"
#include "records/ChatRecords.h"
#include "records/HostText.h"
#include "records/PresenceRecords.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"

namespace {

constexpr std::uint32_t kRenameNoticeColour = 0xFFFF00;

// Every setting is read at the moment of the event: the user may change any of them between lines.
const CLogSettingPage& LogSettings() { return theSettingDlg.m_logSettingPage; }
const HostDisplaySettings& Colours() { return theSettingDlg.m_hostDisplay; }

pellix::AddressForm CurrentAddressForm() { return pellix::AddressFormFor(LogSettings().WriteType != 0); }
pellix::LineForm CurrentLineForm() { return LogSettings().Html != 0 ? pellix::LineForm::Html : pellix::LineForm::Text; }

// Adds the row, then the log line. The line is built only while a recording is open, so a
// channel without logging pays for nothing but the row.
template <pellix::EventRecord Record>
void AddRecord(const Record& record) {
  theEventLogDlg.AddEvent(Record::kKind, record.Detail().c_str());
  if (!theEventLogDlg.IsLogging()) return;
  theEventLogDlg.WriteLogLine(record.Line(CurrentLineForm()));
}

void CollectUrls(std::string_view text) {
  for (const std::string& url : pellix::ScanUrls(text)) {
    // Offered to the collector whatever URLLog says; only an accepted URL is recorded.
    if (theUrlDlg.AddUrl(CString(url)) != 1 || !LogSettings().URLLog) continue;
    AddRecord(pellix::UrlRecord(url));
  }
}

void RecordChatLine(std::string_view name, std::string_view text) {
  const CLogSettingPage& settings = LogSettings();
  if (!settings.MessageLog) return;
  const auto form = pellix::ChatRecordFormFor(name, settings.CheckUser.View(), settings.NameInclude != 0);
  if (!form) return;
  AddRecord(pellix::ChatRecord(*form, name, text, Colours().name.View()));
}

void RecordAdministrativeLine(std::string_view name, std::string_view text, std::uint32_t flag) {
  if (!LogSettings().RCMSLog || !pellix::IsAdministrativeLine(name, flag)) return;
  AddRecord(pellix::AdministrativeRecord(text, Colours().action.View()));
}

// True while responses are being sent. A host that fed the plug-in's own sends back into
// OnChatMessage would otherwise let a response holding its own keyword answer itself forever.
bool answering = false;

// The rule list's rows, prepared for matching and answering, kept while the list's content
// version stays the same: the rows remain the one place the rules live, and a line no longer
// reads 99 cells or looks for 99 placeholders.
class RuleTable {
 public:
  // Follows the rows when they changed since the last call; true when they had.
  bool Refresh(const CListCtrl& list) {
    const std::uint64_t version = list.GetContentVersion();
    if (m_version && *m_version == version) return false;
    std::vector<std::string> keywords;
    m_responses.clear();
    char keyword[1024];  // a cell is read as at most 1023 bytes, cut at a character boundary
    for (int row = 0, rows = list.GetItemCount(); row < rows; ++row) {
      const int length = list.GetItemText(row, 0, keyword, sizeof keyword);
      keywords.emplace_back(keyword, static_cast<std::size_t>(length));
      m_responses.emplace_back(list.GetItemText(row, 1).View());
    }
    m_matcher = pellix::RuleMatcher(keywords);
    m_version = version;
    return true;
  }

  // Whether each row's keyword is in `text`, by the rows as of the last Refresh.
  const std::vector<char>& Match(std::string_view text) {
    m_matcher.Match(text, m_matched);
    return m_matched;
  }

  // The row's answer to the speaker, valid until the next call.
  const std::string& Answer(std::size_t row, std::string_view speaker) {
    m_responses[row].WriteFor(speaker, m_answer);
    return m_answer;
  }

 private:
  std::optional<std::uint64_t> m_version;
  pellix::RuleMatcher m_matcher;
  std::vector<pellix::PreparedResponse> m_responses;
  std::vector<char> m_matched;
  std::string m_answer;
};

RuleTable ruleTable;

void AnswerFromRules(CZelkorPlugin& host, ChannelId channel, std::string_view name, std::string_view text) {
  const CAutoReactPage& page = theSettingDlg.m_autoReactPage;
  if (!page.AutoReact || answering) return;
  answering = true;
  const CListCtrl& list = page.m_reactList;
  ruleTable.Refresh(list);
  const std::vector<char>* matched = &ruleTable.Match(text);
  // Rows answer in order. The count is read again after every send: a host callback inside
  // InputMessage may edit the table, and the rows after the one that answered are then
  // matched and answered as they are now.
  int rows = list.GetItemCount();
  for (int row = 0; row < rows; ++row) {
    const auto at = static_cast<std::size_t>(row);
    if (at >= matched->size() || !(*matched)[at]) continue;
    host.InputMessage(channel, ruleTable.Answer(at, name).c_str());
    rows = list.GetItemCount();
    if (ruleTable.Refresh(list)) matched = &ruleTable.Match(text);
  }
  answering = false;
}

}  // namespace

void SendWelcome(CZelkorPlugin& host, ChannelId channel, const JoinUserInfo& info) {
  const CAutoReactPage& page = theSettingDlg.m_autoReactPage;
  if (!page.AutoWelcome) return;
  const std::string welcome = pellix::ExpandWelcome(page.Message.View(), info);
  host.InputMessage(channel, welcome.c_str());
}

void RecordJoin(const JoinUserInfo& info) {
  if (!LogSettings().EnterLog) return;
  AddRecord(pellix::JoinRecord(info, CurrentAddressForm(), Colours().enter.View()));
}

void RecordLeave(const LeaveUserInfo& info) {
  if (!LogSettings().LeaveLog) return;
  AddRecord(pellix::LeaveRecord(info, CurrentAddressForm(), Colours().leave.View()));
}

void HandleRename(CZelkorPlugin& host, ChannelId channel, const RenameUserInfo& info) {
  const std::string_view oldName = pellix::HostText(info.oldName);
  const std::string_view newName = pellix::HostText(info.newName);
  const fx::LocalTime now = fx::GetLocalTime();
  if (!pellix::RenameChangesBaseName(oldName, newName) || !LogSettings().RenameLog) return;

  const std::string notice = pellix::RenameNotice(now, oldName, newName);
  host.WriteEchoText(channel, notice.c_str(), kRenameNoticeColour);

  AddRecord(pellix::RenameRecord(info, CurrentAddressForm(), Colours().topic.View()));
}

void HandleChatMessage(CZelkorPlugin& host, ChannelId channel, const char* name, const char* text,
                       std::uint32_t flag) {
  const std::string_view speaker = pellix::HostText(name);
  const std::string_view line = pellix::HostText(text);
  CollectUrls(line);
  RecordChatLine(speaker, line);
  RecordAdministrativeLine(speaker, line, flag);
  AnswerFromRules(host, channel, speaker, line);
}
