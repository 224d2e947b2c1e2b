#include "power/scheme_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "power/power_platform.h"
#include "resource.h"
#include "scheme_editor_ids.h"
#include "ui/bindings.h"

namespace vantrel::power {
namespace {

using i18n::ControlText;
using ui::ListItem;
using ui::Member;

// The eight sleep states by their SYSTEM_POWER_STATE value; S1 to S5 coloured by whether the
// machine supports them, asked once when the page is built. "Unspecefied" and "Hebirnate" are
// misspelled on purpose: the program's texts are kept byte for byte (a test pins them).
std::vector<ListItem> SleepStateItems() {
  static constexpr const char* kTexts[] = {"Unspecefied",   "(S0)Working",   "(S1)Sleeping", "(S2)Sleeping",
                                           "(S3)Sleeping",  "(S4)Hebirnate", "(S5)Shutdown", "Maximum"};
  std::vector<ListItem> items;
  for (int position = 0; position < 8; ++position) {
    ListItem item{kTexts[position]};
    if (position >= 2 && position <= 6)
      item.colour = PowerPlatform::SupportsSleepState(position - 1) ? controls::CIconComboBox::kSupportedColour
                                                                    : controls::CIconComboBox::kUnsupportedColour;
    items.push_back(std::move(item));
  }
  return items;
}

// ---- USER and MACHINE: one table of rows over one record ----------------------------------

// The controls that edit one field (up to four: AC and DC, each with a spin).
struct FieldControls {
  XpField field;
  std::array<int, 4> ids;
};

template <class Record>
class PolicyTab : public CSchemeTab {
 public:
  using Part = Record POWER_POLICY::*;
  PolicyTab(UINT template_id, HWND tab_control, std::span<const ControlText> texts, std::span<const int> hand,
            Part part)
      : CSchemeTab(template_id, tab_control), part_(part) {
    SetTexts(texts);
    SetHandCursorControls(hand);
    Watch(bindings_);
  }

  void LoadFromPolicy(const SchemeBuffer& buffer) override {
    LoadScope loading(*this);
    bindings_.Load(buffer.policy.*part_);
    for (int id : time_ids_) UpdateKeptTimeNote(id);
  }
  void StoreToPolicy(SchemeBuffer& buffer) override { bindings_.Store(buffer.policy.*part_); }

  void ShowSupport(const FieldSupportTable* support) override {
    has_support_ = support != nullptr;
    if (support) support_ = *support;
    ShowSupportNow();
  }
  void ApplyLanguage() override {
    CSchemeTab::ApplyLanguage();
    ShowSupportNow();  // the tips in the new language
  }

 protected:
  // Builds the rows and the time-field list; called before the controls are attached.
  virtual void AddRows(ui::Bindings<Record>& rows) = 0;
  // Anything left once the rows are attached; again after each change of support, which
  // enables the fields.
  virtual void AfterAttach() {}
  // The fields of the page and their controls.
  virtual std::span<const FieldControls> Fields() const = 0;

  BOOL OnInitDialog() override {
    LoadScope loading(*this);
    AddRows(bindings_);
    bindings_.Attach(hwnd());
    for (const auto& row : bindings_.rows())
      if (row.kind == ui::BindingKind::Time)
        for (const auto& column : row.columns) time_ids_.push_back(column.id);
    AfterAttach();
    ApplyLanguage();
    return FALSE;
  }
  bool OnCommand(WORD id, WORD code, HWND control) override {
    // The user's own time replaces a kept one: its note goes.
    if (code == EN_CHANGE && !loading() && std::find(time_ids_.begin(), time_ids_.end(), id) != time_ids_.end()) {
      bindings_.NoteUserChange({WM_COMMAND, control, id, code});  // before the base hears of it
      UpdateKeptTimeNote(id);
      return true;
    }
    return CSchemeTab::OnCommand(id, code, control);
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    // With the page's window, though its owner, the top-level window, stays.
    if (msg == WM_DESTROY) tips_.reset();
    return CSchemeTab::OnMessage(msg, wp, lp, result);
  }

