// Control identifiers of the Policy page (template IDD_POLICY_PAGE).
#ifndef VANTREL_POLICY_IDS_H
#define VANTREL_POLICY_IDS_H

#define IDC_POLICY_ALARM_ENABLE   1072  // check box: the battery alarm is enabled
#define IDC_POLICY_ALARM_LEVEL    1073  // track bar: the alarm's battery level
#define IDC_POLICY_SOURCE         1082  // list: AC or DC
#define IDC_POLICY_SCHEME         1092  // list: the power scheme of Idle and Over Throttled
#define IDC_POLICY_ACTION         1103  // list: the action
#define IDC_POLICY_EVENT          1106  // list: the power event
#define IDC_POLICY_ACTION_ON      1107
#define IDC_POLICY_RUNNING_ON     1108
#define IDC_POLICY_SCHEME_LABEL   1109
#define IDC_POLICY_ACTION_LABEL   1110
#define IDC_POLICY_FLAGS          1111  // list view: the action's flags
#define IDC_POLICY_EVENT_CODES    1112  // list view: the notification events
#define IDC_POLICY_MIN_STATE      1120  // list: the alarm's minimum system state
#define IDC_POLICY_LEVEL_TEXT     1122  // the track bar's value as a percentage
#define IDC_POLICY_SETTINGS_GROUP 1170
#define IDC_POLICY_BATTERY_LABEL  1171
#define IDC_POLICY_MIN_STATE_LABEL 1172
#define IDC_POLICY_ACTIONS_GROUP  1173
#define IDC_POLICY_FLAGS_LABEL    1174
#define IDC_POLICY_EVENTS_LABEL   1175
#define IDC_POLICY_PLANS_NOTE     1176  // on power plans: where the settings are saved

#endif
