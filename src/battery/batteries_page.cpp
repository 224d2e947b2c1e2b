#include "battery/batteries_page.h"

#include <cstdio>
#include <cstring>

#include "batteries_ids.h"
#include "framework/handles.h"
#include "battery/core/battery_figures.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::battery {

namespace {

std::string Unknown() { return i18n::Text(i18n::IDS_BATTERY_UNKNOWN); }

// The driver's marker of a capacity it does not know.
bool IsUnknown(ULONG value) { return value == BatteryPlatform::kUnknownFigure; }

std::string Number(long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld", value);
  return text;
}

// "%d (%s)": the figure with its unit, for example 4400 (mWh); "Unknown" for the marker.
std::string WithUnit(ULONG value, int unit_id) {
  if (IsUnknown(value)) return Unknown();
  char text[64];
  std::snprintf(text, sizeof text, "%d (%s)", static_cast<int>(value), i18n::Text(unit_id).c_str());
  return text;
}

ULONG DesignCapacity(const BATTERY_INFORMATION& info) {
  return (info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 0 : info.DesignedCapacity;
}

// A figure of the information record, "Unknown" when the record could not be read.
template <class Reading>
std::function<std::string(const Reading&)> InfoFigure(std::string (*show)(const BATTERY_INFORMATION&)) {
  return [show](const Reading& r) { return r.info_result == ERROR_SUCCESS ? show(r.info) : Unknown(); };
}

template <class Reading>
std::function<std::string(const Reading&)> InfoCapacity(ULONG BATTERY_INFORMATION::*field) {
  return [field](const Reading& r) {
    return r.info_result == ERROR_SUCCESS ? WithUnit(r.info.*field, i18n::IDS_UNIT_MWH) : Unknown();
  };
}

using InfoRow = std::function<std::string(const BatteryInfoReading&)>;
using StatusRow = std::function<std::string(const BatteryStatusReading&)>;

InfoRow OptionalText(bool BatteryInfoReading::*has, std::string BatteryInfoReading::*text) {
  return [has, text](const BatteryInfoReading& r) { return r.*has ? r.*text : Unknown(); };
}

// A status field: its figure when the status was read and the field is not the device's
// "unknown" marker.
StatusRow StatusFigure(ULONG BATTERY_STATUS::*field, ULONG unknown, int unit_id) {
  return [=](const BatteryStatusReading& r) {
    if (r.status_result != ERROR_SUCCESS || r.status.*field == unknown) return Unknown();
    return unit_id ? WithUnit(r.status.*field, unit_id) : Number(static_cast<LONG>(r.status.*field));
  };
}

constexpr i18n::ControlText kTexts[] = {
    {i18n::IDS_BATTERY_DEVICE_NAME, IDC_BATTERY_DEVICE_GROUP},
    {i18n::IDS_BATTERY_INFORMATION, IDC_BATTERY_INFO_GROUP},
    {i18n::IDS_BATTERY_TECHNOLOGY, IDC_LABEL_TECHNOLOGY},
    {i18n::IDS_BATTERY_CHEMISTRY, IDC_LABEL_CHEMISTRY},
    {i18n::IDS_BATTERY_DESIGN_CAPACITY, IDC_LABEL_DESIGN_CAPACITY},
    {i18n::IDS_BATTERY_ALERT_LOW, IDC_LABEL_ALERT1},
    {i18n::IDS_BATTERY_ALERT_WARNING, IDC_LABEL_ALERT2},
    {i18n::IDS_BATTERY_MANUFACTURE_DATE, IDC_LABEL_DATE},
    {i18n::IDS_BATTERY_MANUFACTURE_NAME, IDC_LABEL_MAKER},
    {i18n::IDS_BATTERY_SERIAL_NUMBER, IDC_LABEL_SERIAL},
    {i18n::IDS_BATTERY_UNIQUE_ID, IDC_LABEL_UNIQUE_ID},
    {i18n::IDS_BATTERY_STATUS_GROUP, IDC_BATTERY_STATUS_GROUP},
    {i18n::IDS_BATTERY_FULL_CHARGED_CAPACITY, IDC_LABEL_FULL_CAPACITY},
    {i18n::IDS_BATTERY_CYCLE_COUNT, IDC_LABEL_CYCLE_COUNT},
    {i18n::IDS_BATTERY_CRITICAL_BIAS, IDC_LABEL_CRITICAL_BIAS},
    {i18n::IDS_BATTERY_TEMPERATURE, IDC_LABEL_TEMPERATURE},
    {i18n::IDS_BATTERY_CAPACITY, IDC_LABEL_CAPACITY},
    {i18n::IDS_BATTERY_VOLTAGE, IDC_LABEL_VOLTAGE},
    {i18n::IDS_BATTERY_RATE, IDC_LABEL_RATE},
    {i18n::IDS_BATTERY_ESTIMATED_TIME, IDC_LABEL_TIME},
    {i18n::IDS_BATTERY_STATUS, IDC_LABEL_STATE},
    {i18n::IDS_BATTERY_WEAR, IDC_LABEL_WEAR},
    {i18n::IDS_BATTERY_CHARGE, IDC_LABEL_CHARGE},
};

constexpr int kHandCursorControls[] = {IDC_BATTERY_LIST};

// Each label and the value it names.
struct Labelled {
  int label, value;
};
constexpr Labelled kLabelled[] = {
    {IDC_LABEL_TECHNOLOGY, IDC_BATTERY_TECHNOLOGY},   {IDC_LABEL_CHEMISTRY, IDC_BATTERY_CHEMISTRY},
    {IDC_LABEL_DESIGN_CAPACITY, IDC_BATTERY_DESIGN_CAPACITY}, {IDC_LABEL_ALERT1, IDC_BATTERY_ALERT1},
    {IDC_LABEL_ALERT2, IDC_BATTERY_ALERT2},           {IDC_LABEL_DATE, IDC_BATTERY_DATE},
    {IDC_LABEL_MAKER, IDC_BATTERY_MAKER},             {IDC_LABEL_SERIAL, IDC_BATTERY_SERIAL},
    {IDC_LABEL_UNIQUE_ID, IDC_BATTERY_UNIQUE_ID},     {IDC_LABEL_FULL_CAPACITY, IDC_BATTERY_FULL_CAPACITY},
    {IDC_LABEL_CYCLE_COUNT, IDC_BATTERY_CYCLE_COUNT}, {IDC_LABEL_CRITICAL_BIAS, IDC_BATTERY_CRITICAL_BIAS},
    {IDC_LABEL_TEMPERATURE, IDC_BATTERY_TEMPERATURE}, {IDC_LABEL_CAPACITY, IDC_BATTERY_CAPACITY},
    {IDC_LABEL_VOLTAGE, IDC_BATTERY_VOLTAGE},         {IDC_LABEL_RATE, IDC_BATTERY_RATE},
    {IDC_LABEL_TIME, IDC_BATTERY_TIME},               {IDC_LABEL_STATE, IDC_BATTERY_STATE},
    {IDC_LABEL_WEAR, IDC_BATTERY_WEAR_BAR},           {IDC_LABEL_CHARGE, IDC_BATTERY_CHARGE_BAR},
};

RECT RectIn(HWND parent, HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

// ---- readings ---------------------------------------------------------------------------------

bool BatteryStatusReading::charging() const noexcept {
  return status_result == ERROR_SUCCESS && (status.PowerState & BATTERY_CHARGING) != 0;
}
bool BatteryStatusReading::discharging() const noexcept {
  return status_result == ERROR_SUCCESS && (status.PowerState & BATTERY_DISCHARGING) != 0;
}
unsigned BatteryStatusReading::wear() const noexcept {
  // A failed query: full 0, design 1, as the platform's own computation.
  return info_result == ERROR_SUCCESS ? WearFromCapacity(info.FullChargedCapacity, DesignCapacity(info))
                                      : WearFromCapacity(0, 1);
}
unsigned BatteryStatusReading::charge() const noexcept {
  return ChargeFromCapacity(status_result == ERROR_SUCCESS ? status.Capacity : 0,
                            info_result == ERROR_SUCCESS ? info.FullChargedCapacity : 1);
}
bool BatteryStatusReading::wear_known() const noexcept {
  return info_result == ERROR_SUCCESS && !IsUnknown(info.FullChargedCapacity) && !IsUnknown(DesignCapacity(info));
}
bool BatteryStatusReading::can_do_offered_action() const noexcept {
  const ULONG needed = discharging() ? BATTERY_SET_CHARGE_SUPPORTED : BATTERY_SET_DISCHARGE_SUPPORTED;
  return info_result == ERROR_SUCCESS && (info.Capabilities & needed) != 0;
}

BatteryInfoReading ReadBatteryInfo(BatteryPlatform& platform, unsigned index) {
  BatteryInfoReading r;
  r.info_result = platform.GetBatteryInfo(index, r.info);
  r.date_result = platform.GetManufactureDate(index, r.date);
  r.has_maker = ReadBatteryText(platform, BatteryText::ManufactureName, index, r.maker);
  r.has_serial = ReadBatteryText(platform, BatteryText::SerialNumber, index, r.serial);
  r.has_unique_id = ReadBatteryText(platform, BatteryText::UniqueId, index, r.unique_id);
  return r;
}

BatteryStatusReading ReadBatteryStatus(BatteryPlatform& platform, unsigned index) {
  BatteryStatusReading r;
  r.info_result = platform.GetBatteryInfo(index, r.info);
  // No wait: the answer of this moment. A wait for a change would hold a battery that is
  // empty and neither charging nor discharging for the platform's whole bound on every
  // refresh, and show nothing different.
  r.status_result = platform.GetStatus(index, r.status, 0, 0, 0, 0);
  r.temperature_result = platform.GetTemperature(index, r.temperature);
  r.time_result = platform.GetEstimatedTime(index, 0, r.seconds);
  return r;
}

// ---- the page ---------------------------------------------------------------------------------

CBatteriesPage::CBatteriesPage(HWND parent, BatteryPlatform* batteries)
    : CPage(IDD_BATTERIES_PAGE, parent),
      own_platform_(batteries ? nullptr : std::make_unique<BatteryPlatform>()),
      platform_(batteries ? *batteries : *own_platform_) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);

  using I = BatteryInfoReading;
  info_.Text(IDC_BATTERY_TECHNOLOGY,
             [](const I& r) {
               const bool rechargeable = r.info_result == ERROR_SUCCESS && r.info.Technology == 1;
               return i18n::Text(rechargeable ? i18n::IDS_BATTERY_RECHARGEABLE : i18n::IDS_BATTERY_NOT_RECHARGEABLE);
             })
      .Text(IDC_BATTERY_CHEMISTRY, InfoFigure<I>([](const BATTERY_INFORMATION& info) {
              char chemistry[5] = {};
              std::memcpy(chemistry, info.Chemistry, 4);
              return std::string(chemistry);
            }))
      .Text(IDC_BATTERY_DESIGN_CAPACITY, InfoFigure<I>([](const BATTERY_INFORMATION& info) {
              return WithUnit(DesignCapacity(info), i18n::IDS_UNIT_MWH);
            }))
      .Text(IDC_BATTERY_ALERT1, InfoCapacity<I>(&BATTERY_INFORMATION::DefaultAlert1))
      .Text(IDC_BATTERY_ALERT2, InfoCapacity<I>(&BATTERY_INFORMATION::DefaultAlert2))
      .Text(IDC_BATTERY_DATE,
            [](const I& r) {
              if (r.date_result != ERROR_SUCCESS) return Unknown();
              char text[32];
              std::snprintf(text, sizeof text, "%d/%d/%d", r.date.Day, r.date.Month, r.date.Year);
              return std::string(text);
            })
      .Text(IDC_BATTERY_MAKER, OptionalText(&I::has_maker, &I::maker))
      .Text(IDC_BATTERY_SERIAL, OptionalText(&I::has_serial, &I::serial))
      .Text(IDC_BATTERY_UNIQUE_ID, OptionalText(&I::has_unique_id, &I::unique_id));

  using S = BatteryStatusReading;
  status_.Text(IDC_BATTERY_FULL_CAPACITY, InfoCapacity<S>(&BATTERY_INFORMATION::FullChargedCapacity))
      .Text(IDC_BATTERY_CYCLE_COUNT,
            [](const S& r) {
              // A count of 0 means the battery does not count its cycles.
              return r.info_result == ERROR_SUCCESS && r.info.CycleCount != 0 ? Number(static_cast<LONG>(r.info.CycleCount))
                                                                              : Unknown();
            })
      .Text(IDC_BATTERY_CRITICAL_BIAS, InfoFigure<S>([](const BATTERY_INFORMATION& info) {
              return IsUnknown(info.CriticalBias) ? Unknown() : Number(static_cast<LONG>(info.CriticalBias));
            }))
      .Text(IDC_BATTERY_TEMPERATURE,
            [](const S& r) {
              return r.temperature_result == ERROR_SUCCESS ? Number(static_cast<LONG>(r.temperature)) : Unknown();
            })
      .Text(IDC_BATTERY_CAPACITY, StatusFigure(&BATTERY_STATUS::Capacity, BATTERY_UNKNOWN_CAPACITY, i18n::IDS_UNIT_MWH))
      .Text(IDC_BATTERY_VOLTAGE, StatusFigure(&BATTERY_STATUS::Voltage, BATTERY_UNKNOWN_VOLTAGE, i18n::IDS_UNIT_MV))
      .Text(IDC_BATTERY_RATE,
            [](const S& r) {
              if (r.status_result != ERROR_SUCCESS || static_cast<ULONG>(r.status.Rate) == BATTERY_UNKNOWN_RATE)
                return Unknown();
              return Number(r.status.Rate);
            })
      .Text(IDC_BATTERY_TIME, [](const S& r) { return r.time_result == ERROR_SUCCESS ? TimeText(r.seconds) : Unknown(); })
      .Text(IDC_BATTERY_STATE, [](const S& r) { return i18n::Text(PowerStateTextId(r.charging(), r.discharging())); });
}

CBatteriesPage::~CBatteriesPage() { StopTimer(); }

int CBatteriesPage::Selected() const noexcept {
  return static_cast<int>(::SendMessageA(Item(IDC_BATTERY_LIST), CB_GETCURSEL, 0, 0));
}

BOOL CBatteriesPage::OnInitDialog() {
  InitBatteriesPage();
  return TRUE;
}

void CBatteriesPage::InitBatteriesPage() {
  wear_bar_.SubclassDlgItem(hwnd(), IDC_BATTERY_WEAR_BAR);
  charge_bar_.SubclassDlgItem(hwnd(), IDC_BATTERY_CHARGE_BAR);
  wear_bar_.SetRange(0, 100);
  charge_bar_.SetRange(0, 100);
  info_.Attach(hwnd());
  status_.Attach(hwnd());

  // Entry k is battery k: the list is not sorted.
  HWND list = Item(IDC_BATTERY_LIST);
  for (unsigned k = 0; k < platform_.GetBatteryCount(); ++k) {
    std::string name;
    ReadBatteryText(platform_, BatteryText::DeviceName, k, name);
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  if (platform_.GetBatteryCount() > 0) ::SendMessageA(list, CB_SETCURSEL, 0, 0);

  // Shows the selected battery after the labels.
  ApplyLanguage();
  StartTimer(kBatteriesPageRefreshMs);
}

void CBatteriesPage::ApplyLanguage() {
  CPage::ApplyLanguage();
  CentreLabels();
  const int k = Selected();
  if (k < 0) return;
  ShowBatteryInfo(static_cast<unsigned>(k));
  ShowBatteryStatus(static_cast<unsigned>(k));
}

void CBatteriesPage::CentreLabels() const {
  for (const Labelled& pair : kLabelled) {
    HWND label = Item(pair.label), value = Item(pair.value);
    if (!label || !value) continue;
    const RECT l = RectIn(hwnd(), label), v = RectIn(hwnd(), value);
    const std::string text = ItemText(pair.label);
    RECT need{0, 0, l.right - l.left, 0};
    {
      fw::WindowDC dc(label);
      fw::SelectObjectGuard font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
      ::DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK);
    }
    const int height = need.bottom - need.top;
    const int top = (v.top + v.bottom - height) / 2;
    if (top != l.top || height != l.bottom - l.top) ::MoveWindow(label, l.left, top, l.right - l.left, height, TRUE);
  }
}

void CBatteriesPage::ShowBatteryInfo(unsigned k) { info_.Load(ReadBatteryInfo(platform_, k)); }

void CBatteriesPage::ShowBatteryStatus(unsigned k) {
  const BatteryStatusReading reading = ReadBatteryStatus(platform_, k);
  status_.Load(reading);

  // A wear that cannot be told is not shown as a figure: the bar says so instead.
  const bool wear_known = reading.wear_known();
  wear_bar_.SetPos(wear_known ? static_cast<int>(reading.wear() & 0xFF) : 0);
  SetItemTextIfChanged(IDC_BATTERY_WEAR_BAR, wear_known ? std::string() : Unknown());
  const unsigned charge = reading.charge() & 0xFF;
  charge_bar_.SetPos(static_cast<int>(charge));
  SetItemTextIfChanged(IDC_BATTERY_CHARGE_BAR, ChargeText(charge));

  // The button offers what the battery is not doing, and is usable exactly when the battery
  // accepts that command.
  SetItemTextIfChanged(IDC_BATTERY_CHARGE_BUTTON,
                       i18n::Text(reading.discharging() ? i18n::IDS_BATTERY_DO_CHARGE : i18n::IDS_BATTERY_DO_DISCHARGE));
  const bool usable = reading.can_do_offered_action();
  // The keyboard must not stay on a button that goes grey: it moves to the device list.
  if (!usable && ::GetFocus() == Item(IDC_BATTERY_CHARGE_BUTTON))
    ::SendMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BATTERY_LIST)), TRUE);
  EnableItem(IDC_BATTERY_CHARGE_BUTTON, usable);
}

