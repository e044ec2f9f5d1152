#include "resources/Resources.h"

#include "resources/resource.h"

namespace {

using fx::ControlClass;
using fx::ControlTemplate;

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";
constexpr int kDialogFontSize = 9;

constexpr DWORD kTopLevel = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT;
constexpr DWORD kPage = WS_CHILD | DS_CONTROL | DS_SETFONT;

constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefPush = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kGroup = BS_GROUPBOX;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT;

constexpr ControlTemplate kEventLogControls[] = {
    {IDC_EVENT_LIST, ControlClass::ListView, "", 0, 0, 238, 199,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | WS_BORDER | WS_TABSTOP},
};

constexpr ControlTemplate kSettingControls[] = {
    {IDOK, ControlClass::Button, "閉じる", 125, 122, 101, 17, kDefPush},
    {IDC_SETTING_TAB, ControlClass::TabControl, "", 3, 4, 223, 116, WS_TABSTOP},
    {IDC_SET_DLG, ControlClass::Button, "このダイアログを起動時に表示しない", 3, 125, 118, 10, kCheck},
};

constexpr ControlTemplate kAutoReactControls[] = {
    {-1, ControlClass::Button, "自動歓迎", 116, 58, 92, 36, kGroup},
    {IDC_WELCOME_MESSAGE, ControlClass::Edit, "", 120, 79, 84, 12, kEdit},
    {IDC_AUTO_WELCOME, ControlClass::Button, "使用する", 120, 67, 39, 10, kCheck},
    {-1, ControlClass::Button, "自動反応追加", 116, 1, 92, 54, kGroup},
    {-1, ControlClass::Static, "語句", 121, 13, 15, 8, kLabel},
    {-1, ControlClass::Static, "レス", 121, 25, 13, 8, kLabel},
    {IDC_REACT_WORD, ControlClass::Edit, "", 139, 11, 65, 12, kEdit},
    {IDC_REACT_RES, ControlClass::Edit, "", 139, 23, 65, 12, kEdit},
    {-1, ControlClass::Button, "自動反応", 7, 1, 105, 93, kGroup},
    {IDC_REACT_LIST, ControlClass::ListView, "", 11, 11, 97, 64, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP},
    {IDC_REACT_DELETE, ControlClass::Button, "削除", 55, 78, 53, 13, kPush},
    {IDC_REACT_ADD, ControlClass::Button, "追加", 120, 38, 84, 14, kPush},
    {IDC_AUTO_REACT, ControlClass::Button, "使用する", 11, 80, 39, 10, kCheck},
};

constexpr ControlTemplate kLogSettingControls[] = {
    {-1, ControlClass::Button, "イベントログ設定", 4, 2, 99, 91, kGroup},
    {IDC_ENTER_LOG, ControlClass::Button, "入室", 8, 14, 27, 10, kCheck},
    {IDC_LEAVE_LOG, ControlClass::Button, "退室", 72, 14, 27, 10, kCheck},
    {IDC_RENAME_LOG, ControlClass::Button, "改名", 40, 26, 27, 10, kCheck},
    {IDC_RCMS_LOG, ControlClass::Button, "管理", 8, 25, 27, 10, kCheck},
    {IDC_WRITE_TYPE, ControlClass::Button, "IP:Port形式", 8, 38, 45, 10, kCheck},
    {IDC_MESSAGE_LOG, ControlClass::Button, "発言", 40, 14, 27, 10, kCheck},
    {-1, ControlClass::Static, "監視HN", 15, 75, 24, 8, kLabel},
    {IDC_CHECK_USER, ControlClass::Edit, "", 40, 73, 53, 12, kEdit},
    {-1, ControlClass::Static, "ログ保存先", 108, 14, 34, 8, kLabel},
    {-1, ControlClass::Button, "ログ記録設定", 104, 2, 110, 79, kGroup},
    {IDC_DIRECTORY, ControlClass::Edit, "", 108, 24, 73, 12, kEdit | ES_READONLY},
    {IDC_BROWSE, ControlClass::Button, "参照", 182, 24, 27, 12, kPush},
    {IDC_NAME_INCLUDE, ControlClass::Button, "発言者の名前も記録", 16, 61, 71, 10, kCheck},
    {-1, ControlClass::Button, "発言ログ詳細設定", 11, 51, 86, 38, kGroup},
    {IDC_AUTO_LOG, ControlClass::Button, "起動時に自動記録", 108, 39, 65, 10, kCheck},
    {IDC_TIME_STUMP, ControlClass::Button, "時間記録", 175, 39, 38, 10, kCheck},
    {IDC_EVENT_DLG, ControlClass::Button, "イベントログを起動時に非表示", 112, 84, 98, 10, kCheck},
    {IDC_URL_LOG, ControlClass::Button, "URL", 72, 26, 27, 10, kCheck},
    {-1, ControlClass::Button, "保存形式", 108, 51, 103, 27, kGroup},
    {IDC_HTML, ControlClass::Button, "HTML形式で記録する", 123, 63, 74, 10, kCheck},
};

constexpr ControlTemplate kUrlControls[] = {
    {IDOK, ControlClass::Button, "開く", 92, 24, 102, 14, kDefPush},
    {IDC_URL_COMBO, ControlClass::ComboBox, "", 7, 7, 188, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
    {IDC_URL_DUPLICATE, ControlClass::Button, "URLの重複を許可する", 7, 28, 76, 10, kCheck},
};

constexpr fx::DialogTemplate kDialogs[] = {
    {IDD_EVENTLOG, "イベントログ", 238, 199, kDialogFont, kDialogFontSize, kTopLevel | WS_THICKFRAME, kEventLogControls},
    {IDD_SETTING, "設定ダイアログ", 229, 141, kDialogFont, kDialogFontSize, kTopLevel | DS_MODALFRAME | DS_CENTER,
     kSettingControls},
    {IDD_AUTOREACT, "", 215, 95, kDialogFont, kDialogFontSize, kPage, kAutoReactControls},
    {IDD_LOGSETTING, "", 218, 96, kDialogFont, kDialogFontSize, kPage, kLogSettingControls},
    {IDD_URL, "URLダイアログ", 201, 45, kDialogFont, kDialogFontSize, kTopLevel | DS_MODALFRAME, kUrlControls},
};

constexpr fx::MenuItemTemplate kEventLogMenuItems[] = {
    {ID_COPY_ALL, "全てコピー(&C)"},
    {0, nullptr},
    {ID_CLEAR_LOG, "ログクリア(&D)"},
};
constexpr fx::MenuItemTemplate kEventLogUrlMenuItems[] = {
    {ID_OPEN_URL, "開く(&O)"},
    {ID_COPY_ALL, "全てコピー(&C)"},
    {0, nullptr},
    {ID_CLEAR_LOG, "ログクリア(&D)"},
};
constexpr fx::MenuItemTemplate kAutoReactMenuItems[] = {
    {ID_DELETE_RULE, "削除(&D)"},
};

constexpr fx::PopupTemplate kEventLogPopups[] = {{"EventLog", kEventLogMenuItems}};
constexpr fx::PopupTemplate kEventLogUrlPopups[] = {{"EventLogUrl", kEventLogUrlMenuItems}};
constexpr fx::PopupTemplate kAutoReactPopups[] = {{"AutoReact", kAutoReactMenuItems}};

constexpr fx::MenuTemplate kMenus[] = {
    {IDR_EVENTLOG_MENU, kEventLogPopups},
    {IDR_EVENTLOG_URL_MENU, kEventLogUrlPopups},
    {IDR_AUTOREACT_MENU, kAutoReactPopups},
};

constexpr fx::IconTemplate kIcons[] = {
    {IDI_SETTING, 0x00804000, 0x00FFFFFF, 'S'},
    {IDI_EVENTLOG, 0x00000000, 0x0000FF00, 'E'},
    {IDI_URL, 0x00A05000, 0x00FFFFFF, 'U'},
};

}  // namespace

const fx::ResourceTable kPellixResources = {kDialogs, kMenus, kIcons};