  ui::Bindings<Record> bindings_;

 private:
  // A stored time of ten hours or more shows as 9:59:59 and is written back unchanged until
  // the user edits the field; a tip on the field tells the real value meanwhile.
  void UpdateKeptTimeNote(int id) {
    HWND field = Item(id);
    if (!field) return;
    const std::optional<uint32_t> kept = bindings_.KeptTime(id);
    if (!kept && !tips_) return;
    if (!Tips()) return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    ::SendMessageA(tips_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    if (!kept) return;
    std::string text = ui::DurationText(*kept);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.lpszText = text.data();  // copied by the tooltip
    ::SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }

  HWND Tips() {
    if (!tips_) {
      // Made on first need, destroyed with the page.
      tips_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                    nullptr, nullptr));
      if (tips_) ::SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    }
    return tips_;
  }

  // A disabled control gets no mouse messages: its tip is a tool of the page, over its place.
  void ShowSupportNow() {
    if (!hwnd()) return;
    for (const FieldControls& row : Fields()) {
      const FieldSupport answer = has_support_ ? support_[static_cast<size_t>(row.field)] : FieldSupport::Counterpart;
      const int why = answer == FieldSupport::None     ? i18n::IDS_SCHEMES_NO_COUNTERPART
                      : answer == FieldSupport::Locked ? i18n::IDS_SCHEMES_LOCKED
                                                       : 0;
      for (int id : row.ids) {
        HWND control = id ? Item(id) : nullptr;
        if (!control) continue;
        EnableItem(id, why == 0);
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = hwnd();
        tool.uId = static_cast<UINT_PTR>(id);
        if (tips_) ::SendMessageA(tips_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
        if (why == 0 || !Tips()) continue;
        std::string text = i18n::Text(why);
        tool.uFlags = TTF_SUBCLASS;
        ::GetWindowRect(control, &tool.rect);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&tool.rect), 2);
        tool.lpszText = text.data();  // copied by the tooltip
        ::SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
      }
    }
    AfterAttach();
  }

  static constexpr LPARAM kTipWidth = 300;
  Part part_;
  bool has_support_ = false;
  FieldSupportTable support_{};
  std::vector<int> time_ids_;
  fw::UniqueWindow tips_;  // the page's: it goes with the page's window, or else with the page
};

constexpr ControlText kUserTexts[] = {
    {i18n::IDS_USER_IDLE_TIMEOUT, IDC_USER_IDLE_TIMEOUT_LABEL},
    {i18n::IDS_USER_IDLE_SENSITIVITY, IDC_USER_IDLE_SENSITIVITY_LABEL},
    {i18n::IDS_USER_MAX_SLEEP, IDC_USER_MAX_SLEEP_LABEL},
    {i18n::IDS_USER_VIDEO_TIMEOUT, IDC_USER_VIDEO_TIMEOUT_LABEL},
    {i18n::IDS_USER_SPINDOWN_TIMEOUT, IDC_USER_SPINDOWN_TIMEOUT_LABEL},
    {i18n::IDS_USER_OPTIMIZE_FOR_POWER, IDC_USER_OPTIMIZE_LABEL},
    {i18n::IDS_USER_FAN_THROTTLE_TOLERANCE, IDC_USER_FAN_TOLERANCE_LABEL},
    {i18n::IDS_USER_FORCED_THROTTLE, IDC_USER_FORCED_THROTTLE_LABEL},
};
constexpr int kUserHand[] = {IDC_USER_MAX_SLEEP_AC,
                             IDC_USER_MAX_SLEEP_DC,
                             IDC_USER_OPTIMIZE_AC,
                             IDC_USER_OPTIMIZE_DC,
                             IDC_USER_IDLE_SENSITIVITY_AC_SPIN,
                             IDC_USER_IDLE_SENSITIVITY_DC_SPIN,
                             IDC_USER_FAN_TOLERANCE_AC_SPIN,
                             IDC_USER_FAN_TOLERANCE_DC_SPIN,
                             IDC_USER_FORCED_THROTTLE_AC_SPIN,
                             IDC_USER_FORCED_THROTTLE_DC_SPIN};

