// The module's single instances, reached directly by every part of the plug-in. Only declared
// here, so that the windows can reach each other without their headers including each other: a
// file that uses an instance includes its class's header as well.
#pragma once

class CEventLogDlg;
class CSettingDlg;
class CUrlDlg;
class CPellixPlugin;

extern CEventLogDlg theEventLogDlg;
extern CSettingDlg theSettingDlg;
extern CUrlDlg theUrlDlg;
extern CPellixPlugin thePlugin;
