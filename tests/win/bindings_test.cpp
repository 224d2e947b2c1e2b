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

enum : int {
  kCheck = 101, kFlag, kOff, kOn, kTrack, kEditAc, kSpinAc, kEditDc, kSpinDc, kList, kAction, kTimeAc, kTimeDc, kText,
  kNumber, kChecks
};

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
  ULONG number = 0, bits = 0;
};

// One host window with a control of every kind, bound to a Record.
class BindingsTest : public ::testing::Test, public testing::PageControls {
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
        {"EDIT", kTimeDc, 0},                    {"STATIC", kText, 0},
        {"EDIT", kNumber, 0},                    {WC_LISTVIEWA, kChecks, LVS_REPORT | LVS_NOCOLUMNHEADER}};
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
        .Text(kText, [](const Record& r) { return r.name; })
        .Number(kNumber, Member(&Record::number))
        .CheckList(kChecks, Member(&Record::bits), {{"high"}, {"low"}, {"two"}}, {0x80000000u, 0x1, 0x2});
    bindings_.Attach(host_);
  }
  void TearDown() override { ::DestroyWindow(host_); }
  HWND page() const override { return host_; }

  HWND host_ = nullptr;
  Bindings<Record> bindings_;
};

TEST_F(BindingsTest, EveryKindStoresWhatItLoadedAndTheUsersChanges) {
  // Flag bit 0x10 clear, the others set.
  Record in{1, 0x80000021, 1, 200, 37, 100, PowerSystemSleeping2, 3, 5400, 3599, "LION"};
  bindings_.Load(in);
  EXPECT_EQ(std::tuple(Checked(kOn), Checked(kOff), Text(kTimeAc), Text(kTimeDc), Text(kText), Selected(kAction)),
            std::tuple(true, false, "1:30:00", "0:59:59", "LION", 2));
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
  Send(kAction, CB_SETCURSEL, 1);
  Send(kSpinDc, UDM_SETPOS32, 0, 250);  // clamped to the range
  bindings_.TimeField(kTimeAc)->SetInputText("95959");
  out.flags = 0x80000021;
  bindings_.Store(out);
  EXPECT_EQ(std::tuple(out.flags, out.one, out.action, int{out.percent_dc}, out.time_ac),
            std::tuple(0x80000031u, 0, 2u, 100, 35999u));  // 9:59:59 at most
  bindings_.TimeField(kTimeAc)->SetInputText("00000");
  bindings_.Store(out);
  EXPECT_EQ(out.time_ac, 0u);

  // A reserved action value 1 shows as the first item and is written back as 0.
  in.action = 1;
  bindings_.Load(in);
  EXPECT_EQ(Selected(kAction), 0);
  bindings_.Store(out);
  EXPECT_EQ(out.action, 0u);
}