constexpr FieldControls kUserFields[] = {
    {XpField::IdleTimeout, {IDC_USER_IDLE_TIMEOUT_AC, IDC_USER_IDLE_TIMEOUT_DC}},
    {XpField::IdleSensitivity,
     {IDC_USER_IDLE_SENSITIVITY_AC, IDC_USER_IDLE_SENSITIVITY_AC_SPIN, IDC_USER_IDLE_SENSITIVITY_DC,
      IDC_USER_IDLE_SENSITIVITY_DC_SPIN}},
    {XpField::MaxSleep, {IDC_USER_MAX_SLEEP_AC, IDC_USER_MAX_SLEEP_DC}},
    {XpField::VideoTimeout, {IDC_USER_VIDEO_TIMEOUT_AC, IDC_USER_VIDEO_TIMEOUT_DC}},
    {XpField::SpindownTimeout, {IDC_USER_SPINDOWN_TIMEOUT_AC, IDC_USER_SPINDOWN_TIMEOUT_DC}},
    {XpField::OptimizeForPower, {IDC_USER_OPTIMIZE_AC, IDC_USER_OPTIMIZE_DC}},
    {XpField::FanThrottleTolerance,
     {IDC_USER_FAN_TOLERANCE_AC, IDC_USER_FAN_TOLERANCE_AC_SPIN, IDC_USER_FAN_TOLERANCE_DC,
      IDC_USER_FAN_TOLERANCE_DC_SPIN}},
    {XpField::ForcedThrottle,
     {IDC_USER_FORCED_THROTTLE_AC, IDC_USER_FORCED_THROTTLE_AC_SPIN, IDC_USER_FORCED_THROTTLE_DC,
      IDC_USER_FORCED_THROTTLE_DC_SPIN}},
};

class UserTab final : public PolicyTab<USER_POWER_POLICY> {
 public:
  explicit UserTab(HWND tab_control)
      : PolicyTab(IDD_SCHEME_USER, tab_control, kUserTexts, kUserHand, &POWER_POLICY::user) {}

 protected:
  std::span<const FieldControls> Fields() const override { return kUserFields; }
  void AddRows(ui::Bindings<USER_POWER_POLICY>& rows) override {
    using P = USER_POWER_POLICY;
    BYTE low = 100, high = 100;
    throttling_ = PowerPlatform::GetThrottleRange(&low, &high) != 0;
    if (!throttling_) low = high = 100;
    rows.Time(IDC_USER_IDLE_TIMEOUT_AC, IDC_USER_IDLE_TIMEOUT_DC, Member(&P::IdleTimeoutAc), Member(&P::IdleTimeoutDc))
        .Percent(IDC_USER_IDLE_SENSITIVITY_AC, IDC_USER_IDLE_SENSITIVITY_AC_SPIN, IDC_USER_IDLE_SENSITIVITY_DC,
                 IDC_USER_IDLE_SENSITIVITY_DC_SPIN, Member(&P::IdleSensitivityAc), Member(&P::IdleSensitivityDc))
        .List({IDC_USER_MAX_SLEEP_AC, IDC_USER_MAX_SLEEP_DC}, {Member(&P::MaxSleepAc), Member(&P::MaxSleepDc)},
              SleepStateItems())
        .Time(IDC_USER_VIDEO_TIMEOUT_AC, IDC_USER_VIDEO_TIMEOUT_DC, Member(&P::VideoTimeoutAc),
              Member(&P::VideoTimeoutDc))
        .Time(IDC_USER_SPINDOWN_TIMEOUT_AC, IDC_USER_SPINDOWN_TIMEOUT_DC, Member(&P::SpindownTimeoutAc),
              Member(&P::SpindownTimeoutDc))
        .Check(IDC_USER_OPTIMIZE_AC, IDC_USER_OPTIMIZE_DC, Member(&P::OptimizeForPowerAc), Member(&P::OptimizeForPowerDc))
        .Percent(IDC_USER_FAN_TOLERANCE_AC, IDC_USER_FAN_TOLERANCE_AC_SPIN, IDC_USER_FAN_TOLERANCE_DC,
                 IDC_USER_FAN_TOLERANCE_DC_SPIN, Member(&P::FanThrottleToleranceAc),
                 Member(&P::FanThrottleToleranceDc))
        .Percent(IDC_USER_FORCED_THROTTLE_AC, IDC_USER_FORCED_THROTTLE_AC_SPIN, IDC_USER_FORCED_THROTTLE_DC,
                 IDC_USER_FORCED_THROTTLE_DC_SPIN, Member(&P::ForcedThrottleAc), Member(&P::ForcedThrottleDc), low,
                 high);
  }
  void AfterAttach() override {
    if (throttling_) return;
    EnableItem(IDC_USER_FORCED_THROTTLE_AC_SPIN, false);
    EnableItem(IDC_USER_FORCED_THROTTLE_DC_SPIN, false);
  }

