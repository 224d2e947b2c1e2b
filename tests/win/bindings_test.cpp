// Control bindings on real controls: each kind loads and stores its field, a flag bit leaves
// the other bits alone, and a time field keeps a value it cannot show.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>

#include "framework/handles.h"
#include "ui/bindings.h"
#include "win/test_support.h"

namespace vantrel::ui {
namespace {

enum : int { kCheck = 101, kFlag, kOff, kOn, kTrack, kEditAc, kSpinAc, kEditDc, kSpinDc, kList, kAction, kTimeAc, kTimeDc, kText };

struct Record {
  BOOLEAN on = 0;
  ULONG flags = 0;
  int32_t one = 0;
  uint8_t alpha = 0;
  UCHAR percent_ac = 0, percent_dc = 0;
  SYSTEM_POWER_STATE state = PowerSystemUnspecified;
  ULONG action = 0;
  ULONG time_ac = 0, time_dc = 0;
  std::string name;
};

class BindingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host_);
    constexpr DWORD kDropList = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    const struct { const char* cls; int id; DWORD style; } controls[] = {
        {"BUTTON", kCheck, BS_AUTOCHECKBOX},      {"BUTTON", kFlag, BS_AUTOCHECKBOX},
        {"BUTTON", kOff, BS_AUTORADIOBUTTON},    {"BUTTON", kOn, BS_AUTORADIOBUTTON},
        {TRACKBAR_CLASSA, kTrack, 0},            {"EDIT", kEditAc, ES_READONLY},
        {UPDOWN_CLASSA, kSpinAc, UDS_SETBUDDYINT}, {"EDIT", kEditDc, ES_READONLY},
        {UPDOWN_CLASSA, kSpinDc, UDS_SETBUDDYINT}, {"COMBOBOX", kList, kDropList},
        {"COMBOBOX", kAction, kDropList},        {"EDIT", kTimeAc, 0},
        {"EDIT", kTimeDc, 0},                    {"STATIC", kText, 0}};
    for (const auto& c : controls)
      ASSERT_TRUE(::CreateWindowExA(0, c.cls, "", WS_CHILD | c.style, 0, 0, 100, c.style == kDropList ? 200 : 20, host_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), nullptr, nullptr));

    bindings_.Check(kCheck, Member(&Record::on))
        .FlagBit(kFlag, Member(&Record::flags), 0x10)
        .RadioPair(kOff, kOn, Member(&Record::one))
        .TrackBar(kTrack, Member(&Record::alpha), 0, 255)
        .Percent(kEditAc, kSpinAc, kEditDc, kSpinDc, Member(&Record::percent_ac), Member(&Record::percent_dc))
        .List({kList}, {Member(&Record::state)},
              {{"zero"}, {"one"}, {"two", RGB(0, 150, 0)}, {"three", RGB(150, 0, 0)}})
        // Positions 0..2 store 0, 2, 3; a stored 1 shows as position 0.
        .List({kAction}, {Member(&Record::action)}, {{"none"}, {"sleep"}, {"hibernate"}}, {0, 2, 3},
              [](uint32_t v) { return v == 0 ? 0 : static_cast<int>(v) - 1; })
        .Time(kTimeAc, kTimeDc, Member(&Record::time_ac), Member(&Record::time_dc))
        .Text(kText, [](const Record& r) { return r.name; });
    bindings_.Attach(host_);
  }
  void TearDown() override { ::DestroyWindow(host_); }

  std::string TextOf(int id) { return testing::WindowText(::GetDlgItem(host_, id)); }

  HWND host_ = nullptr;
  Bindings<Record> bindings_;
};

