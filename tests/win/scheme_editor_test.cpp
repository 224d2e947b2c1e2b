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
class EditorHost : public fw::Window {
 public:
  ~EditorHost() override {
    if (IsWindow()) ::DestroyWindow(hwnd());
  }
  bool Create() {
    constexpr char kClass[] = "VantrelEditorHost";
    if (!RegisterClass(kClass, 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE))) return false;
    if (!CreateEx(0, kClass, "editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 380, nullptr, nullptr))
      return false;
    tab = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 4, 4, 500, 330, hwnd(),
                            nullptr, nullptr, nullptr);
    return tab != nullptr;
  }
  HWND tab = nullptr;
  int modified = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SCHEME_MODIFIED) {
      ++modified;
      return 0;
    }
    return Default(msg, wp, lp);
  }
};

// Every byte set to a pattern no default holds (0x5A is also a valid percent), then the
// shown fields to values they can show, or, for two times, cannot.
POWER_POLICY SamplePolicy() {
  POWER_POLICY p;
  std::memset(&p, 0x5A, sizeof p);
  USER_POWER_POLICY& u = p.user;
  u.IdleTimeoutAc = 3599, u.IdleTimeoutDc = 5400;
  u.MaxSleepAc = PowerSystemSleeping3, u.MaxSleepDc = PowerSystemWorking;
  u.VideoTimeoutAc = 0, u.VideoTimeoutDc = 600;
  u.SpindownTimeoutAc = 36000, u.SpindownTimeoutDc = 90061;  // ten hours and more
  u.OptimizeForPowerAc = 1, u.OptimizeForPowerDc = 0;
  u.IdleSensitivityAc = 37, u.ForcedThrottleAc = 50, u.ForcedThrottleDc = 100;
  MACHINE_POWER_POLICY& m = p.mach;
  m.MinSleepAc = PowerSystemSleeping1, m.MinSleepDc = PowerSystemWorking;
  m.ReducedLatencySleepAc = PowerSystemSleeping3, m.ReducedLatencySleepDc = PowerSystemHibernate;
  m.DozeTimeoutAc = 5400, m.DozeTimeoutDc = 72000;
  m.DozeS4TimeoutAc = 1, m.DozeS4TimeoutDc = 35999;
  m.MinThrottleDc = 60;
  return p;
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

TEST_F(SchemeEditorTest, UserPageShowsEveryRowAndAnUntouchedStoreChangesNoByte) {
  CSchemeTab& page = Open(SchemeTabKind::User);
  SchemeBuffer in;
  in.policy = SamplePolicy();
  page.LoadFromPolicy(in);
  EXPECT_EQ(host_.modified, 0) << "a load is not a user change";

  EXPECT_EQ(Text(IDC_USER_IDLE_TIMEOUT_AC), "0:59:59");
  EXPECT_EQ(Text(IDC_USER_IDLE_TIMEOUT_DC), "1:30:00");
  EXPECT_EQ(Text(IDC_USER_VIDEO_TIMEOUT_AC), "0:00:00");
  EXPECT_EQ(Text(IDC_USER_SPINDOWN_TIMEOUT_AC), "9:59:59");
  EXPECT_EQ(Text(IDC_USER_IDLE_SENSITIVITY_AC), "37");
  EXPECT_EQ(Text(IDC_USER_FORCED_THROTTLE_AC), "50");
  EXPECT_EQ(Send(IDC_USER_MAX_SLEEP_AC, CB_GETCURSEL), PowerSystemSleeping3);
  EXPECT_EQ(ListText(IDC_USER_MAX_SLEEP_AC, 0) + "|" + ListText(IDC_USER_MAX_SLEEP_AC, 5),
            "Unspecefied|(S4)Hebirnate") << "misspelled on purpose";
  EXPECT_EQ(::IsDlgButtonChecked(page.hwnd(), IDC_USER_OPTIMIZE_AC), BST_CHECKED);
  // The fields that cannot show their time say what they hold; the others carry no tip.
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "10:00:00");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "25:01:01");
  EXPECT_EQ(TipOf(IDC_USER_IDLE_TIMEOUT_AC), "");

  SchemeBuffer out;
  out.policy = SamplePolicy();
  out.policy.user.SpindownTimeoutAc = 1;
  out.policy.user.IdleTimeoutDc = 0;
  out.policy.user.ForcedThrottleDc = 0;
  page.StoreToPolicy(out);
  const POWER_POLICY expected = SamplePolicy();
  EXPECT_EQ(std::memcmp(&out.policy, &expected, sizeof expected), 0) << "every shown field back as loaded";

  // Reloading a time the field can show takes the tip away.
  in.policy.user.SpindownTimeoutAc = 60;
  page.LoadFromPolicy(in);
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "25:01:01");

  // The tip window goes with the page, though the window that holds the page stays.
  const size_t tips = Tooltips().size();
  page_->DestroyWindow();
  EXPECT_EQ(Tooltips().size(), tips - 1);
}