 private:
  bool throttling_ = false;
};

constexpr ControlText kMachineTexts[] = {
    {i18n::IDS_MACHINE_MIN_SLEEP, IDC_MACHINE_MIN_SLEEP_LABEL},
    {i18n::IDS_MACHINE_MAX_SLEEP, IDC_MACHINE_LATENCY_SLEEP_LABEL},
    {i18n::IDS_MACHINE_DOZE_TIMEOUT, IDC_MACHINE_DOZE_LABEL},
    {i18n::IDS_MACHINE_DOZE_S4_TIMEOUT, IDC_MACHINE_DOZE_S4_LABEL},
    {i18n::IDS_MACHINE_MIN_THROTTLE, IDC_MACHINE_MIN_THROTTLE_LABEL},
};
constexpr int kMachineHand[] = {IDC_MACHINE_MIN_SLEEP_AC,          IDC_MACHINE_MIN_SLEEP_DC,
                                IDC_MACHINE_LATENCY_SLEEP_AC,      IDC_MACHINE_LATENCY_SLEEP_DC,
                                IDC_MACHINE_MIN_THROTTLE_AC_SPIN, IDC_MACHINE_MIN_THROTTLE_DC_SPIN};

constexpr FieldControls kMachineFields[] = {
    {XpField::MinSleep, {IDC_MACHINE_MIN_SLEEP_AC, IDC_MACHINE_MIN_SLEEP_DC}},
    {XpField::ReducedLatencySleep, {IDC_MACHINE_LATENCY_SLEEP_AC, IDC_MACHINE_LATENCY_SLEEP_DC}},
    {XpField::DozeTimeout, {IDC_MACHINE_DOZE_AC, IDC_MACHINE_DOZE_DC}},
    {XpField::DozeS4Timeout, {IDC_MACHINE_DOZE_S4_AC, IDC_MACHINE_DOZE_S4_DC}},
    {XpField::MinThrottle,
     {IDC_MACHINE_MIN_THROTTLE_AC, IDC_MACHINE_MIN_THROTTLE_AC_SPIN, IDC_MACHINE_MIN_THROTTLE_DC,
      IDC_MACHINE_MIN_THROTTLE_DC_SPIN}},
};

class MachineTab final : public PolicyTab<MACHINE_POWER_POLICY> {
 public:
  explicit MachineTab(HWND tab_control)
      : PolicyTab(IDD_SCHEME_MACHINE, tab_control, kMachineTexts, kMachineHand, &POWER_POLICY::mach) {}

