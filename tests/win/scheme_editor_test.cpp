// The scheme editor's tab pages inside a tab control, on a simulated laptop: what each row
// shows and stores, that an untouched page writes back every byte it loaded, the C-state
// entries, the throttle lists, the change message and the re-texting.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/icon_combo.h"
#include "controls/masked_edit.h"
#include "i18n/core/language_table.h"
#include "power/scheme_editor.h"
#include "scheme_editor_ids.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

// Stands in for the Schemes page: holds the tab control and counts the change messages.
class EditorHost : public testing::ControlHost {
 public:
  bool Create() {
    if (!ControlHost::Create(520, 380)) return false;
    tab = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 4, 4, 500, 330, hwnd(),
                            nullptr, nullptr, nullptr);
    return tab != nullptr;
  }
  HWND tab = nullptr;
  int modified = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != WM_SCHEME_MODIFIED) return ControlHost::WindowProc(msg, wp, lp);
    ++modified;
    return 0;
  }
};

// Every field the editor shows, AC and DC, with a value of its own (the two columns apart, no two
// alike where a wrong binding could mix them up) and what its control shows for it: the text of an
// edit, the item of a list, "on" or "off" for a check box. The C-state rows show entry C1.
struct FieldRow {
  SchemeTabKind tab;
  int ac_control, dc_control;
  const char *ac_shown, *dc_shown;
  void (*set)(SchemeBuffer&);
};
using K = SchemeTabKind;
#define POLICY(tab, part, id, f, ac, ac_shown, dc, dc_shown)                        \
  FieldRow {                                                                        \
    K::tab, id##_AC, id##_DC, ac_shown, dc_shown,                                   \
        [](SchemeBuffer& b) { b.policy.part.f##Ac = ac, b.policy.part.f##Dc = dc; } \
  }
#define CPU(id, f, ac, ac_shown, dc, dc_shown)                                                              \
  FieldRow {                                                                                                \
    K::Processor, id##_AC, id##_DC, ac_shown, dc_shown,                                                     \
        [](SchemeBuffer& b) { b.processor.ProcessorPolicyAc.f = ac, b.processor.ProcessorPolicyDc.f = dc; } \
  }
const FieldRow kFields[] = {
    POLICY(User, user, IDC_USER_IDLE_TIMEOUT, IdleTimeout, 3599, "0:59:59", 5400, "1:30:00"),
    POLICY(User, user, IDC_USER_IDLE_SENSITIVITY, IdleSensitivity, 37, "37", 41, "41"),
    POLICY(User, user, IDC_USER_MAX_SLEEP, MaxSleep, PowerSystemSleeping3, "(S3)Sleeping", PowerSystemWorking,
           "(S0)Working"),
    POLICY(User, user, IDC_USER_VIDEO_TIMEOUT, VideoTimeout, 0, "0:00:00", 600, "0:10:00"),
    POLICY(User, user, IDC_USER_SPINDOWN_TIMEOUT, SpindownTimeout, 61, "0:01:01", 7322, "2:02:02"),
    POLICY(User, user, IDC_USER_OPTIMIZE, OptimizeForPower, 1, "on", 0, "off"),
    POLICY(User, user, IDC_USER_FAN_TOLERANCE, FanThrottleTolerance, 12, "12", 88, "88"),
    POLICY(User, user, IDC_USER_FORCED_THROTTLE, ForcedThrottle, 50, "50", 75, "75"),
    POLICY(Machine, mach, IDC_MACHINE_MIN_SLEEP, MinSleep, PowerSystemSleeping1, "(S1)Sleeping", PowerSystemMaximum,
           "Maximum"),
    POLICY(Machine, mach, IDC_MACHINE_LATENCY_SLEEP, ReducedLatencySleep, PowerSystemSleeping3, "(S3)Sleeping",
           PowerSystemHibernate, "(S4)Hebirnate"),
    POLICY(Machine, mach, IDC_MACHINE_DOZE, DozeTimeout, 5401, "1:30:01", 120, "0:02:00"),
    POLICY(Machine, mach, IDC_MACHINE_DOZE_S4, DozeS4Timeout, 1, "0:00:01", 35999, "9:59:59"),
    POLICY(Machine, mach, IDC_MACHINE_MIN_THROTTLE, MinThrottle, 20, "20", 60, "60"),
    CPU(IDC_CPU_DYNAMIC_THROTTLE, DynamicThrottle, PO_THROTTLE_NONE, "NONE", PO_THROTTLE_DEGRADE, "DEGRADE"),
    CPU(IDC_CPU_TIME_CHECK, Policy[0].TimeCheck, 10, "10", 110, "110"),
    CPU(IDC_CPU_ALLOW_DEMOTION, Policy[0].AllowDemotion, 1, "on", 0, "off"),
    CPU(IDC_CPU_DEMOTE_LIMIT, Policy[0].DemoteLimit, 11, "11", 111, "111"),
    CPU(IDC_CPU_DEMOTE_PERCENT, Policy[0].DemotePercent, 30, "30", 31, "31"),
    CPU(IDC_CPU_ALLOW_PROMOTION, Policy[0].AllowPromotion, 0, "off", 1, "on"),
    CPU(IDC_CPU_PROMOTE_LIMIT, Policy[0].PromoteLimit, 12, "12", 112, "112"),
    CPU(IDC_CPU_PROMOTE_PERCENT, Policy[0].PromotePercent, 40, "40", 41, "41"),
};
#undef CPU
#undef POLICY

// Every byte set to a pattern no field above holds, then the fields of the table.
SchemeBuffer Pattern() {
  SchemeBuffer b;
  std::memset(&b.policy, 0x5A, sizeof b.policy);
  std::memset(&b.processor, 0x5A, sizeof b.processor);
  return b;
}
// The tab's own part of a buffer.
std::string PartOf(K tab, const SchemeBuffer& b) {
  const auto bytes = [](const auto& part) { return std::string(reinterpret_cast<const char*>(&part), sizeof part); };
  return tab == K::User ? bytes(b.policy.user) : tab == K::Machine ? bytes(b.policy.mach) : bytes(b.processor);
}
SchemeBuffer SampleBuffer() {
  SchemeBuffer b = Pattern();
  b.processor.ProcessorPolicyAc.PolicyCount = b.processor.ProcessorPolicyDc.PolicyCount = 3;
  for (const FieldRow& row : kFields) row.set(b);
  return b;
}

// Values their controls cannot show as they are; each is kept until its control is edited.
SchemeBuffer Unshowable() {
  SchemeBuffer b = SampleBuffer();
  USER_POWER_POLICY& u = b.policy.user;
  u.IdleSensitivityAc = 150;  // over 100
  u.ForcedThrottleAc = 10;    // under the processor's minimum of 25
  u.OptimizeForPowerDc = 2;
  u.SpindownTimeoutAc = 36000;  // ten hours and more
  u.SpindownTimeoutDc = 90061;
  b.policy.mach.MinThrottleDc = 200;
  b.processor.ProcessorPolicyAc.Policy[0].DemotePercent = 101;
  b.processor.ProcessorPolicyAc.DynamicThrottle = 7;  // no item of its list
  return b;
}

// Entry i of the mains column has time check 10 (i + 1), of the battery column 100 + that;
// limits follow the time check; demotion allowed on the mains side except in C2.
MACHINE_PROCESSOR_POWER_POLICY SampleProcessor(ULONG ac_count = 3, ULONG dc_count = 3) {
  MACHINE_PROCESSOR_POWER_POLICY p;
  std::memset(&p, 0x5A, sizeof p);
  p.ProcessorPolicyAc.DynamicThrottle = PO_THROTTLE_NONE;
  p.ProcessorPolicyDc.DynamicThrottle = PO_THROTTLE_DEGRADE;
  p.ProcessorPolicyAc.PolicyCount = ac_count;
  p.ProcessorPolicyDc.PolicyCount = dc_count;
  for (ULONG i = 0; i < 3; ++i) {
    for (PROCESSOR_POWER_POLICY* column : {&p.ProcessorPolicyAc, &p.ProcessorPolicyDc}) {
      PROCESSOR_POWER_POLICY_INFO& e = column->Policy[i];
      const bool mains = column == &p.ProcessorPolicyAc;
      e.TimeCheck = 10 * (i + 1) + (mains ? 0 : 100);
      e.DemoteLimit = e.TimeCheck + 1;
      e.PromoteLimit = e.TimeCheck + 2;
      e.AllowDemotion = mains == (i != 1);
      e.AllowPromotion = mains == (i == 1);
    }
  }
  return p;
}

class SchemeEditorTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void SetUp() override {
    state_ = testing::XpLaptop();  // S3, S4, S5; throttling 25..100
    testing::MovePointerAway();
  }
  CSchemeTab& Open(SchemeTabKind kind) {
    pc_.Boot(state_);
    if (!host_.IsWindow()) {
      EXPECT_TRUE(host_.Create());
    }
    page_ = MakeSchemeTab(kind, host_.tab);
    EXPECT_TRUE(page_ && page_->Create());
    ::SetWindowPos(page_->hwnd(), HWND_TOP, 8, 28, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return *page_;
  }
  void TearDown() override {
    if (page_) page_->DestroyWindow();
    i18n::InstallTexts(nullptr);
  }

  HWND page() const override { return page_->hwnd(); }
  // What a control shows: an edit its text, a list its chosen item, a check box "on" or "off".
  std::string Shown(int id) const {
    char kind[16] = {};
    ::GetClassNameA(Item(id), kind, sizeof kind);
    if (::lstrcmpiA(kind, "Button") == 0) return Checked(id) ? "on" : "off";
    if (::lstrcmpiA(kind, "ComboBox") == 0) return Selected(id) < 0 ? "" : ListText(id, Selected(id));
    return Text(id);
  }
  controls::CIconComboBox* List(int id) const {
    return dynamic_cast<controls::CIconComboBox*>(fw::Window::FromHandle(Item(id)));
  }
  // The thread's tooltip windows, and the tip one of them has for a field (empty for none).
  static std::vector<HWND> Tooltips() {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));)
      if (::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId()) found.push_back(w);
    return found;
  }
  std::string TipOf(int id) const {
    char text[80] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = page_->hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = text;
    for (HWND tips : Tooltips())
      if (!text[0]) ::SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
  }

  platform::sim::SimState state_;
  testing::PowerTestMachine pc_;
  EditorHost host_;
  std::unique_ptr<CSchemeTab> page_;
};

