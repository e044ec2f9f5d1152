// The module's single instances, reached directly by every part of the plug-in.
#pragma once

#include "eventlog/EventLogDlg.h"
#include "plugin/PellixPlugin.h"
#include "settings/SettingDlg.h"
#include "urls/UrlDlg.h"

extern CEventLogDlg theEventLogDlg;
extern CSettingDlg theSettingDlg;
extern CUrlDlg theUrlDlg;
extern CPellixPlugin thePlugin;