 protected:
  std::span<const FieldControls> Fields() const override { return kMachineFields; }
  void AddRows(ui::Bindings<MACHINE_POWER_POLICY>& rows) override {
    using M = MACHINE_POWER_POLICY;
    const std::vector<ListItem> states = SleepStateItems();
    rows.List({IDC_MACHINE_MIN_SLEEP_AC, IDC_MACHINE_MIN_SLEEP_DC}, {Member(&M::MinSleepAc), Member(&M::MinSleepDc)},
              states)
        .List({IDC_MACHINE_LATENCY_SLEEP_AC, IDC_MACHINE_LATENCY_SLEEP_DC},
              {Member(&M::ReducedLatencySleepAc), Member(&M::ReducedLatencySleepDc)}, states)
        .Time(IDC_MACHINE_DOZE_AC, IDC_MACHINE_DOZE_DC, Member(&M::DozeTimeoutAc), Member(&M::DozeTimeoutDc))
        .Time(IDC_MACHINE_DOZE_S4_AC, IDC_MACHINE_DOZE_S4_DC, Member(&M::DozeS4TimeoutAc),
              Member(&M::DozeS4TimeoutDc))
        .Percent(IDC_MACHINE_MIN_THROTTLE_AC, IDC_MACHINE_MIN_THROTTLE_AC_SPIN, IDC_MACHINE_MIN_THROTTLE_DC,
                 IDC_MACHINE_MIN_THROTTLE_DC_SPIN, Member(&M::MinThrottleAc), Member(&M::MinThrottleDc));
  }
};

// ---- PROCESSOR: the throttle lists over the whole record, the C-state rows over one entry --

constexpr ControlText kProcessorTexts[] = {
    {i18n::IDS_PROCESSOR_DYNAMIC_THROTTLE, IDC_CPU_DYNAMIC_THROTTLE_LABEL},
    {i18n::IDS_PROCESSOR_CSTATE_POLICY, IDC_CPU_CSTATE_LABEL},
    {i18n::IDS_PROCESSOR_TIME_CHECK, IDC_CPU_TIME_CHECK_LABEL},
    {i18n::IDS_PROCESSOR_ALLOW_DEMOTION, IDC_CPU_ALLOW_DEMOTION_LABEL},
    {i18n::IDS_PROCESSOR_DEMOTE_LIMIT, IDC_CPU_DEMOTE_LIMIT_LABEL},
    {i18n::IDS_PROCESSOR_DEMOTE_PERCENT, IDC_CPU_DEMOTE_PERCENT_LABEL},
    {i18n::IDS_PROCESSOR_ALLOW_PROMOTION, IDC_CPU_ALLOW_PROMOTION_LABEL},
    {i18n::IDS_PROCESSOR_PROMOTE_LIMIT, IDC_CPU_PROMOTE_LIMIT_LABEL},
    {i18n::IDS_PROCESSOR_PROMOTE_PERCENT, IDC_CPU_PROMOTE_PERCENT_LABEL},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_TIME_CHECK_AC_UNIT},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_TIME_CHECK_DC_UNIT},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_DEMOTE_LIMIT_AC_UNIT},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_DEMOTE_LIMIT_DC_UNIT},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_PROMOTE_LIMIT_AC_UNIT},
    {i18n::IDS_PROCESSOR_MICROSECONDS, IDC_CPU_PROMOTE_LIMIT_DC_UNIT},
};
constexpr int kProcessorHand[] = {IDC_CPU_DYNAMIC_THROTTLE_AC,    IDC_CPU_DYNAMIC_THROTTLE_DC,
                                  IDC_CPU_CSTATE,                 IDC_CPU_ALLOW_DEMOTION_AC,
                                  IDC_CPU_ALLOW_DEMOTION_DC,      IDC_CPU_ALLOW_PROMOTION_AC,
                                  IDC_CPU_ALLOW_PROMOTION_DC,     IDC_CPU_DEMOTE_PERCENT_AC_SPIN,
                                  IDC_CPU_DEMOTE_PERCENT_DC_SPIN, IDC_CPU_PROMOTE_PERCENT_AC_SPIN,
                                  IDC_CPU_PROMOTE_PERCENT_DC_SPIN};

