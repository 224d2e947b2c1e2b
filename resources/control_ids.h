// Controls of the Control page (template IDD_CONTROL_PAGE). Its Apply button is
// IDC_CONTROL_APPLY in resource.h.
#pragma once

// The battery meter options.
#define IDC_CONTROL_METER_GROUP      1124
#define IDC_CONTROL_TRANSPARENT      1072
#define IDC_CONTROL_ALPHA            1073
#define IDC_CONTROL_TOPMOST          1074
#define IDC_CONTROL_APPEAR_ONLY      1076
#define IDC_CONTROL_AUTO_HIDE        1078
#define IDC_CONTROL_DISPLAY_LABEL    1123
#define IDC_CONTROL_ALL_BATTERIES    1080
#define IDC_CONTROL_ONE_BATTERY      1081
#define IDC_CONTROL_BATTERY_LIST     1082

// The system's settings.
#define IDC_CONTROL_WINDOWS_GROUP    1125
#define IDC_CONTROL_MULTI_BATTERY    1083
#define IDC_CONTROL_PASSWORD_LOGON   1084
#define IDC_CONTROL_SYSTRAY_METER    1085
#define IDC_CONTROL_VIDEO_DIMMING    1086
#define IDC_CONTROL_WAKE_ON_RING     1087
#define IDC_CONTROL_HIBERNATE        1093
#define IDC_CONTROL_AUTO_START       1119
#define IDC_CONTROL_BEEP             1077