TEST_F(BindingsTest, EveryKindStoresWhatItLoadedAndTheUsersChanges) {
  // Flag bit 0x10 clear, the others set.
  Record in{1, 0x80000021, 1, 200, 37, 100, PowerSystemSleeping2, 3, 5400, 3599, "LION"};
  bindings_.Load(in);
  EXPECT_EQ(::IsDlgButtonChecked(host_, kOn), BST_CHECKED);
  EXPECT_EQ(::IsDlgButtonChecked(host_, kOff), BST_UNCHECKED);
  EXPECT_EQ(TextOf(kTimeAc), "1:30:00");
  EXPECT_EQ(TextOf(kTimeDc), "0:59:59");
  EXPECT_EQ(TextOf(kText), "LION");
  EXPECT_EQ(::SendDlgItemMessageA(host_, kAction, CB_GETCURSEL, 0, 0), 2);
  const controls::ComboItemData* green = bindings_.ListControl(kList)->ItemData(2);
  ASSERT_TRUE(green);
  EXPECT_EQ(green->text_colour, RGB(0, 150, 0));

  // Every field as loaded (the text row is shown only); the flag word's unshown bits stay.
  const auto fields = [](const Record& r) {
    return std::tuple(r.on, r.flags, r.one, r.alpha, r.percent_ac, r.percent_dc, r.state, r.action, r.time_ac,
                      r.time_dc);
  };
  Record out;
  out.flags = 0x80000021;
  bindings_.Store(out);
  EXPECT_EQ(fields(out), fields(in));

  // The user's changes: the flag bit set among the others, the other radio, a new list item,
  // a time typed in.
  ::CheckDlgButton(host_, kFlag, BST_CHECKED);
  ::CheckDlgButton(host_, kOn, BST_UNCHECKED);
  ::CheckDlgButton(host_, kOff, BST_CHECKED);
  ::SendDlgItemMessageA(host_, kAction, CB_SETCURSEL, 1, 0);
  ::SendDlgItemMessageA(host_, kSpinDc, UDM_SETPOS32, 0, 250);  // clamped to the range
  bindings_.TimeField(kTimeAc)->SetInputText("95959");
  out.flags = 0x80000021;
  bindings_.Store(out);
  EXPECT_EQ(out.flags, 0x80000031u);
  EXPECT_EQ(out.one, 0);
  EXPECT_EQ(out.action, 2u);
  EXPECT_EQ(out.percent_dc, 100);
  EXPECT_EQ(out.time_ac, 35999u) << "9:59:59";
  bindings_.TimeField(kTimeAc)->SetInputText("00000");
  bindings_.Store(out);
  EXPECT_EQ(out.time_ac, 0u);

  // A reserved action value 1 shows as the first item and is written back as 0.
  in.action = 1;
  bindings_.Load(in);
  EXPECT_EQ(::SendDlgItemMessageA(host_, kAction, CB_GETCURSEL, 0, 0), 0);
  bindings_.Store(out);
  EXPECT_EQ(out.action, 0u);
}

TEST_F(BindingsTest, AValueTheControlCannotShowIsKeptUntilTheUserEditsIt) {
  Record in;
  in.time_ac = 36000;  // ten hours
  in.time_dc = 90061;  // 25:01:01
  in.state = static_cast<SYSTEM_POWER_STATE>(9);  // no item: nothing selected, field kept
  bindings_.Load(in);
  EXPECT_EQ(TextOf(kTimeAc), "9:59:59");
  EXPECT_EQ(::SendDlgItemMessageA(host_, kList, CB_GETCURSEL, 0, 0), CB_ERR);
  Record out;
  out.state = static_cast<SYSTEM_POWER_STATE>(9);
  bindings_.Store(out);
  EXPECT_EQ(out.time_ac, 36000u);
  EXPECT_EQ(out.time_dc, 90061u);
  EXPECT_EQ(out.state, 9);
  EXPECT_EQ(bindings_.KeptTime(kTimeDc), 90061u);
  bindings_.TimeField(kTimeDc)->SetInputText("20000");
  bindings_.Store(out);
  EXPECT_EQ(out.time_dc, 7200u) << "edited: the field's own value";
  EXPECT_EQ(out.time_ac, 36000u);
  EXPECT_EQ(bindings_.KeptTime(kTimeDc), std::nullopt) << "edited: nothing kept";
  EXPECT_EQ(bindings_.KeptTime(kTimeAc), 36000u);
  EXPECT_EQ(DurationText(36000), "10:00:00");
  // So are a percent beyond its range and a check box's value other than 0 or 1.
  in.percent_dc = 150;
  in.on = 2;
  bindings_.Load(in);
  bindings_.Store(out);
  EXPECT_EQ(out.percent_dc, 150);
  EXPECT_EQ(out.on, 2);
  in.time_ac = kMaxTimeFieldSeconds;
  bindings_.Load(in);
  EXPECT_EQ(bindings_.KeptTime(kTimeAc), std::nullopt) << "shown as it is";
}

TEST(BindingRules, NumberFieldsTakeTheLeadingSignedNumber) {
  HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host);
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 80, 20, host, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_TRUE(edit);
  Bindings<Record> b;
  b.Number(7, Member(&Record::time_ac));
  b.Attach(host);
  Record r;
  r.time_ac = static_cast<ULONG>(-40);
  b.Load(r);
  EXPECT_EQ(testing::WindowText(edit), "-40") << "shown signed";
  for (auto [typed, stored] : {std::pair{"12abc", 12u}, {"", 0u}, {"x5", 0u}, {" +7", 7u},
                               {"-2147483648", 0x80000000u}, {"99999999999999", 0x7FFFFFFFu}}) {
    ::SetWindowTextA(edit, typed);
    b.Store(r);
    EXPECT_EQ(r.time_ac, stored) << typed;
  }
  EXPECT_TRUE(b.IsChange(7, EN_CHANGE));
  ::DestroyWindow(host);
}