// The C-state rows of one column, by control: time check, allow demotion, demote limit,
// demote percent edit and spin, allow promotion, promote limit, promote percent edit and spin.
struct CStateColumn {
  int time_check, demotion, demote_limit, demote_percent, demote_spin, promotion, promote_limit, promote_percent,
      promote_spin;
  std::array<int, 9> ids() const {
    return {time_check, demotion,      demote_limit,    demote_percent, demote_spin,
            promotion,  promote_limit, promote_percent, promote_spin};
  }
};
constexpr CStateColumn kMainsColumn{IDC_CPU_TIME_CHECK_AC,      IDC_CPU_ALLOW_DEMOTION_AC,  IDC_CPU_DEMOTE_LIMIT_AC,
                                    IDC_CPU_DEMOTE_PERCENT_AC,  IDC_CPU_DEMOTE_PERCENT_AC_SPIN,
                                    IDC_CPU_ALLOW_PROMOTION_AC, IDC_CPU_PROMOTE_LIMIT_AC, IDC_CPU_PROMOTE_PERCENT_AC,
                                    IDC_CPU_PROMOTE_PERCENT_AC_SPIN};
constexpr CStateColumn kBatteryColumn{IDC_CPU_TIME_CHECK_DC,      IDC_CPU_ALLOW_DEMOTION_DC,  IDC_CPU_DEMOTE_LIMIT_DC,
                                      IDC_CPU_DEMOTE_PERCENT_DC,  IDC_CPU_DEMOTE_PERCENT_DC_SPIN,
                                      IDC_CPU_ALLOW_PROMOTION_DC, IDC_CPU_PROMOTE_LIMIT_DC, IDC_CPU_PROMOTE_PERCENT_DC,
                                      IDC_CPU_PROMOTE_PERCENT_DC_SPIN};

// The record has room for three entries per column, whatever its count says.
constexpr int kMaxCStates = static_cast<int>(sizeof(PROCESSOR_POWER_POLICY::Policy) / sizeof(PROCESSOR_POWER_POLICY_INFO));
int CStateCount(const PROCESSOR_POWER_POLICY& policy) {
  return static_cast<int>(std::min<ULONG>(policy.PolicyCount, kMaxCStates));
}

static_assert(sizeof(MACHINE_PROCESSOR_POWER_POLICY) == 156, "the page copies the record in its published layout");

// List position -> DynamicThrottle value and icon image (icons 163..166 are images 0..3).
constexpr uint32_t kThrottleValues[] = {PO_THROTTLE_ADAPTIVE, PO_THROTTLE_CONSTANT, PO_THROTTLE_DEGRADE,
                                        PO_THROTTLE_NONE};

class ProcessorTab final : public CSchemeTab {
 public:
  explicit ProcessorTab(HWND tab_control) : CSchemeTab(IDD_SCHEME_PROCESSOR, tab_control) {
    SetTexts(kProcessorTexts);
    SetHandCursorControls(kProcessorHand);
    Watch(throttle_);
    Watch(mains_);
    Watch(battery_);
  }