void CBatteriesPage::ChargeButtonClicked() {
  const int k = Selected();
  if (k < 0) return;
  const unsigned index = static_cast<unsigned>(k);
  // The result is not shown: the next refresh shows the state the battery then reports.
  if (platform_.IsDischarging(index))
    platform_.ForceCharge(index);
  else
    platform_.ForceDischarge(index);
}

void CBatteriesPage::OnRefreshTimer() {
  StopTimer();
  // Off screen nothing is asked of the devices; showing or painting the page starts again.
  if (!OnScreen()) return;
  const int k = Selected();
  if (k >= 0) ShowBatteryStatus(static_cast<unsigned>(k));
  StartTimer(kBatteriesPageRefreshMs);
}

bool CBatteriesPage::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_BATTERY_LIST && code == CBN_SELCHANGE) {
    const int k = Selected();
    if (k >= 0) {
      ShowBatteryInfo(static_cast<unsigned>(k));
      ShowBatteryStatus(static_cast<unsigned>(k));
    }
    return true;
  }
  if (id == IDC_BATTERY_CHARGE_BUTTON && code == BN_CLICKED) {
    ChargeButtonClicked();
    return true;
  }
  return CPage::OnCommand(id, code, control);
}

bool CBatteriesPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_TIMER:
      if (wp != kBatteriesPageTimer) break;
      OnRefreshTimer();
      result = 0;
      return true;
    case WM_SHOWWINDOW:
      if (wp)
        ResumeIfStopped();
      else
        StopTimer();
      break;
    case WM_PAINT:
      // Seen, not handled: the dialog paints as usual.
      ResumeIfStopped();
      break;
    default:
      break;
  }
  return CPage::OnMessage(msg, wp, lp, result);
}

bool CBatteriesPage::OnOkay() {
  StopTimer();
  return true;
}
void CBatteriesPage::OnReset() { StopTimer(); }

bool CBatteriesPage::OnScreen() const noexcept {
  if (!hwnd() || !::IsWindowVisible(hwnd())) return false;
  HWND root = ::GetAncestor(hwnd(), GA_ROOT);
  return !(root && ::IsIconic(root));
}

void CBatteriesPage::StartTimer(UINT period) noexcept {
  if (hwnd() && ::SetTimer(hwnd(), kBatteriesPageTimer, period, nullptr)) timer_running_ = true;
}

void CBatteriesPage::StopTimer() noexcept {
  if (hwnd()) ::KillTimer(hwnd(), kBatteriesPageTimer);
  timer_running_ = false;
}

void CBatteriesPage::ResumeIfStopped() noexcept {
  // The first tick comes at once and refreshes; it starts the usual period.
  if (!timer_running_) StartTimer(USER_TIMER_MINIMUM);
}

void CBatteriesPage::SetItemTextIfChanged(int id, const std::string& text) const {
  if (ItemText(id) != text) SetItemText(id, text);
}

}  // namespace vantrel::battery
