// Every setting of Pellix.ini, one row each, in the order they are saved. Loading, saving, the
// initial values and the controls' handlers all come from these rows, so a new setting is one
// row here plus its member and its control.
//
// `Live` is the object that holds the running settings, CSettingDlg in the plug-in: a row reaches
// its member from there, so a row that names the wrong member or the wrong kind does not compile.
#pragma once

#include "resources/resource.h"
#include "settings/SettingRow.h"

namespace pellix {

#define PELLIX_LIVE(member) [](auto& live) -> auto& { return live.member; }

template <class Live>
inline constexpr SettingRow<Live> kPluginSettings[] = {
    SettingRow<Live>::Text("AutoWelcome", "Message", "%NAME% さん、こんにちは！", IDD_AUTOREACT,
                           IDC_WELCOME_MESSAGE, PELLIX_LIVE(m_autoReactPage.Message)),
    SettingRow<Live>::Folder("LogSettings", "Directory", IDD_LOGSETTING, IDC_DIRECTORY,
                             PELLIX_LIVE(m_logSettingPage.Directory)),
    SettingRow<Live>::Text("LogSettings", "CheckUser", "", IDD_LOGSETTING, IDC_CHECK_USER,
                           PELLIX_LIVE(m_logSettingPage.CheckUser)),
    SettingRow<Live>::Flag("Switch", "SetDlg", 0, IDD_SETTING, IDC_SET_DLG, PELLIX_LIVE(SetDlg)),
    SettingRow<Live>::Flag("Switch", "EventDlg", 0, IDD_LOGSETTING, IDC_EVENT_DLG,
                           PELLIX_LIVE(m_logSettingPage.EventDlg)),
    SettingRow<Live>::Flag("LogSwitch", "AutoLog", 0, IDD_LOGSETTING, IDC_AUTO_LOG,
                           PELLIX_LIVE(m_logSettingPage.AutoLog)),
    SettingRow<Live>::Flag("LogSwitch", "TimeStump", 1, IDD_LOGSETTING, IDC_TIME_STUMP,
                           PELLIX_LIVE(m_logSettingPage.TimeStump)),
    // Keys match without regard to case, so files that say "Html" are read as well.
    SettingRow<Live>::Flag("LogSwitch", "HTML", 1, IDD_LOGSETTING, IDC_HTML, PELLIX_LIVE(m_logSettingPage.Html)),
    SettingRow<Live>::Flag("LogSwitch", "EnterLog", 1, IDD_LOGSETTING, IDC_ENTER_LOG,
                           PELLIX_LIVE(m_logSettingPage.EnterLog)),
    SettingRow<Live>::Flag("LogSwitch", "LeaveLog", 1, IDD_LOGSETTING, IDC_LEAVE_LOG,
                           PELLIX_LIVE(m_logSettingPage.LeaveLog)),
    SettingRow<Live>::Flag("LogSwitch", "RenameLog", 1, IDD_LOGSETTING, IDC_RENAME_LOG,
                           PELLIX_LIVE(m_logSettingPage.RenameLog)),
    SettingRow<Live>::Flag("LogSwitch", "MessageLog", 1, IDD_LOGSETTING, IDC_MESSAGE_LOG,
                           PELLIX_LIVE(m_logSettingPage.MessageLog)),
    SettingRow<Live>::Flag("LogSwitch", "RCMSLog", 0, IDD_LOGSETTING, IDC_RCMS_LOG,
                           PELLIX_LIVE(m_logSettingPage.RCMSLog)),
    SettingRow<Live>::Flag("LogSwitch", "URLLog", 0, IDD_LOGSETTING, IDC_URL_LOG,
                           PELLIX_LIVE(m_logSettingPage.URLLog)),
    SettingRow<Live>::Flag("LogSwitch", "WriteType", 0, IDD_LOGSETTING, IDC_WRITE_TYPE,
                           PELLIX_LIVE(m_logSettingPage.WriteType)),
    SettingRow<Live>::Flag("LogSwitch", "NameInclude", 1, IDD_LOGSETTING, IDC_NAME_INCLUDE,
                           PELLIX_LIVE(m_logSettingPage.NameInclude)),
    SettingRow<Live>::Flag("AutoWelcome", "AutoWelcome", 0, IDD_AUTOREACT, IDC_AUTO_WELCOME,
                           PELLIX_LIVE(m_autoReactPage.AutoWelcome)),
    SettingRow<Live>::Flag("React", "AutoReact", 0, IDD_AUTOREACT, IDC_AUTO_REACT,
                           PELLIX_LIVE(m_autoReactPage.AutoReact)),
};

#undef PELLIX_LIVE

}  // namespace pellix
