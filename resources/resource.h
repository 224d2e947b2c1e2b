// Resource identifiers: dialog templates, menus, icons, bitmaps, controls and commands.
// Included by the resource script and by the code; each number is defined here once.
#ifndef VANTREL_RESOURCE_H
#define VANTREL_RESOURCE_H

// ---- dialog templates ----
#define IDD_MAIN            102
#define IDD_BATTERIES_PAGE  103
#define IDD_SCHEMES_PAGE    121
#define IDD_SCHEME_USER     123
#define IDD_SCHEME_MACHINE  124
#define IDD_CONTROL_PAGE    126
#define IDD_SCHEME_PROCESSOR 127
#define IDD_POLICY_PAGE     129
#define IDD_METER           146
#define IDD_SAVE_AS         147
#define IDD_ABOUT           175
#define IDD_HISTORY_PAGE    176

// ---- menus ----
#define IDR_MAIN_MENU       162

// ---- icons ----
#define IDI_BATTERIES       109
#define IDI_SPARE_PAGE      117
#define IDI_SCHEMES         119
#define IDI_CONTROL         120
#define IDI_POLICY          135
#define IDI_TAB_USER        141
#define IDI_TAB_PROCESSOR   143
#define IDI_TAB_MACHINE     144
#define IDI_APP             145
#define IDI_MAINS           148
#define IDI_EXIT            151
#define IDI_HIBERNATE       154
#define IDI_SLEEP           155
#define IDI_HOURS           156
#define IDI_MINUTES         157
#define IDI_SHUTDOWN        158
#define IDI_LOGOFF          159
#define IDI_REBOOT          160
#define IDI_THROTTLE_CONSTANT 163
#define IDI_THROTTLE_NONE   164
#define IDI_THROTTLE_ADAPTIVE 165
#define IDI_THROTTLE_DEGRADE 166
#define IDI_HISTORY         167

// ---- bitmaps ----
#define IDB_METER_FACE      172
#define IDB_METER_FONT      174

// ---- main window ----
#define IDC_PAGE_LIST       1001
#define ID_PAGE_CONTROL     40006
#define ID_PAGE_SCHEMES     40007
#define ID_PAGE_BATTERIES   40008
#define ID_PAGE_POLICY      40009
#define ID_PAGE_HISTORY     40010
#define ID_LANGUAGE_DEFAULT 40013
#define ID_HELP_TOPICS      40014
#define ID_HELP_WEB_SITE    40015
#define ID_HELP_ABOUT       40016
#define ID_LANGUAGE_FIRST   30000
#define ID_LANGUAGE_LAST    30033

// ---- main window pages and About box ----
#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif
#define IDC_APPLY           1088  // Apply of the Schemes and Policy pages
#define IDC_CONTROL_APPLY   1102  // Apply of the Control page

// ---- tray menu commands ----
#define ID_TRAY_MAIN_DIALOG 1
#define ID_TRAY_SLEEP       3
#define ID_TRAY_HIBERNATE   4
#define ID_TRAY_LOG_OFF     5
#define ID_TRAY_SHUT_DOWN   6
#define ID_TRAY_REBOOT      7
#define ID_TRAY_EXIT        16
#define ID_TRAY_WAKE_BASE   1000
#define ID_TRAY_WAKE_LAST   2000

// ---- custom controls ----
// Commands of the time edit's preset popup: "Never", its separator, and one command per
// hours and minutes entry: first + hours index * step + minutes index.
#define ID_TIME_PRESET_NEVER      50
#define ID_TIME_PRESET_SEPARATOR  51
#define ID_TIME_PRESET_FIRST      101
#define ID_TIME_PRESET_HOURS_STEP 100
#define ID_TIME_PRESET_LAST       611

#endif
