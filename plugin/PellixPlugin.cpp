#include "plugin/PellixPlugin.h"

#include "eventlog/EventLogDlg.h"
#include "handlers/EventHandlers.h"
#include "plugin/InputCommands.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"

namespace {

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

CPellixPlugin::~CPellixPlugin() = default;

void CPellixPlugin::OnInitPlugin() {
  theEventLogDlg.Create(CEventLogDlg::IDD);
  // Creating the settings window loads every setting; nothing below may run before it.
  theSettingDlg.Create(CSettingDlg::IDD);
  theUrlDlg.Create(CUrlDlg::IDD);
  theEventLogDlg.ClearLoggingFlag();
  if (theSettingDlg.m_logSettingPage.AutoLog) theEventLogDlg.StartLogging();
  if (theSettingDlg.SetDlg) theSettingDlg.ShowWindow(SW_HIDE);
  if (theSettingDlg.m_logSettingPage.EventDlg) theEventLogDlg.ShowWindow(SW_HIDE);
}

void CPellixPlugin::OnExitPlugin() { theSettingDlg.SaveAllSettings(); }

// Records and texts from the host are used only when present: a null record is ignored and a
// null name or text reads as empty.
void CPellixPlugin::OnJoinUser(ChannelId channel, const JoinUserInfo* info) {
  if (info == nullptr) return;
  JoinUserInfo join = *info;
  join.name = OrEmpty(join.name);
  SendWelcome(*this, channel, join);
  RecordJoin(join);
}

void CPellixPlugin::OnChatMessage(ChannelId channel, const char* name, const char* text, std::uint32_t flag) {
  HandleChatMessage(*this, channel, OrEmpty(name), OrEmpty(text), flag);
}

void CPellixPlugin::OnRenameUser(ChannelId channel, const RenameUserInfo* info) {
  if (info == nullptr) return;
  RenameUserInfo rename = *info;
  rename.oldName = OrEmpty(rename.oldName);
  rename.newName = OrEmpty(rename.newName);
  HandleRename(*this, channel, rename);
}

void CPellixPlugin::OnLeaveUser(ChannelId, const LeaveUserInfo* info) {
  if (info == nullptr) return;
  LeaveUserInfo leave = *info;
  leave.name = OrEmpty(leave.name);
  RecordLeave(leave);
}

void CPellixPlugin::OnInputText(ChannelId, CString* text) {
  if (text == nullptr) return;
  HandleInputText(*text);
}
