// Controls of the Schemes page and of its Save As dialog.
#ifndef VANTREL_SCHEMES_IDS_H
#define VANTREL_SCHEMES_IDS_H

// ---- Schemes page (IDD_SCHEMES_PAGE) ----
#define IDC_SCHEME_DESCRIPTION 1016
#define IDC_SCHEME_SAVE_AS     1026
#define IDC_SCHEME_COMBO       1027
#define IDC_SCHEME_DELETE      1029
#define IDC_POLICY_GROUP       1041
#define IDC_SCHEME_TABS        1042
#define IDC_SCHEME_GROUP       1149
#define IDC_SCHEME_EXPORT      1160
#define IDC_SCHEME_IMPORT      1161

// ---- Save As dialog (IDD_SAVE_AS) ----
#define IDC_SAVE_AS_LABEL      1113
#define IDC_SAVE_AS_NAME       1114

#endif