  void LoadFromPolicy(const SchemeBuffer& buffer) override {
    LoadScope loading(*this);
    copy_ = buffer.processor;
    throttle_.Load(copy_);
    ::SendMessageA(Item(IDC_CPU_CSTATE), CB_RESETCONTENT, 0, 0);
    const int count = CStateCount(copy_.ProcessorPolicyAc);
    for (int n = 1; n <= count; ++n) {
      char text[16];
      std::snprintf(text, sizeof text, "C%d", n);
      ::SendMessageA(Item(IDC_CPU_CSTATE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (count > 0) {
      // A number left invalid by the last scheme (none, or beyond this count) starts again at C1.
      if (cstate_ < 0 || cstate_ >= count) cstate_ = 0;
      ::SendMessageA(Item(IDC_CPU_CSTATE), CB_SETCURSEL, static_cast<WPARAM>(cstate_), 0);
    } else {
      cstate_ = -1;
    }
    ShowCState();
  }

  void StoreToPolicy(SchemeBuffer& buffer) override {
    KeepShownCState();
    buffer.processor = copy_;
  }

 protected:
  BOOL OnInitDialog() override {
    LoadScope loading(*this);
    images_.reset(::ImageList_Create(16, 16, ILC_COLOR32, 4, 4));
    if (images_) {
      ::ImageList_SetBkColor(images_.get(), ::GetSysColor(COLOR_SCROLLBAR));
      for (int icon_id : {IDI_THROTTLE_CONSTANT, IDI_THROTTLE_NONE, IDI_THROTTLE_ADAPTIVE, IDI_THROTTLE_DEGRADE}) {
        fw::UniqueIcon icon(static_cast<HICON>(
            ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(icon_id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
        if (icon) ::ImageList_AddIcon(images_.get(), icon.get());
      }
    }
    using R = MACHINE_PROCESSOR_POWER_POLICY;
    const std::vector<ListItem> items = {{"ADAPTIVE", ListItem::kDefaultColour, 2},
                                         {"CONSTANT", ListItem::kDefaultColour, 0},
                                         {"DEGRADE", ListItem::kDefaultColour, 3},
                                         {"NONE", ListItem::kDefaultColour, 1}};
    const std::vector<uint32_t> values(std::begin(kThrottleValues), std::end(kThrottleValues));
    throttle_.List({IDC_CPU_DYNAMIC_THROTTLE_AC, IDC_CPU_DYNAMIC_THROTTLE_DC},
                   {{[](const R& r) { return static_cast<uint32_t>(r.ProcessorPolicyAc.DynamicThrottle); },
                     [](R& r, uint32_t v) { r.ProcessorPolicyAc.DynamicThrottle = static_cast<UCHAR>(v); }},
                    {[](const R& r) { return static_cast<uint32_t>(r.ProcessorPolicyDc.DynamicThrottle); },
                     [](R& r, uint32_t v) { r.ProcessorPolicyDc.DynamicThrottle = static_cast<UCHAR>(v); }}},
                   items, values);
    throttle_.Attach(hwnd());
    for (int id : {IDC_CPU_DYNAMIC_THROTTLE_AC, IDC_CPU_DYNAMIC_THROTTLE_DC}) {
      if (controls::CIconComboBox* list = throttle_.ListControl(id)) list->SetImageList(images_.get());
      // Room for the 16-pixel icons, in the list and in the closed box.
      for (WPARAM part : {static_cast<WPARAM>(0), static_cast<WPARAM>(-1)})
        if (::SendDlgItemMessageA(hwnd(), id, CB_GETITEMHEIGHT, part, 0) < 16)
          ::SendDlgItemMessageA(hwnd(), id, CB_SETITEMHEIGHT, part, 16);
    }
    AddCStateRows(mains_, kMainsColumn);
    AddCStateRows(battery_, kBatteryColumn);
    mains_.Attach(hwnd());
    battery_.Attach(hwnd());
    cstate_ = 0;
    ShowCState();
    ApplyLanguage();
    return FALSE;
  }

  bool OnCommand(WORD id, WORD code, HWND control) override {
    if (id == IDC_CPU_CSTATE) {
      if (code == CBN_SELCHANGE) {
        KeepShownCState();
        const LRESULT selected = ::SendMessageA(Item(IDC_CPU_CSTATE), CB_GETCURSEL, 0, 0);
        cstate_ = selected == CB_ERR ? -1 : static_cast<int>(selected);
        LoadScope loading(*this);
        ShowCState();
      }
      return true;
    }
    if (throttle_.IsChange(id, code)) {
      // The copy follows the list at once; no selection leaves the value it holds.
      throttle_.Store(copy_);
      return true;
    }
    return CSchemeTab::OnCommand(id, code, control);
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_NCDESTROY) images_.reset();
    return CSchemeTab::OnMessage(msg, wp, lp, result);
  }

 private:
  using Info = PROCESSOR_POWER_POLICY_INFO;

  static void AddCStateRows(ui::Bindings<Info>& rows, const CStateColumn& c) {
    // Bit fields have no member pointer: the rows read and write the bit itself, and the
    // word's other bits stay as they are.
    rows.Number(c.time_check, Member(&Info::TimeCheck))
        .Check(c.demotion, {[](const Info& i) { return static_cast<uint32_t>(i.AllowDemotion); },
                            [](Info& i, uint32_t v) { i.AllowDemotion = v ? 1 : 0; }})
        .Number(c.demote_limit, Member(&Info::DemoteLimit))
        .Percent(c.demote_percent, c.demote_spin, Member(&Info::DemotePercent))
        .Check(c.promotion, {[](const Info& i) { return static_cast<uint32_t>(i.AllowPromotion); },
                             [](Info& i, uint32_t v) { i.AllowPromotion = v ? 1 : 0; }})
        .Number(c.promote_limit, Member(&Info::PromoteLimit))
        .Percent(c.promote_percent, c.promote_spin, Member(&Info::PromotePercent));
  }

  // The battery column shows entry i only when its own count reaches that far.
  bool BatteryShows() const noexcept { return cstate_ >= 0 && cstate_ < CStateCount(copy_.ProcessorPolicyDc); }

  // The shown values into entry i of the copy; nothing for a column that shows nothing.
  void KeepShownCState() {
    if (cstate_ < 0) return;
    mains_.Store(copy_.ProcessorPolicyAc.Policy[cstate_]);
    if (BatteryShows()) battery_.Store(copy_.ProcessorPolicyDc.Policy[cstate_]);
  }

  void ShowCState() {
    ShowColumn(mains_, kMainsColumn, cstate_ >= 0 ? &copy_.ProcessorPolicyAc.Policy[cstate_] : nullptr);
    ShowColumn(battery_, kBatteryColumn, BatteryShows() ? &copy_.ProcessorPolicyDc.Policy[cstate_] : nullptr);
  }
  // A column without an entry is emptied and disabled, so that nothing is edited in vain.
  void ShowColumn(ui::Bindings<Info>& rows, const CStateColumn& c, const Info* entry) {
    if (entry) rows.Load(*entry);
    for (int id : c.ids()) EnableItem(id, entry != nullptr);
    if (entry) return;
    for (int id : {c.time_check, c.demote_limit, c.promote_limit, c.demote_percent, c.promote_percent})
      SetItemText(id, "");
    SetChecked(c.demotion, false);
    SetChecked(c.promotion, false);
  }

  ui::Bindings<MACHINE_PROCESSOR_POWER_POLICY> throttle_;
  ui::Bindings<Info> mains_, battery_;
  MACHINE_PROCESSOR_POWER_POLICY copy_{};
  int cstate_ = 0;
  fw::UniqueImageList images_;
};

}  // namespace

void CSchemeTab::OnChanged() {
  HWND tab = ::GetParent(hwnd());
  if (HWND page = tab ? ::GetParent(tab) : nullptr) ::SendMessageA(page, WM_SCHEME_MODIFIED, 0, 0);
}

std::unique_ptr<CSchemeTab> MakeSchemeTab(SchemeTabKind kind, HWND tab_control) {
  switch (kind) {
    case SchemeTabKind::User: return std::make_unique<UserTab>(tab_control);
    case SchemeTabKind::Machine: return std::make_unique<MachineTab>(tab_control);
    case SchemeTabKind::Processor: return std::make_unique<ProcessorTab>(tab_control);
  }
  return nullptr;
}

}  // namespace vantrel::power
