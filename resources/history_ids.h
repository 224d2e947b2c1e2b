// Controls of the History page (template IDD_HISTORY_PAGE), included by its resource script
// and by the page.
#ifndef VANTREL_HISTORY_IDS_H
#define VANTREL_HISTORY_IDS_H

#define IDC_HISTORY_BATTERY_LABEL   1301
#define IDC_HISTORY_BATTERY_LIST    1302
#define IDC_HISTORY_CAPACITY_TITLE  1303
#define IDC_HISTORY_CAPACITY_CHART  1304
#define IDC_HISTORY_WEAR            1305
#define IDC_HISTORY_CHARGE_TITLE    1306
#define IDC_HISTORY_CHARGE_CHART    1307
#define IDC_HISTORY_RUN_TIME        1308
#define IDC_HISTORY_NOTICE          1309
#define IDC_HISTORY_SAVE_REPORT     1310

#endif