TEST_F(BindingsTest, AValueTheControlCannotShowIsKeptUntilTheUserEditsIt) {
  Record in;
  in.time_ac = 36000;  // ten hours
  in.time_dc = 90061;  // 25:01:01
  in.state = static_cast<SYSTEM_POWER_STATE>(9);  // no item: nothing selected, field kept
  bindings_.Load(in);
  EXPECT_EQ(Text(kTimeAc), "9:59:59");
  EXPECT_EQ(Selected(kList), CB_ERR);
  Record out;
  out.state = static_cast<SYSTEM_POWER_STATE>(9);
  bindings_.Store(out);
  EXPECT_EQ(std::tuple(out.time_ac, out.time_dc, int{out.state}), std::tuple(36000u, 90061u, 9));
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

TEST_F(BindingsTest, NumbersTakeTheLeadingSignedNumberAndACheckListKeepsTheBitsItDoesNotShow) {
  Record r;
  r.number = static_cast<ULONG>(-40);
  r.bits = 0x80000000u | 0x2 | 0x20;  // 0x20 has no item
  bindings_.Load(r);
  EXPECT_EQ(Text(kNumber), "-40") << "shown signed";
  const DWORD styles = LVS_EX_CHECKBOXES | LVS_EX_FLATSB;
  EXPECT_EQ(Send(kChecks, LVM_GETEXTENDEDLISTVIEWSTYLE) & styles, styles);
  ASSERT_EQ(Send(kChecks, LVM_GETITEMCOUNT), 3);
  EXPECT_EQ((std::vector<bool>{Ticked(kChecks, 0), Ticked(kChecks, 1), Ticked(kChecks, 2)}),
            (std::vector<bool>{true, false, true}));
  Tick(kChecks, 0, false);
  Tick(kChecks, 1, true);
  bindings_.Store(r);
  EXPECT_EQ(r.bits, 0x1u | 0x2 | 0x20);

  for (auto [typed, stored] : {std::pair{"12abc", 12u}, {"", 0u}, {"x5", 0u}, {" +7", 7u},
                               {"-2147483648", 0x80000000u}, {"99999999999999", 0x7FFFFFFFu}}) {
    ::SetWindowTextA(Item(kNumber), typed);
    bindings_.Store(r);
    EXPECT_EQ(r.number, stored) << typed;
  }
  EXPECT_EQ(TimeFieldText(0), "00000");
  EXPECT_EQ(TimeFieldSeconds("1:3"), 1u) << "leading digits only";
  EXPECT_EQ(TimeFieldSeconds(""), 0u);
}

// Which control messages are the user's changes: a command of the bound kind, any scroll of a
// track bar (not an up-down's: its edit reports the change), a check list's changed item.
TEST_F(BindingsTest, ChangeNotifications) {
  const struct { UINT msg; int id; UINT code; bool change; } events[] = {
      {WM_COMMAND, kCheck, BN_CLICKED, true},      {WM_COMMAND, kOn, BN_CLICKED, true},
      {WM_COMMAND, kCheck, BN_SETFOCUS, false},    {WM_COMMAND, kTimeAc, EN_CHANGE, true},
      {WM_COMMAND, kNumber, EN_CHANGE, true},      {WM_COMMAND, kEditAc, EN_CHANGE, true},
      {WM_COMMAND, kAction, CBN_SELCHANGE, true},  {WM_COMMAND, 999, BN_CLICKED, false},
      {WM_HSCROLL, kTrack, TB_ENDTRACK, true},     {WM_VSCROLL, kTrack, TB_ENDTRACK, true},
      {WM_HSCROLL, kSpinAc, SB_THUMBPOSITION, false}, {WM_VSCROLL, kSpinDc, SB_THUMBPOSITION, false},
      {WM_NOTIFY, kChecks, static_cast<UINT>(LVN_ITEMCHANGED), true},
      {WM_NOTIFY, kChecks, static_cast<UINT>(LVN_ITEMCHANGING), false},
      {WM_NOTIFY, kTrack, static_cast<UINT>(LVN_ITEMCHANGED), false}};
  for (const auto& e : events)
    EXPECT_EQ(bindings_.IsUserChange({e.msg, nullptr, e.id, e.code}), e.change)
        << e.msg << " " << e.id << " " << e.code;
}

int g_text_sets = 0;
WNDPROC g_static_proc = nullptr;
LRESULT CALLBACK CountingTextProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) ++g_text_sets;
  return ::CallWindowProcA(g_static_proc, h, msg, wp, lp);
}

// Pages reload their read-only figures twice a second: an unchanged text is not set again.
TEST_F(BindingsTest, ATextRowSetsItsControlOnlyWhenTheTextChanges) {
  g_text_sets = 0;
  g_static_proc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(Item(kText), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingTextProc)));
  Record r;
  r.name = "LION";
  bindings_.Load(r);
  bindings_.Load(r);
  r.name = std::string(300, 'N');  // longer than any fixed buffer a comparison might use
  bindings_.Load(r);
  bindings_.Load(r);
  r.name.clear();
  bindings_.Load(r);
  ::SetWindowLongPtrA(Item(kText), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_static_proc));
  EXPECT_EQ(g_text_sets, 3);
  EXPECT_EQ(Text(kText), "");
}

}  // namespace
}  // namespace vantrel::ui
