// Identifiers of the user-interface texts. Language files translate a text under the same
// number, so these values are fixed for good.
#pragma once

namespace vantrel::i18n {

// Buttons shared by the pages.
inline constexpr int IDS_OK = 1;
inline constexpr int IDS_CANCEL = 2;
inline constexpr int IDS_APPLY = 3;

// Time units and the no-battery message.
inline constexpr int IDS_HOURS = 100;
inline constexpr int IDS_MINUTES = 101;
inline constexpr int IDS_NEVER = 102;
inline constexpr int IDS_NO_BATTERIES = 105;

// Tray menu.
inline constexpr int IDS_TRAY_MAIN_DIALOG = 1000;
inline constexpr int IDS_TRAY_LOG_OFF = 1010;
inline constexpr int IDS_TRAY_SHUT_DOWN = 1020;
inline constexpr int IDS_TRAY_REBOOT = 1030;
inline constexpr int IDS_TRAY_WAKE_UP_AFTER = 1040;
inline constexpr int IDS_TRAY_SLEEP = 1050;
inline constexpr int IDS_TRAY_HIBERNATE = 1060;
inline constexpr int IDS_TRAY_EXIT = 1070;

// Page names.
inline constexpr int IDS_PAGE_CONTROL = 3001;
inline constexpr int IDS_PAGE_SCHEMES = 3002;
inline constexpr int IDS_PAGE_BATTERIES = 3003;
inline constexpr int IDS_PAGE_POLICY = 3004;
inline constexpr int IDS_PAGE_HISTORY = 3005;

// Main window menu bar.
inline constexpr int IDS_MENU_PAGES = 3100;
inline constexpr int IDS_MENU_LANGUAGES = 3101;
inline constexpr int IDS_MENU_HELP = 3102;
inline constexpr int IDS_MENU_DEFAULT_LANGUAGE = 3200;
inline constexpr int IDS_MENU_HELP_TOPICS = 3300;
inline constexpr int IDS_MENU_WEB_SITE = 3301;
inline constexpr int IDS_MENU_ABOUT = 3302;

// Control page.
inline constexpr int IDS_CONTROL_METER_OPTIONS = 4000;
inline constexpr int IDS_CONTROL_TRANSPARENT = 4001;
inline constexpr int IDS_CONTROL_ALWAYS_ON_TOP = 4002;
inline constexpr int IDS_CONTROL_APPEAR_ON_CHR_DISCHR = 4003;
inline constexpr int IDS_CONTROL_BEEP_AFTER_WAKE_UP = 4004;
inline constexpr int IDS_CONTROL_AUTO_HIDE = 4005;
inline constexpr int IDS_CONTROL_DISPLAY_CHARGE = 4006;
inline constexpr int IDS_CONTROL_ALL_BATTERIES = 4007;
inline constexpr int IDS_CONTROL_ONE_BATTERY = 4008;
inline constexpr int IDS_CONTROL_WINDOWS_SETTINGS = 4009;
inline constexpr int IDS_CONTROL_MULTI_BATTERY_DISPLAY = 4010;
inline constexpr int IDS_CONTROL_PASSWORD_LOGON = 4011;
inline constexpr int IDS_CONTROL_SYSTRAY_METER = 4012;
inline constexpr int IDS_CONTROL_VIDEO_DIMMING = 4013;
inline constexpr int IDS_CONTROL_WAKE_ON_RING = 4014;
inline constexpr int IDS_CONTROL_ALLOW_HIBERNATE = 4015;
inline constexpr int IDS_CONTROL_AUTO_START = 4016;
// What the system refused on OK or Apply.
inline constexpr int IDS_CONTROL_FLAGS_NOT_SAVED = 4017;
inline constexpr int IDS_CONTROL_HIBERNATE_NOT_SAVED = 4018;

// Schemes page and the scheme editor's tabs.
inline constexpr int IDS_SCHEMES_POWER_SCHEME = 5000;
inline constexpr int IDS_SCHEMES_SAVE_AS = 5001;
inline constexpr int IDS_SCHEMES_DELETE = 5002;
inline constexpr int IDS_SCHEMES_POWER_POLICY = 5003;
inline constexpr int IDS_TAB_USER = 5010;
inline constexpr int IDS_TAB_MACHINE = 5011;
inline constexpr int IDS_TAB_PROCESSOR = 5012;
inline constexpr int IDS_SCHEMES_DELETE_QUESTION = 5013;  // one "%s": the scheme's name
inline constexpr int IDS_SCHEMES_SAVE_AS_PROMPT = 5014;
inline constexpr int IDS_SCHEMES_DELETE_CAPTION = 5015;
inline constexpr int IDS_SCHEMES_PROCESSOR_NOT_SAVED = 5016;
inline constexpr int IDS_SCHEMES_NO_COUNTERPART = 5017;  // tip of an editor field a power plan has no setting for
inline constexpr int IDS_SCHEMES_LOCKED = 5018;          // tip of an editor field fixed by Group Policy
inline constexpr int IDS_SCHEMES_UNREADABLE = 5019;      // the page when the system answers no scheme interface

// USER tab.
inline constexpr int IDS_USER_IDLE_TIMEOUT = 5200;
inline constexpr int IDS_USER_IDLE_SENSITIVITY = 5201;
inline constexpr int IDS_USER_MAX_SLEEP = 5202;
inline constexpr int IDS_USER_VIDEO_TIMEOUT = 5203;
inline constexpr int IDS_USER_SPINDOWN_TIMEOUT = 5204;
inline constexpr int IDS_USER_OPTIMIZE_FOR_POWER = 5205;
inline constexpr int IDS_USER_FAN_THROTTLE_TOLERANCE = 5206;
inline constexpr int IDS_USER_FORCED_THROTTLE = 5207;

// MACHINE tab.
inline constexpr int IDS_MACHINE_MIN_SLEEP = 5300;
inline constexpr int IDS_MACHINE_MAX_SLEEP = 5301;
inline constexpr int IDS_MACHINE_DOZE_TIMEOUT = 5302;
inline constexpr int IDS_MACHINE_DOZE_S4_TIMEOUT = 5303;
inline constexpr int IDS_MACHINE_MIN_THROTTLE = 5304;

// PROCESSOR tab.
inline constexpr int IDS_PROCESSOR_DYNAMIC_THROTTLE = 5400;
inline constexpr int IDS_PROCESSOR_CSTATE_POLICY = 5401;
inline constexpr int IDS_PROCESSOR_TIME_CHECK = 5402;
inline constexpr int IDS_PROCESSOR_ALLOW_DEMOTION = 5403;
inline constexpr int IDS_PROCESSOR_DEMOTE_LIMIT = 5404;
inline constexpr int IDS_PROCESSOR_DEMOTE_PERCENT = 5405;
inline constexpr int IDS_PROCESSOR_ALLOW_PROMOTION = 5406;
inline constexpr int IDS_PROCESSOR_PROMOTE_LIMIT = 5407;
inline constexpr int IDS_PROCESSOR_PROMOTE_PERCENT = 5408;
inline constexpr int IDS_PROCESSOR_MICROSECONDS = 5409;

// Policy and Control pages over the power plans of Vista and later.
inline constexpr int IDS_POLICY_PLANS_NOTE = 5500;       // one line on the Policy page
inline constexpr int IDS_POLICY_PLANS_NOTE_TIP = 5501;   // the note's tip, the whole story
inline constexpr int IDS_POLICY_DISPLAY_OFF = 5502;      // the action "turn off the display"
inline constexpr int IDS_PLANS_NOT_SAVED = 5503;         // one "%s": the plans not written
// Windows 11's power mode in the tray's "Power Schemes".
inline constexpr int IDS_POWER_MODE_BEST_EFFICIENCY = 5700;
inline constexpr int IDS_POWER_MODE_BALANCED = 5701;
inline constexpr int IDS_POWER_MODE_BEST_PERFORMANCE = 5702;
inline constexpr int IDS_POWER_MODE_NOT_SET = 5703;

// Export and import of schemes (Schemes page), and why a scheme file was refused.
inline constexpr int IDS_SCHEMES_EXPORT = 5100;
inline constexpr int IDS_SCHEMES_IMPORT = 5101;
inline constexpr int IDS_SCHEME_FILE_TYPE = 5102;       // the file dialogs' type name
inline constexpr int IDS_SCHEME_FILE_NOT_TAKEN = 5103;  // one "%s": the list
inline constexpr int IDS_SCHEME_FILE_REMOVED = 5104;    // a write that did not take
inline constexpr int IDS_SCHEME_FILE_NOT_WRITTEN = 5105;
inline constexpr int IDS_SCHEME_FILE_LINE = 5106;  // "%d": the line, "%s": the message
// The reader's refusals, in the order of power::SchemeFileError from Unreadable.
inline constexpr int IDS_SCHEME_FILE_UNREADABLE = 5110;
inline constexpr int IDS_SCHEME_FILE_TOO_LARGE = 5111;
inline constexpr int IDS_SCHEME_FILE_NOT_TEXT = 5112;
inline constexpr int IDS_SCHEME_FILE_NOT_SCHEME_FILE = 5113;
inline constexpr int IDS_SCHEME_FILE_WRONG_VERSION = 5114;
inline constexpr int IDS_SCHEME_FILE_TRUNCATED = 5115;
inline constexpr int IDS_SCHEME_FILE_BAD_LINE = 5116;
inline constexpr int IDS_SCHEME_FILE_UNKNOWN_KEY = 5117;    // one "%s": the key
inline constexpr int IDS_SCHEME_FILE_DUPLICATE_KEY = 5118;  // one "%s": the key
inline constexpr int IDS_SCHEME_FILE_MISSING_KEY = 5119;    // one "%s": the key
inline constexpr int IDS_SCHEME_FILE_WRONG_TYPE = 5120;     // one "%s": the key
inline constexpr int IDS_SCHEME_FILE_OUT_OF_RANGE = 5121;   // one "%s": the key
inline constexpr int IDS_SCHEME_FILE_NAME_EMPTY = 5122;
inline constexpr int IDS_SCHEME_FILE_NAME_TOO_LONG = 5123;
inline constexpr int IDS_SCHEME_FILE_DESCRIPTION_TOO_LONG = 5124;
inline constexpr int IDS_SCHEME_FILE_SYSTEM_REFUSED = 5125;  // "%d": the system's error

// The "All settings" tab: every setting of a power plan.
inline constexpr int IDS_TAB_ALL_SETTINGS = 5600;
inline constexpr int IDS_ALL_SETTINGS_NAME = 5601;  // column headers
inline constexpr int IDS_ALL_SETTINGS_AC = 5602;
inline constexpr int IDS_ALL_SETTINGS_DC = 5603;
inline constexpr int IDS_ALL_SETTINGS_DEFAULT = 5604;
inline constexpr int IDS_ALL_SETTINGS_HIDDEN = 5605;  // behind the name of a hidden setting
inline constexpr int IDS_ALL_SETTINGS_LOCKED = 5606;  // behind the name of a setting Group Policy fixes
inline constexpr int IDS_ALL_SETTINGS_LOCKED_NOTE = 5607;
inline constexpr int IDS_ALL_SETTINGS_RANGE_NOTE = 5608;  // "%s" three times: lowest, highest, step
inline constexpr int IDS_ALL_SETTINGS_LIST_NOTE = 5609;
inline constexpr int IDS_ALL_SETTINGS_UNREADABLE = 5610;

// Batteries page: labels.
inline constexpr int IDS_BATTERY_DEVICE_NAME = 6000;
inline constexpr int IDS_BATTERY_INFORMATION = 6001;
inline constexpr int IDS_BATTERY_TECHNOLOGY = 6002;
inline constexpr int IDS_BATTERY_CHEMISTRY = 6003;
inline constexpr int IDS_BATTERY_ALERT_LOW = 6004;
inline constexpr int IDS_BATTERY_ALERT_WARNING = 6005;
inline constexpr int IDS_BATTERY_MANUFACTURE_DATE = 6006;
inline constexpr int IDS_BATTERY_MANUFACTURE_NAME = 6007;
inline constexpr int IDS_BATTERY_SERIAL_NUMBER = 6008;
inline constexpr int IDS_BATTERY_UNIQUE_ID = 6009;
inline constexpr int IDS_BATTERY_STATUS_GROUP = 6010;
inline constexpr int IDS_BATTERY_FULL_CHARGED_CAPACITY = 6011;
inline constexpr int IDS_BATTERY_CYCLE_COUNT = 6012;
inline constexpr int IDS_BATTERY_CRITICAL_BIAS = 6013;
inline constexpr int IDS_BATTERY_TEMPERATURE = 6014;
inline constexpr int IDS_BATTERY_CAPACITY = 6015;
inline constexpr int IDS_BATTERY_VOLTAGE = 6016;
inline constexpr int IDS_BATTERY_RATE = 6017;
inline constexpr int IDS_BATTERY_ESTIMATED_TIME = 6018;
inline constexpr int IDS_BATTERY_STATUS = 6019;
inline constexpr int IDS_BATTERY_WEAR = 6020;
inline constexpr int IDS_BATTERY_CHARGE = 6021;
inline constexpr int IDS_BATTERY_DESIGN_CAPACITY = 6022;

// Batteries page: values.
inline constexpr int IDS_BATTERY_ONLINE = 6030;
inline constexpr int IDS_BATTERY_CHARGING = 6031;
inline constexpr int IDS_BATTERY_DISCHARGING = 6032;
inline constexpr int IDS_BATTERY_RECHARGEABLE = 6200;
inline constexpr int IDS_BATTERY_NOT_RECHARGEABLE = 6201;
inline constexpr int IDS_BLANK = 6202;
inline constexpr int IDS_BATTERY_UNKNOWN = 6203;
inline constexpr int IDS_UNIT_MWH = 6204;
inline constexpr int IDS_UNIT_MV = 6205;
inline constexpr int IDS_BATTERY_DO_CHARGE = 6206;
inline constexpr int IDS_BATTERY_DO_DISCHARGE = 6207;

// Policy page.
inline constexpr int IDS_POLICY_SETTINGS = 7000;
inline constexpr int IDS_POLICY_ACTION_ON = 7001;
inline constexpr int IDS_POLICY_RUNNING_ON = 7002;
inline constexpr int IDS_POLICY_POWER_SCHEME = 7003;
inline constexpr int IDS_POLICY_BATTERY = 7004;
inline constexpr int IDS_POLICY_MIN_SYSTEM_STATE = 7005;
inline constexpr int IDS_POLICY_ACTIONS_SETTINGS = 7006;
inline constexpr int IDS_POLICY_ACTION = 7007;
inline constexpr int IDS_POLICY_FLAGS = 7008;
inline constexpr int IDS_POLICY_NOTIFY_EVENT = 7009;
inline constexpr int IDS_POLICY_NOT_SAVED = 7010;

// About box.
inline constexpr int IDS_ABOUT_CAPTION = 8000;
inline constexpr int IDS_ABOUT_COMMENTS = 8002;
inline constexpr int IDS_ABOUT_WRITE_TO = 8003;
inline constexpr int IDS_ABOUT_DOWNLOAD = 8004;

// Battery notices: the Control page's button, the options dialog and the balloons.
inline constexpr int IDS_NOTICES_BUTTON = 9000;
inline constexpr int IDS_NOTICES_CAPTION = 9001;
inline constexpr int IDS_NOTICES_LOW_BATTERY = 9002;
inline constexpr int IDS_NOTICES_CHARGE_LIMIT = 9003;
inline constexpr int IDS_NOTICES_EXPLAIN = 9004;
inline constexpr int IDS_NOTICE_LOW_BATTERY_TITLE = 9010;
inline constexpr int IDS_NOTICE_LOW_BATTERY_TEXT = 9011;  // %d charge, %s time left
inline constexpr int IDS_NOTICE_CHARGE_LIMIT_TITLE = 9012;
inline constexpr int IDS_NOTICE_CHARGE_LIMIT_TEXT = 9013;  // %d charge

// Power schemes from the tray menu and their automatic switching.
inline constexpr int IDS_TRAY_POWER_SCHEMES = 9100;
inline constexpr int IDS_TRAY_AUTO_SWITCH = 9101;
inline constexpr int IDS_AUTO_SWITCH_CAPTION = 9102;
inline constexpr int IDS_AUTO_SWITCH_ON_MAINS = 9103;
inline constexpr int IDS_AUTO_SWITCH_ON_BATTERY = 9104;
inline constexpr int IDS_AUTO_SWITCH_NONE = 9105;
inline constexpr int IDS_AUTO_SWITCH_MISSING = 9106;  // %s: the stored name no scheme has

// Battery history: its page and its report.
inline constexpr int IDS_HISTORY_BATTERY = 9200;
inline constexpr int IDS_HISTORY_CAPACITY_CHART = 9201;
inline constexpr int IDS_HISTORY_CHARGE_CHART = 9202;
inline constexpr int IDS_HISTORY_FULL = 9203;
inline constexpr int IDS_HISTORY_DESIGN = 9204;
inline constexpr int IDS_HISTORY_WEAR = 9205;      // %s wear in per cent, %s cycles
inline constexpr int IDS_HISTORY_RUN_TIME = 9206;  // %s now, %s when new
inline constexpr int IDS_HISTORY_ON_MAINS = 9207;
inline constexpr int IDS_HISTORY_ON_BATTERY = 9208;
inline constexpr int IDS_HISTORY_SAVE_REPORT = 9209;
inline constexpr int IDS_HISTORY_NOTHING = 9210;
inline constexpr int IDS_HISTORY_SET_ASIDE = 9211;     // %s the name it was given
inline constexpr int IDS_HISTORY_NOT_WRITTEN = 9212;   // %s file, %s error code
inline constexpr int IDS_HISTORY_REPORT_SAVED = 9213;  // %s file
inline constexpr int IDS_HISTORY_REPORT_FAILED = 9214;  // %s file, %s error code
inline constexpr int IDS_HISTORY_REPORT_TITLE = 9215;
inline constexpr int IDS_HISTORY_DATE = 9216;
inline constexpr int IDS_HISTORY_TIME_ON_BATTERY = 9217;
inline constexpr int IDS_HISTORY_SESSIONS = 9218;
inline constexpr int IDS_HISTORY_AVERAGE_RATE = 9219;
inline constexpr int IDS_HISTORY_DAILY = 9220;
inline constexpr int IDS_HISTORY_CAPACITY_RECORDS = 9221;
inline constexpr int IDS_HISTORY_WEAR_COLUMN = 9222;
inline constexpr int IDS_HISTORY_MADE_ON = 9223;  // %s date

}  // namespace vantrel::i18n