// Round trips per page: each control shows its own field, and a store gives the whole record
// back as it was loaded, values its controls cannot show included.
TEST_F(SchemeEditorTest, EveryFieldMakesTheRoundTripThroughItsOwnControl) {
  for (K kind : {K::User, K::Machine, K::Processor}) {
    CSchemeTab& page = Open(kind);
    for (const SchemeBuffer& in : {Unshowable(), SampleBuffer()}) {
      page.LoadFromPolicy(in);
      SchemeBuffer out = Pattern();
      page.StoreToPolicy(out);
      EXPECT_TRUE(PartOf(kind, out) == PartOf(kind, in)) << static_cast<int>(kind);
    }
    for (const FieldRow& row : kFields) {
      if (row.tab != kind) continue;
      EXPECT_EQ(Shown(row.ac_control), row.ac_shown) << row.ac_control;
      EXPECT_EQ(Shown(row.dc_control), row.dc_shown) << row.dc_control;
    }
    page_->DestroyWindow();
  }
  EXPECT_EQ(host_.modified, 0) << "a load is not a user change";
}

// A time field tells a time it cannot show in a tip; a value its control cannot show is
// stored as loaded until the user edits that control, and then as shown.
TEST_F(SchemeEditorTest, ValuesAControlCannotShowAreKeptUntilItsControlIsEdited) {
  SchemeBuffer in = Unshowable(), out = SampleBuffer();
  CSchemeTab& page = Open(K::User);
  page.LoadFromPolicy(in);
  EXPECT_EQ(Text(IDC_USER_SPINDOWN_TIMEOUT_AC), "9:59:59");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "10:00:00");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "25:01:01");
  EXPECT_EQ(TipOf(IDC_USER_IDLE_TIMEOUT_AC), "");

  // Edited, they store what they show: a time set back to what its field showed too.
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "1");
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "95959");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "");
  Send(IDC_USER_IDLE_SENSITIVITY_AC_SPIN, UDM_SETPOS32, 0, 90);
  Click(IDC_USER_OPTIMIZE_DC);
  page.StoreToPolicy(out);
  const USER_POWER_POLICY& o = out.policy.user;  // the edited three, then two still untouched
  EXPECT_EQ(std::vector<DWORD>({o.SpindownTimeoutAc, o.IdleSensitivityAc, o.OptimizeForPowerDc, o.ForcedThrottleAc,
                                o.SpindownTimeoutDc}), std::vector<DWORD>({35999, 90, 0, 10, 90061}));

  // Reloading a time the field can show takes the tip away; the tip window goes with the page,
  // though the window that holds the page stays.
  in.policy.user.SpindownTimeoutDc = 60;
  page.LoadFromPolicy(in);
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "");
  const size_t tips = Tooltips().size();
  page_->DestroyWindow();
  EXPECT_EQ(Tooltips().size(), tips - 1);
}

