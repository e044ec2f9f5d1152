#include "plugin/InputCommands.h"

#include <string>

#include "eventlog/EventLogDlg.h"
#include "fx/App.h"
#include "fx/Sjis.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"

namespace {

void ShowLoggingAlreadyActive() { AfxMessageBox("ログは既に記録中です！"); }

void StartLoggingCommand() {
  if (theEventLogDlg.IsLogging())
    ShowLoggingAlreadyActive();
  else
    theEventLogDlg.StartLogging();
}

void StopLoggingCommand() {
  if (theEventLogDlg.IsLogging()) theEventLogDlg.StopLogging();
}

struct InputCommand {
  const char* text;  // lower case
  void (*action)();
};

// In the order they act when one line holds several.
constexpr InputCommand kCommands[] = {
    {"#setting", [] { theSettingDlg.ShowWindow(SW_SHOW); }},
    {"#event", [] { theEventLogDlg.ShowWindow(SW_SHOW); }},
    {"#url", [] { theUrlDlg.ShowWindow(SW_SHOW); }},
    {"#start", StartLoggingCommand},
    {"#end", StopLoggingCommand},
};

}  // namespace

void HandleInputText(CString& text) {
  // Every command is looked for in the line as typed, so that one acting cannot hide another.
  const std::string lower = fx::sjis::ToLower(text.View());
  for (const InputCommand& command : kCommands) {
    if (fx::sjis::Find(lower, command.text) == std::string::npos) continue;
    fx::MessageBeep(MB_ICONASTERISK);
    command.action();
    text.Empty();
  }
}
