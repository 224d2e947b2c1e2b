// The "All settings" tab of the Schemes page: every setting of a power plan.
#ifndef VANTREL_ALL_SETTINGS_IDS_H
#define VANTREL_ALL_SETTINGS_IDS_H

#define IDD_SCHEME_ALL_SETTINGS   178

#define IDC_ALL_SETTINGS_LIST     1700
#define IDC_ALL_SETTINGS_DEFAULT  1701
#define IDC_ALL_SETTINGS_NOTE     1702
// The in-place editors, made over a cell while it is edited.
#define IDC_ALL_SETTINGS_CHOICE   1703
#define IDC_ALL_SETTINGS_NUMBER   1704
#define IDC_ALL_SETTINGS_SPIN     1705

#endif
