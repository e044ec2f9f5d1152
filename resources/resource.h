// The plug-in's fixed resource numbers.
#pragma once

// Dialog templates.
#define IDD_EVENTLOG 13000
#define IDD_SETTING 13001
#define IDD_AUTOREACT 13002
#define IDD_LOGSETTING 13003
#define IDD_URL 13007

// Menus.
#define IDR_EVENTLOG_MENU 13004
#define IDR_EVENTLOG_URL_MENU 13005
#define IDR_AUTOREACT_MENU 13009

// Icon groups.
#define IDI_SETTING 13005
#define IDI_EVENTLOG 13006
#define IDI_URL 13007

// Event log window.
#define IDC_EVENT_LIST 13000

// Settings window.
#define IDC_SETTING_TAB 13001
#define IDC_SET_DLG 13020

// Event-log settings page.
#define IDC_ENTER_LOG 13002
#define IDC_LEAVE_LOG 13003
#define IDC_RENAME_LOG 13004
#define IDC_RCMS_LOG 13005
#define IDC_WRITE_TYPE 13006
#define IDC_MESSAGE_LOG 13007
#define IDC_CHECK_USER 13008
#define IDC_DIRECTORY 13009
#define IDC_BROWSE 13010
#define IDC_NAME_INCLUDE 13017
#define IDC_TIME_STUMP 13023
#define IDC_EVENT_DLG 13024
#define IDC_AUTO_LOG 13025
#define IDC_HTML 13026
#define IDC_URL_LOG 13034

// Auto-reaction page.
#define IDC_WELCOME_MESSAGE 13018
#define IDC_AUTO_WELCOME 13019
#define IDC_REACT_WORD 13028
#define IDC_REACT_RES 13029
#define IDC_REACT_LIST 13030
#define IDC_REACT_DELETE 13031
#define IDC_REACT_ADD 13032
#define IDC_AUTO_REACT 13033

// URL collector window.
#define IDC_URL_COMBO 13029
#define IDC_URL_DUPLICATE 13031

// Menu commands.
#define ID_COPY_ALL 32771
#define ID_CLEAR_LOG 32772
#define ID_OPEN_URL 32773
#define ID_DELETE_RULE 32774
