// Controls of the Batteries page (template IDD_BATTERIES_PAGE), included by its resource
// script and by the page.
#ifndef VANTREL_BATTERIES_IDS_H
#define VANTREL_BATTERIES_IDS_H

#define IDC_BATTERY_LIST            1003

// Information
#define IDC_BATTERY_TECHNOLOGY      1006
#define IDC_BATTERY_CHEMISTRY       1007
#define IDC_BATTERY_DESIGN_CAPACITY 1009
#define IDC_BATTERY_ALERT1          1010
#define IDC_BATTERY_ALERT2          1011
#define IDC_BATTERY_DATE            1012
#define IDC_BATTERY_MAKER           1013
#define IDC_BATTERY_SERIAL          1014
#define IDC_BATTERY_UNIQUE_ID       1015

// Status
#define IDC_BATTERY_FULL_CAPACITY   1016
#define IDC_BATTERY_CYCLE_COUNT     1017
#define IDC_BATTERY_CRITICAL_BIAS   1018
#define IDC_BATTERY_TEMPERATURE     1019
#define IDC_BATTERY_CAPACITY        1020
#define IDC_BATTERY_VOLTAGE         1021
#define IDC_BATTERY_RATE            1022
#define IDC_BATTERY_TIME            1023
#define IDC_BATTERY_WEAR_BAR        1024
#define IDC_BATTERY_CHARGE_BAR      1025
#define IDC_BATTERY_CHARGE_BUTTON   1045
#define IDC_BATTERY_STATE           1061

// Group boxes and labels
#define IDC_BATTERY_DEVICE_GROUP    1126
#define IDC_BATTERY_INFO_GROUP      1127
#define IDC_LABEL_TECHNOLOGY        1128
#define IDC_LABEL_CHEMISTRY         1129
#define IDC_LABEL_DESIGN_CAPACITY   1130
#define IDC_LABEL_ALERT1            1131
#define IDC_LABEL_ALERT2            1132
#define IDC_LABEL_DATE              1133
#define IDC_LABEL_MAKER             1134
#define IDC_LABEL_SERIAL            1135
#define IDC_LABEL_UNIQUE_ID         1136
#define IDC_BATTERY_STATUS_GROUP    1137
#define IDC_LABEL_FULL_CAPACITY     1138
#define IDC_LABEL_CYCLE_COUNT       1139
#define IDC_LABEL_CRITICAL_BIAS     1140
#define IDC_LABEL_TEMPERATURE       1141
#define IDC_LABEL_CAPACITY          1142
#define IDC_LABEL_VOLTAGE           1143
#define IDC_LABEL_RATE              1144
#define IDC_LABEL_TIME              1145
#define IDC_LABEL_STATE             1146
#define IDC_LABEL_WEAR              1147
#define IDC_LABEL_CHARGE            1148

#endif