TEST_F(SchemeEditorTest, UserEditsAreStoredAndEachIsReported) {
  CSchemeTab& page = Open(SchemeTabKind::User);
  SchemeBuffer buffer;
  buffer.policy = SamplePolicy();
  page.LoadFromPolicy(buffer);

  Type(IDC_USER_IDLE_TIMEOUT_AC, "95959");
  EXPECT_GT(host_.modified, 0);
  Type(IDC_USER_IDLE_TIMEOUT_DC, "00000");
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "2");  // 2:59:59 now: the user's own value
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "") << "the field no longer stands for the kept time";
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
  EXPECT_EQ(u.IdleTimeoutAc, 35999u);
  EXPECT_EQ(u.IdleTimeoutDc, 0u);
  EXPECT_EQ(u.SpindownTimeoutAc, 2 * 3600u + 59 * 60 + 59);
  EXPECT_EQ(u.SpindownTimeoutDc, 90061u) << "the other long time untouched";
  EXPECT_EQ(u.OptimizeForPowerDc, 1);
  EXPECT_EQ(u.MaxSleepDc, PowerSystemSleeping1);
  EXPECT_EQ(u.FanThrottleToleranceAc, 95);

  controls::CIconComboBox* list = List(IDC_USER_MAX_SLEEP_DC);
  ASSERT_TRUE(list);
  const COLORREF colours[] = {0, 0, RGB(150, 0, 0), RGB(150, 0, 0), RGB(0, 150, 0), RGB(0, 150, 0), RGB(0, 150, 0), 0};
  for (int position = 0; position < 8; ++position) {
    const controls::ComboItemData* item = list->ItemData(position);
    EXPECT_EQ(item ? item->text_colour : 0, colours[position]) << position;  // none: the list's own colour
  }
  testing::Canvas canvas(120, 16);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_COMBOBOX;
  draw.itemID = 2;
  draw.hDC = canvas.dc();
  draw.rcItem = {0, 0, 120, 16};
  draw.itemData = static_cast<ULONG_PTR>(Send(IDC_USER_MAX_SLEEP_DC, CB_GETITEMDATA, 2));
  ASSERT_TRUE(list->OnReflectedDrawItem(draw));
  EXPECT_GT(canvas.Count(RGB(150, 0, 0), draw.rcItem), 0) << "the unsupported state's text is dark red";

  // The hand over lists, check boxes and spins; not over a label.
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  for (int id : {IDC_USER_MAX_SLEEP_AC, IDC_USER_OPTIMIZE_DC, IDC_USER_FORCED_THROTTLE_DC_SPIN}) {
    EXPECT_TRUE(::SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), HTCLIENT)) << id;
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND)) << id;
  }
  EXPECT_FALSE(::SendMessageA(page.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(IDC_USER_OPTIMIZE_LABEL)),
                              HTCLIENT));
}

TEST_F(SchemeEditorTest, ForcedThrottleFollowsTheProcessorRange) {
  Open(SchemeTabKind::User);
  int low = 0, high = 0;
  Send(IDC_USER_FORCED_THROTTLE_AC_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 25);
  EXPECT_EQ(high, 100);
  EXPECT_TRUE(Enabled(IDC_USER_FORCED_THROTTLE_DC_SPIN));
  page_->DestroyWindow();

  state_.capabilities.ProcessorThrottle = FALSE;
  CSchemeTab& page = Open(SchemeTabKind::User);
  SchemeBuffer buffer;
  buffer.policy = SamplePolicy();
  buffer.policy.user.ForcedThrottleAc = 100;
  page.LoadFromPolicy(buffer);
  for (int spin : {IDC_USER_FORCED_THROTTLE_AC_SPIN, IDC_USER_FORCED_THROTTLE_DC_SPIN}) {
    Send(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 100);
    EXPECT_EQ(high, 100);
    EXPECT_FALSE(Enabled(spin));
  }
  EXPECT_EQ(Text(IDC_USER_FORCED_THROTTLE_AC), "100");
  EXPECT_TRUE(Enabled(IDC_USER_FAN_TOLERANCE_AC_SPIN));
}

