// The tray menu's power schemes: its commands and the automatic switching dialog.
#ifndef VANTREL_TRAY_SCHEMES_IDS_H
#define VANTREL_TRAY_SCHEMES_IDS_H

// Commands of the "Power Schemes" submenu: scheme k of the list is ID_TRAY_SCHEME_FIRST + k.
#define ID_TRAY_SCHEME_FIRST   3000
#define ID_TRAY_SCHEME_LAST    3098
#define ID_TRAY_AUTO_SWITCH    3099
// Windows 11's power mode for the present power source: best efficiency, balanced, best
// performance, in that order.
#define ID_TRAY_POWER_MODE_FIRST 3100
#define ID_TRAY_POWER_MODE_LAST  3102

// ---- Automatic switching dialog (IDD_AUTO_SWITCH) ----
#define IDD_AUTO_SWITCH             201
#define IDC_AUTO_SWITCH_MAINS_LABEL 2100
#define IDC_AUTO_SWITCH_MAINS       2101
#define IDC_AUTO_SWITCH_BATTERY_LABEL 2102
#define IDC_AUTO_SWITCH_BATTERY     2103

#endif