TEST_F(SchemeEditorTest, UserEditsAreStoredAndEachIsReported) {
  CSchemeTab& page = Open(SchemeTabKind::User);
  SchemeBuffer buffer = SampleBuffer();
  page.LoadFromPolicy(buffer);

  Type(IDC_USER_IDLE_TIMEOUT_AC, "95959");
  EXPECT_GT(host_.modified, 0);
  Type(IDC_USER_IDLE_TIMEOUT_DC, "00000");
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "2");  // 2:01:01 now
  int before = host_.modified;
  Send(IDC_USER_OPTIMIZE_DC, BM_CLICK);
  EXPECT_EQ(host_.modified, before + 1);
  // S1 is not supported on this machine: drawn dark red, still chosen and stored.
  Choose(IDC_USER_MAX_SLEEP_DC, 2);
  EXPECT_EQ(host_.modified, before + 2);
  Send(IDC_USER_FAN_TOLERANCE_AC_SPIN, UDM_SETPOS32, 0, 95);
  EXPECT_EQ(Text(IDC_USER_FAN_TOLERANCE_AC), "95");
  EXPECT_EQ(host_.modified, before + 3) << "a spin changes its edit";

  page.StoreToPolicy(buffer);
  const USER_POWER_POLICY& u = buffer.policy.user;
  // Idle AC and DC, spin-down AC and (untouched) DC, optimize DC, deepest sleep DC, fan AC.
  EXPECT_EQ(std::vector<DWORD>({u.IdleTimeoutAc, u.IdleTimeoutDc, u.SpindownTimeoutAc, u.SpindownTimeoutDc,
                                u.OptimizeForPowerDc, static_cast<DWORD>(u.MaxSleepDc), u.FanThrottleToleranceAc}),
            std::vector<DWORD>({35999, 0, 2 * 3600 + 61, 7322, 1, PowerSystemSleeping1, 95}));

  controls::CIconComboBox* list = List(IDC_USER_MAX_SLEEP_DC);
  ASSERT_TRUE(list);
  const COLORREF colours[] = {0, 0, RGB(150, 0, 0), RGB(150, 0, 0), RGB(0, 150, 0), RGB(0, 150, 0), RGB(0, 150, 0), 0};
  for (int position = 0; position < 8; ++position) {
    const controls::ComboItemData* item = list->ItemData(position);
    EXPECT_EQ(item ? item->text_colour : 0, colours[position]) << position;  // none: the list's own colour
  }

  // The hand over lists, check boxes and spins; not over a label.
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  for (int id : {IDC_USER_MAX_SLEEP_AC, IDC_USER_OPTIMIZE_DC, IDC_USER_FORCED_THROTTLE_DC_SPIN}) {
    EXPECT_TRUE(::SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), HTCLIENT)) << id;
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND)) << id;
  }
  EXPECT_FALSE(::SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(IDC_USER_OPTIMIZE_LABEL)),
                              HTCLIENT));
}