int g_text_sets = 0;
WNDPROC g_static_proc = nullptr;
LRESULT CALLBACK CountingTextProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) ++g_text_sets;
  return ::CallWindowProcA(g_static_proc, h, msg, wp, lp);
}

// Pages reload their read-only figures twice a second: an unchanged text is not set again.
TEST_F(BindingsTest, ATextRowSetsItsControlOnlyWhenTheTextChanges) {
  HWND text = ::GetDlgItem(host_, kText);
  g_text_sets = 0;
  g_static_proc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingTextProc)));
  Record r;
  r.name = "LION";
  bindings_.Load(r);
  bindings_.Load(r);
  r.name = std::string(300, 'N');  // longer than any fixed buffer a comparison might use
  bindings_.Load(r);
  bindings_.Load(r);
  r.name.clear();
  bindings_.Load(r);
  ::SetWindowLongPtrA(text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_static_proc));
  EXPECT_EQ(g_text_sets, 3);
  EXPECT_EQ(TextOf(kText), "");
}

// The host's controls, worked as the user works them.
struct HostControls : testing::PageControls {
  explicit HostControls(HWND host) : host(host) {}
  HWND host;
  HWND page() const override { return host; }
};

TEST(CheckListBinding, ShowsChosenBitsAsCheckMarksAndKeepsTheOthers) {
  HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host);
  constexpr int kChecks = 201;
  HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0, 120, 80, host,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChecks)), nullptr, nullptr);
  ASSERT_TRUE(list);
  Bindings<Record> b;
  b.CheckList(kChecks, Member(&Record::flags), {{"high"}, {"low"}, {"two"}}, {0x80000000u, 0x1, 0x2});
  b.Attach(host);
  const DWORD styles = LVS_EX_CHECKBOXES | LVS_EX_FLATSB;
  EXPECT_EQ(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & styles, styles);
  ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);

  const HostControls controls(host);
  Record in;
  in.flags = 0x80000000u | 0x2 | 0x20;  // 0x20 has no item
  b.Load(in);
  EXPECT_EQ((std::vector<bool>{controls.Ticked(kChecks, 0), controls.Ticked(kChecks, 1), controls.Ticked(kChecks, 2)}),
            (std::vector<bool>{true, false, true}));
  controls.Tick(kChecks, 0, false);
  controls.Tick(kChecks, 1, true);
  Record out = in;
  b.Store(out);
  EXPECT_EQ(out.flags, 0x1u | 0x2 | 0x20);

  fw::ControlEvent change{WM_NOTIFY, list, kChecks, static_cast<UINT>(LVN_ITEMCHANGED)};
  EXPECT_TRUE(b.IsUserChange(change));
  change.code = static_cast<UINT>(LVN_ITEMCHANGING);
  EXPECT_FALSE(b.IsUserChange(change));
  change.code = static_cast<UINT>(LVN_ITEMCHANGED);
  change.id = kChecks + 1;
  EXPECT_FALSE(b.IsUserChange(change));
  ::DestroyWindow(host);
}

TEST(BindingRules, ChangeNotificationsAndTimeTexts) {
  Bindings<Record> b;
  b.Check(1, Member(&Record::on)).RadioPair(2, 3, Member(&Record::one)).Time(4, Member(&Record::time_ac))
      .List({5}, {Member(&Record::action)}, {{"a"}});
  EXPECT_TRUE(b.IsChange(1, BN_CLICKED));
  EXPECT_TRUE(b.IsChange(3, BN_CLICKED));
  EXPECT_FALSE(b.IsChange(1, BN_SETFOCUS));
  EXPECT_TRUE(b.IsChange(4, EN_CHANGE));
  EXPECT_TRUE(b.IsChange(5, CBN_SELCHANGE));
  EXPECT_FALSE(b.IsChange(6, BN_CLICKED));
  // Any scroll of a track bar is a change; an up-down's is not (its edit reports the change).
  b.TrackBar(7, Member(&Record::alpha), 0, 255).Percent(8, 9, Member(&Record::percent_ac));
  for (UINT msg : {WM_HSCROLL, WM_VSCROLL}) {
    EXPECT_TRUE(b.IsUserChange({msg, nullptr, 7, TB_ENDTRACK})) << msg;
    EXPECT_FALSE(b.IsUserChange({msg, nullptr, 9, SB_THUMBPOSITION})) << msg;
  }
  EXPECT_TRUE(b.IsUserChange({WM_COMMAND, nullptr, 8, EN_CHANGE}));
  EXPECT_EQ(TimeFieldText(0), "00000");
  EXPECT_EQ(TimeFieldSeconds("1:3"), 1u) << "leading digits only";
  EXPECT_EQ(TimeFieldSeconds(""), 0u);
}

}  // namespace
}  // namespace vantrel::ui