TEST_F(SchemeEditorTest, MachinePageRoundTripsAndTakesTheLanguage) {
  CSchemeTab& page = Open(SchemeTabKind::Machine);
  EXPECT_EQ(Text(IDC_MACHINE_LATENCY_SLEEP_LABEL), "Max system power state:") << "texts applied over the template's";
  SchemeBuffer in;
  in.policy = SamplePolicy();
  page.LoadFromPolicy(in);
  EXPECT_EQ(Text(IDC_MACHINE_DOZE_AC), "1:30:00");
  EXPECT_EQ(Text(IDC_MACHINE_MIN_THROTTLE_DC), "60");
  EXPECT_EQ(Send(IDC_MACHINE_LATENCY_SLEEP_DC, CB_GETCURSEL), PowerSystemHibernate);
  EXPECT_EQ(TipOf(IDC_MACHINE_DOZE_DC), "20:00:00");

  SchemeBuffer out;
  out.policy = SamplePolicy();
  out.policy.mach.DozeTimeoutDc = 0;
  out.policy.mach.MinSleepDc = PowerSystemMaximum;
  page.StoreToPolicy(out);
  const POWER_POLICY expected = SamplePolicy();
  EXPECT_EQ(std::memcmp(&out.policy, &expected, sizeof expected), 0);

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

TEST_F(SchemeEditorTest, ThrottleListsMapTheirValuesAndKeepOneTheyCannotShow) {
  CSchemeTab& page = Open(SchemeTabKind::Processor);
  SchemeBuffer in;
  in.processor = SampleProcessor();
  in.processor.ProcessorPolicyAc.DynamicThrottle = 7;
  page.LoadFromPolicy(in);
  EXPECT_EQ(Send(IDC_CPU_DYNAMIC_THROTTLE_AC, CB_GETCURSEL), CB_ERR) << "7 selects nothing";
  EXPECT_EQ(Send(IDC_CPU_DYNAMIC_THROTTLE_DC, CB_GETCURSEL), 2) << "DEGRADE";
  controls::CIconComboBox* list = List(IDC_CPU_DYNAMIC_THROTTLE_DC);
  ASSERT_TRUE(list);
  const int images[] = {2, 0, 3, 1};
  for (int position = 0; position < 4; ++position) {
    ASSERT_TRUE(list->ItemData(position));
    EXPECT_EQ(list->ItemData(position)->image_index, images[position]) << position;
  }

  // Untouched: all 156 bytes back, the throttle value 7 included.
  SchemeBuffer out;
  page.StoreToPolicy(out);
  EXPECT_EQ(std::memcmp(&out.processor, &in.processor, sizeof in.processor), 0);
  EXPECT_EQ(host_.modified, 0);

  const UCHAR values[] = {PO_THROTTLE_ADAPTIVE, PO_THROTTLE_CONSTANT, PO_THROTTLE_DEGRADE, PO_THROTTLE_NONE};
  for (int position = 0; position < 4; ++position) {
    Choose(IDC_CPU_DYNAMIC_THROTTLE_AC, position);
    page.StoreToPolicy(out);
    EXPECT_EQ(out.processor.ProcessorPolicyAc.DynamicThrottle, values[position]) << position;
  }
  EXPECT_EQ(host_.modified, 4);
  EXPECT_EQ(out.processor.ProcessorPolicyDc.DynamicThrottle, PO_THROTTLE_DEGRADE);
}

// Edits stay with their entry; the counts bound what is shown and stored.
TEST_F(SchemeEditorTest, CStateEntries) {
  CSchemeTab& page = Open(SchemeTabKind::Processor);
  SchemeBuffer buffer;
  buffer.processor = SampleProcessor();
  page.LoadFromPolicy(buffer);
  ASSERT_EQ(Send(IDC_CPU_CSTATE, CB_GETCOUNT), 3);
  char text[8] = {};
  Send(IDC_CPU_CSTATE, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "C3");
  EXPECT_EQ(Send(IDC_CPU_CSTATE, CB_GETCURSEL), 0);
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_AC), "10");
  EXPECT_EQ(Text(IDC_CPU_TIME_CHECK_DC), "110");
  EXPECT_EQ(Text(IDC_CPU_DEMOTE_PERCENT_DC), "90");

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
  const PROCESSOR_POWER_POLICY_INFO& c2_ac = buffer.processor.ProcessorPolicyAc.Policy[1];
  const PROCESSOR_POWER_POLICY_INFO& c2_dc = buffer.processor.ProcessorPolicyDc.Policy[1];
  const PROCESSOR_POWER_POLICY_INFO& c3_ac = buffer.processor.ProcessorPolicyAc.Policy[2];
  const PROCESSOR_POWER_POLICY_INFO& c3_dc = buffer.processor.ProcessorPolicyDc.Policy[2];
  EXPECT_EQ(c2_ac.TimeCheck, 12u) << "the leading number";
  EXPECT_EQ(c2_ac.AllowPromotion, 0u);
  EXPECT_EQ(c2_ac.AllowDemotion, 0u);
  EXPECT_EQ(c2_ac.Reserved, SampleProcessor().ProcessorPolicyAc.Policy[1].Reserved) << "the word's other bits stay";
  EXPECT_EQ(static_cast<LONG>(c2_dc.DemoteLimit), -5);
  EXPECT_EQ(c2_dc.PromotePercent, 77);
  EXPECT_EQ(c3_ac.PromoteLimit, 0u) << "no number stores 0";
  EXPECT_EQ(c3_dc.AllowDemotion, 1u);
  const MACHINE_PROCESSOR_POWER_POLICY sample = SampleProcessor();
  EXPECT_EQ(std::memcmp(&buffer.processor.ProcessorPolicyAc.Policy[0], &sample.ProcessorPolicyAc.Policy[0],
                        sizeof c2_ac), 0) << "C1 untouched";

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
}

}  // namespace
}  // namespace vantrel::power