// The forced throttle's spins span the processor's range; without throttling they are fixed at
// 100 and off, while the fan tolerance stays free.
TEST_F(SchemeEditorTest, ForcedThrottleFollowsTheProcessorRange) {
  SchemeBuffer buffer = SampleBuffer();
  buffer.policy.user.ForcedThrottleAc = 100;
  for (BOOLEAN throttle : {TRUE, FALSE}) {
    state_.capabilities.ProcessorThrottle = throttle;
    Open(SchemeTabKind::User).LoadFromPolicy(buffer);
    for (int spin : {IDC_USER_FORCED_THROTTLE_AC_SPIN, IDC_USER_FORCED_THROTTLE_DC_SPIN}) {
      int low = 0, high = 0;
      Send(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
      EXPECT_EQ(std::make_pair(low, high), std::make_pair(throttle ? 25 : 100, 100)) << spin;
      EXPECT_EQ(Enabled(spin), throttle == TRUE) << spin;
    }
    EXPECT_EQ(Text(IDC_USER_FORCED_THROTTLE_AC), "100");
    EXPECT_TRUE(Enabled(IDC_USER_FAN_TOLERANCE_AC_SPIN));
    page_->DestroyWindow();
  }
}

TEST_F(SchemeEditorTest, MachinePageEditsAndTheLanguage) {
  CSchemeTab& page = Open(SchemeTabKind::Machine);
  EXPECT_EQ(Text(IDC_MACHINE_LATENCY_SLEEP_LABEL), "Max system power state:") << "texts applied over the template's";
  SchemeBuffer out = SampleBuffer();
  page.LoadFromPolicy(out);
  Choose(IDC_MACHINE_MIN_SLEEP_AC, 7);
  EXPECT_EQ(host_.modified, 1);
  Type(IDC_MACHINE_DOZE_S4_DC, "13000");
  EXPECT_GT(host_.modified, 1);
  page.StoreToPolicy(out);
  EXPECT_EQ(out.policy.mach.MinSleepAc, PowerSystemMaximum);
  EXPECT_EQ(out.policy.mach.DozeS4TimeoutDc, 5400u);

  // A language: the labels first, then each time field's presets.
  testing::TempDir dir;
  ASSERT_TRUE(dir.Write("Test.lng", "102 Niemals\n5301 Hoechster Zustand:\n"));
  i18n::LanguageTable table(dir.path() + "\\");
  ASSERT_TRUE(table.Load("Test"));
  i18n::InstallTexts(&table);
  page.ApplyLanguage();
  EXPECT_EQ(Text(IDC_MACHINE_LATENCY_SLEEP_LABEL), "Hoechster Zustand:");
  EXPECT_EQ(Text(IDC_MACHINE_MIN_SLEEP_LABEL), "") << "a language file's missing text is empty";
  auto* field = dynamic_cast<controls::CTimeEdit*>(fw::Window::FromHandle(Item(IDC_MACHINE_DOZE_S4_DC)));
  ASSERT_TRUE(field);
  EXPECT_EQ(testing::MenuString(field->presets(), 0), "Niemals");
  i18n::InstallTexts(nullptr);
}

// Edits stay with their entry; the counts bound what is shown and stored; the throttle lists.
TEST_F(SchemeEditorTest, CStateEntriesAndThrottleLists) {
  CSchemeTab& page = Open(SchemeTabKind::Processor);
  SchemeBuffer buffer;
  buffer.processor = SampleProcessor();
  page.LoadFromPolicy(buffer);
  ASSERT_EQ(ListCount(IDC_CPU_CSTATE), 3);
  EXPECT_EQ(ListText(IDC_CPU_CSTATE, 2), "C3");
  EXPECT_EQ(Selected(IDC_CPU_CSTATE), 0) << "C1 first";

  Choose(IDC_CPU_CSTATE, 1);
  EXPECT_EQ(host_.modified, 0) << "the selector is no change";
  EXPECT_EQ(Text(IDC_CPU_PROMOTE_LIMIT_AC), "22");
  EXPECT_EQ(::IsDlgButtonChecked(page.hwnd(), IDC_CPU_ALLOW_PROMOTION_AC), BST_CHECKED);
  ::SetWindowTextA(Item(IDC_CPU_TIME_CHECK_AC), "12abc");
  ::SetWindowTextA(Item(IDC_CPU_DEMOTE_LIMIT_DC), "-5");
  Send(IDC_CPU_ALLOW_PROMOTION_AC, BM_CLICK);
  Send(IDC_CPU_PROMOTE_PERCENT_DC_SPIN, UDM_SETPOS32, 0, 77);
  EXPECT_EQ(host_.modified, 4);

  Choose(IDC_CPU_CSTATE, 2);
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_AC), "30");
  ::SetWindowTextA(Item(IDC_CPU_PROMOTE_LIMIT_AC), "");
  Send(IDC_CPU_ALLOW_DEMOTION_DC, BM_CLICK);

  page.StoreToPolicy(buffer);
  MACHINE_PROCESSOR_POWER_POLICY want = SampleProcessor();
  PROCESSOR_POWER_POLICY_INFO *ac = want.ProcessorPolicyAc.Policy, *dc = want.ProcessorPolicyDc.Policy;
  ac[1].TimeCheck = 12;  // the leading number
  ac[1].AllowPromotion = 0;
  dc[1].DemoteLimit = static_cast<ULONG>(-5);
  dc[1].PromotePercent = 77;
  ac[2].PromoteLimit = 0;  // no number stores 0
  dc[2].AllowDemotion = 1;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(std::memcmp(&buffer.processor.ProcessorPolicyAc.Policy[i], &ac[i], sizeof *ac), 0) << "mains C" << i + 1;
    EXPECT_EQ(std::memcmp(&buffer.processor.ProcessorPolicyDc.Policy[i], &dc[i], sizeof *dc), 0) << "battery C" << i + 1;
  }

  // The shown entry survives a load while it stays valid, and falls back to C1 otherwise.
  page.LoadFromPolicy(buffer);
  EXPECT_EQ(Send(IDC_CPU_CSTATE, CB_GETCURSEL), 2);
  buffer.processor.ProcessorPolicyAc.PolicyCount = 2;
  page.LoadFromPolicy(buffer);
  EXPECT_EQ(Send(IDC_CPU_CSTATE, CB_GETCURSEL), 0);

  // None: an empty selector, nothing filled, nothing stored.
  buffer.processor = SampleProcessor(0, 3);
  page.LoadFromPolicy(buffer);
  EXPECT_EQ(Send(IDC_CPU_CSTATE, CB_GETCOUNT), 0);
  for (int id : {IDC_CPU_TIME_CHECK_AC, IDC_CPU_DEMOTE_LIMIT_DC, IDC_CPU_PROMOTE_PERCENT_AC}) {
    EXPECT_EQ(Text(id), "") << id;
    EXPECT_FALSE(Enabled(id)) << id;
  }
  SchemeBuffer out;
  page.StoreToPolicy(out);
  EXPECT_EQ(std::memcmp(&out.processor, &buffer.processor, sizeof out.processor), 0);

  // After none, the next scheme's entries show again from C1.
  buffer.processor = SampleProcessor(9, 1);
  page.LoadFromPolicy(buffer);
  EXPECT_EQ(Send(IDC_CPU_CSTATE, CB_GETCOUNT), 3) << "bounded to the record's three entries";
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_AC), "10");
  EXPECT_TRUE(Enabled(IDC_CPU_TIME_CHECK_AC));

  // The battery column has one entry: C2 shows nothing there and a store leaves it alone.
  Choose(IDC_CPU_CSTATE, 1);
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_AC), "20");
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_DC), "");
  EXPECT_FALSE(Enabled(IDC_CPU_ALLOW_DEMOTION_DC));
  EXPECT_EQ(::IsDlgButtonChecked(page.hwnd(), IDC_CPU_ALLOW_DEMOTION_DC), BST_UNCHECKED);
  page.StoreToPolicy(out);
  EXPECT_EQ(std::memcmp(&out.processor, &buffer.processor, sizeof out.processor), 0);

  // A throttle no item names selects nothing; each item stores the value it names.
  buffer.processor.ProcessorPolicyAc.DynamicThrottle = 7;
  page.LoadFromPolicy(buffer);
  EXPECT_EQ(Selected(IDC_CPU_DYNAMIC_THROTTLE_AC), CB_ERR);
  const std::pair<const char*, UCHAR> named[] = {{"ADAPTIVE", PO_THROTTLE_ADAPTIVE}, {"CONSTANT", PO_THROTTLE_CONSTANT},
                                                 {"DEGRADE", PO_THROTTLE_DEGRADE}, {"NONE", PO_THROTTLE_NONE}};
  const int edits = host_.modified;
  for (int position = 0; position < 4; ++position) {
    Choose(IDC_CPU_DYNAMIC_THROTTLE_AC, position);
    page.StoreToPolicy(out);
    EXPECT_EQ(ListText(IDC_CPU_DYNAMIC_THROTTLE_AC, position), named[position].first);
    EXPECT_EQ(out.processor.ProcessorPolicyAc.DynamicThrottle, named[position].second) << named[position].first;
  }
  EXPECT_EQ(host_.modified, edits + 4);
  EXPECT_EQ(out.processor.ProcessorPolicyDc.DynamicThrottle, PO_THROTTLE_DEGRADE);
}

}  // namespace
}  // namespace vantrel::power
