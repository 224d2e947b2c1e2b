// The battery notices: their options dialog and the Control page's button that opens it.
#ifndef VANTREL_NOTICES_IDS_H
#define VANTREL_NOTICES_IDS_H

#define IDD_NOTICES               200

// ---- Notices dialog (IDD_NOTICES) ----
#define IDC_NOTICES_LOW_CHECK     2000
#define IDC_NOTICES_LOW_EDIT      2001
#define IDC_NOTICES_LOW_SPIN      2002
#define IDC_NOTICES_LOW_UNIT      2003
#define IDC_NOTICES_LIMIT_CHECK   2004
#define IDC_NOTICES_LIMIT_EDIT    2005
#define IDC_NOTICES_LIMIT_SPIN    2006
#define IDC_NOTICES_LIMIT_UNIT    2007
#define IDC_NOTICES_EXPLAIN       2008

// ---- Control page (IDD_CONTROL_PAGE) ----
#define IDC_CONTROL_NOTICES       2019

#endif
