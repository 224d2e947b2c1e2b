// The Schemes page and its Save As dialog against the simulated power library, with editor tabs
// that record what they load and put marker values into what they store.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>

#include "framework/handles.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "power/save_as_dialog.h"
#include "power/schemes_page.h"
#include "resource.h"
#include "schemes_ids.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimScheme;
using platform::sim::SimState;

// An empty child dialog: all a tab page needs to be placed, shown and hidden.
struct alignas(4) ChildTemplate {
  DLGTEMPLATE header;
  WORD menu, window_class, title;
};
const ChildTemplate kChildTemplate = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 270, 150}, 0, 0, 0};

class FakeTab : public CSchemeTab {
 public:
  FakeTab(SchemeTabKind kind, HWND tab_control)
      : CSchemeTab(&kChildTemplate.header, tab_control), kind(kind) {}

  SchemeTabKind kind;
  int loads = 0, stores = 0, retexts = 0;
  SchemeBuffer loaded{};
  DWORD marker = 0;  // stored into the field this tab stands for

  void LoadFromPolicy(const SchemeBuffer& buffer) override {
    ++loads;
    loaded = buffer;
    // A real page's controls report their change while being filled.
    Modify();
  }
  void StoreToPolicy(SchemeBuffer& buffer) override {
    ++stores;
    if (kind == SchemeTabKind::User) buffer.policy.user.IdleTimeoutAc = marker;
    if (kind == SchemeTabKind::Machine) buffer.policy.mach.DozeTimeoutAc = marker;
    if (kind == SchemeTabKind::Processor) buffer.processor.ProcessorPolicyAc.Policy[0].TimeCheck = marker;
  }
  void ApplyLanguage() override { ++retexts; }
  BOOL OnInitDialog() override { return TRUE; }  // an empty page: counts only the Schemes page's re-texting
  LRESULT Modify() const { return ::SendMessageA(::GetParent(::GetParent(hwnd())), WM_SCHEME_MODIFIED, 0, 0); }
  bool visible() const { return ::IsWindowVisible(hwnd()) != FALSE; }
};

SimScheme MakeScheme(UINT id, const wchar_t* name) {
  SimScheme s = platform::sim::DefaultSchemes()[0];
  s.id = id;
  s.name = name;
  s.description = std::wstring(name) + L" text";
  s.policy.user.IdleTimeoutAc = 1000 + id;
  s.policy.mach.DozeTimeoutAc = 2000 + id;
  s.policy.user.ThrottlePolicyAc = static_cast<UCHAR>(10 + id);  // no tab shows it
  s.processor.ProcessorPolicyAc.Policy[0].TimeCheck = 3000 + id;
  return s;
}

class SchemesPageTest : public ::testing::Test, protected testing::PageControls {
 protected:
  // Alpha (id 0), Beta (id 1, active), Gamma (id 2) unless told otherwise.
  // `processor_read` false: the power library has the processor write function alone.
  void Open(bool processor_functions = true, UINT active = 1, int scheme_count = 3, bool processor_read = true) {
    page_.reset();
    SimState state = testing::XpLaptop();
    state.schemes.clear();
    const wchar_t* names[] = {L"Alpha", L"Beta", L"Gamma"};
    for (int i = 0; i < scheme_count; ++i) state.schemes.push_back(MakeScheme(static_cast<UINT>(i), names[i]));
    state.active_scheme = active;
    state.processor_functions = processor_functions;
    pc_.Boot(std::move(state));
    pc_.fake().no_processor_read = !processor_read;
    host_.hide_on_close = false;
    ASSERT_TRUE(host_.IsWindow() || host_.Create());
    Reopen();
  }
  // A new page on the machine as it is.
  void Reopen() {
    page_.reset();
    page_ = std::make_unique<SchemesPage>(
        host_.hwnd(),
        [this](SchemeTabKind kind, HWND tab_control) {
          auto tab = std::make_unique<FakeTab>(kind, tab_control);
          tabs_[kind] = tab.get();
          return tab;
        },
        [this](HWND) {
          ++asked_;
          return answer_;
        });
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
    pc_.fake().calls.clear();
  }

  HWND page() const override { return page_->hwnd(); }
  // The user types a description.
  void Describe(const char* text) const {
    HWND edit = Item(IDC_SCHEME_DESCRIPTION);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  void ShowTab(int tab) const {
    HWND control = Item(IDC_SCHEME_TABS);
    ::SendMessageA(control, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header{control, IDC_SCHEME_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageA(page_->hwnd(), WM_NOTIFY, IDC_SCHEME_TABS, reinterpret_cast<LPARAM>(&header));
  }
  const SimScheme& Stored(size_t index) { return pc_.state().schemes.at(index); }
  FakeTab& Tab(SchemeTabKind kind) { return *tabs_.at(kind); }
  // The values the User, Machine and Processor tabs store next.
  void Mark(DWORD user, DWORD machine, DWORD processor) {
    Tab(SchemeTabKind::User).marker = user;
    Tab(SchemeTabKind::Machine).marker = machine;
    Tab(SchemeTabKind::Processor).marker = processor;
  }
  // A scheme's fields the three tabs stand for, and one no tab shows.
  static std::string Fields(const SimScheme& s) {
    return std::to_string(s.policy.user.IdleTimeoutAc) + " " + std::to_string(s.policy.mach.DozeTimeoutAc) + " " +
           std::to_string(s.processor.ProcessorPolicyAc.Policy[0].TimeCheck) + " " +
           std::to_string(s.policy.user.ThrottlePolicyAc);
  }

  testing::PowerTestMachine pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<SchemesPage> page_;
  std::map<SchemeTabKind, FakeTab*> tabs_;
  std::optional<std::string> answer_;
  int asked_ = 0;
};

TEST_F(SchemesPageTest, OpensOnTheActiveSchemeWithItsTabsTextsAndCursor) {
  Open();
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(ListText(IDC_SCHEME_COMBO, 0) + ListText(IDC_SCHEME_COMBO, 1) + ListText(IDC_SCHEME_COMBO, 2), "AlphaBetaGamma");
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Beta text");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 1001u);
  EXPECT_EQ(Tab(SchemeTabKind::Machine).loaded.policy.mach.DozeTimeoutAc, 2001u);
  EXPECT_EQ(Tab(SchemeTabKind::Processor).loaded.processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u);
  EXPECT_FALSE(Enabled(IDC_APPLY)) << "the tabs' own change reports during the load are not the user's";

  // The language texts replace the template's; the tabs take theirs after the page.
  EXPECT_EQ(Text(IDC_SCHEME_GROUP), "Power scheme");
  EXPECT_EQ(Tab(SchemeTabKind::Machine).retexts, 1);
  HWND tabs = Item(IDC_SCHEME_TABS);
  ASSERT_EQ(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  char text[32] = {};
  TCITEMA item{TCIF_TEXT | TCIF_IMAGE, 0, 0, text, sizeof text, 0, 0};
  ::SendMessageA(tabs, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::string(text) + std::to_string(item.iImage), "PROCESSOR2");
  EXPECT_EQ(::ImageList_GetImageCount((HIMAGELIST)::SendMessageA(tabs, TCM_GETIMAGELIST, 0, 0)), 3);

  // The tab control's display area holds the editor's pages; the first one shows.
  RECT area{};
  ::GetClientRect(tabs, &area);
  ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  RECT wanted{0, 0, 270, 140};  // dialog units: room for the editor's pages
  ::MapDialogRect(page_->hwnd(), &wanted);
  EXPECT_GE(area.right - area.left, wanted.right) << "display area " << area.right - area.left << " x "
                                                  << area.bottom - area.top << " pixels";
  EXPECT_GE(area.bottom - area.top, wanted.bottom) << "wanted " << wanted.right << " x " << wanted.bottom;
  EXPECT_TRUE(Tab(SchemeTabKind::User).visible());
  EXPECT_FALSE(Tab(SchemeTabKind::Machine).visible());
  ShowTab(2);
  EXPECT_EQ(page_->tabs().shown(), 2);
  EXPECT_FALSE(Tab(SchemeTabKind::User).visible());
  EXPECT_TRUE(Tab(SchemeTabKind::Processor).visible());

  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  ::SendMessageA(page_->hwnd(), WM_SETCURSOR, (WPARAM)Item(IDC_SCHEME_DELETE), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(pc_.fake().calls.size(), 0u) << "opening and looking writes nothing";
}

TEST_F(SchemesPageTest, ChangesEnableApplyWhichWritesAndActivatesWhileOkOnlyWrites) {
  Open();
  EXPECT_EQ(Tab(SchemeTabKind::User).Modify(), 1);
  EXPECT_TRUE(Enabled(IDC_APPLY));
  Press(IDC_APPLY);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  Describe("typed");
  EXPECT_TRUE(Enabled(IDC_APPLY)) << "the description is the user's";

  Choose(IDC_SCHEME_COMBO, 2);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Gamma text");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 1002u);
  EXPECT_TRUE(Enabled(IDC_APPLY));
  Describe("Gamma, edited");
  Mark(111, 222, 333);
  Press(IDOK);
  EXPECT_EQ(host_.closes, 1);
  EXPECT_EQ(Stored(2).description + L"|" + Stored(2).name, L"Gamma, edited|Gamma");
  EXPECT_EQ(Fields(Stored(2)), "111 222 333 12") << "a field no tab shows keeps its value";
  EXPECT_EQ(pc_.state().active_scheme, 1u) << "OK does not activate";

  Tab(SchemeTabKind::User).marker = 444;
  Press(IDC_APPLY);
  EXPECT_EQ(Stored(2).policy.user.IdleTimeoutAc, 444u);
  EXPECT_EQ(pc_.state().active_scheme, 2u);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  EXPECT_EQ(host_.closes, 1) << "Apply does not close";

  // A refused activation is said, the fields are written all the same.
  pc_.fake().fail_activation = true;
  Choose(IDC_SCHEME_COMBO, 0);
  Tab(SchemeTabKind::User).marker = 555;
  fw::PromptRecorder prompts;
  Press(IDC_APPLY);
  ASSERT_EQ(prompts.entries().size(), 1u);
  EXPECT_EQ(testing::Said(prompts.entries()[0]), testing::Warning(SchemesPage::kActivateFailedMessage));
  EXPECT_EQ(Stored(0).policy.user.IdleTimeoutAc, 555u);
  EXPECT_EQ(pc_.state().active_scheme, 2u);
  EXPECT_FALSE(Enabled(IDC_APPLY));
}

TEST_F(SchemesPageTest, CancelReloadsTheActiveSchemeAndWritesNothing) {
  Open();
  Choose(IDC_SCHEME_COMBO, 2);
  Describe("never stored");
  Tab(SchemeTabKind::User).marker = 999;
  Press(IDCANCEL);
  EXPECT_EQ(host_.closes, 1);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Beta text");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 1001u);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  EXPECT_EQ(Tab(SchemeTabKind::User).stores, 0);
  EXPECT_EQ(pc_.fake().calls.size(), 0u);
  EXPECT_EQ(Stored(2).description, L"Gamma text");
}

TEST_F(SchemesPageTest, DeleteAsksThenHandsTheActiveStateOn) {
  Open();
  fw::PromptRecorder prompts(IDCANCEL);
  Press(IDC_SCHEME_DELETE);
  ASSERT_EQ(prompts.entries().size(), 1u);
  EXPECT_EQ(testing::Said(prompts.entries()[0]),
            testing::Said({nullptr, "Delete power scheme ('Beta')?", "Delete power scheme",
                           MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2}));
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3) << "Cancel in the question changes nothing";
  EXPECT_EQ(pc_.fake().calls.size(), 0u);

  // The active scheme in the middle: the next one takes over, before the deletion.
  prompts.set_answer(IDOK);
  Tab(SchemeTabKind::User).Modify();
  Press(IDC_SCHEME_DELETE);
  EXPECT_EQ(pc_.fake().calls, (std::vector<std::string>{"SetActivePwrScheme 2", "DeletePwrScheme 1"}));
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 2);
  EXPECT_EQ(ListText(IDC_SCHEME_COMBO, 1), "Gamma");
  EXPECT_EQ(pc_.state().active_scheme, 2u);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Gamma text");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 1002u);
  EXPECT_FALSE(Enabled(IDC_APPLY));

  // The active scheme last: the one before it takes over.
  Press(IDC_SCHEME_DELETE);
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(pc_.state().active_scheme, 0u);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 0);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Alpha text");

  // The only scheme stays.
  prompts.clear();
  Press(IDC_SCHEME_DELETE);
  ASSERT_EQ(prompts.entries().size(), 2u);
  EXPECT_EQ(testing::Said(prompts.entries()[1]), testing::Warning("You can't delete this power scheme!"));
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(pc_.state().schemes.size(), 1u);
}

TEST_F(SchemesPageTest, SaveAsMakesANewSchemeFromTheTabsAndLeavesTheSourceAlone) {
  Open();
  Choose(IDC_SCHEME_COMBO, 2);
  const SimScheme source = Stored(2);
  Describe("not for the new one");
  Mark(71, 72, 73);

  fw::PromptRecorder prompts;
  answer_ = std::nullopt;  // Cancel in the dialog
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(asked_, 1);
  answer_ = "Beta";  // exact names are taken
  Press(IDC_SCHEME_SAVE_AS);
  ASSERT_EQ(prompts.entries().size(), 1u);
  EXPECT_EQ(testing::Said(prompts.entries()[0]), testing::Warning("The power scheme with current name already exist!"));
  EXPECT_EQ(pc_.fake().Called("WritePwrScheme"), 0u);
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);

  answer_ = "beta";  // letter case makes another name
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(prompts.entries().size(), 1u);
  ASSERT_EQ(pc_.state().schemes.size(), 4u);
  const SimScheme& added = Stored(3);
  EXPECT_EQ(added.id, 3u);
  EXPECT_EQ(added.name + L"|" + added.description, L"beta|");
  EXPECT_EQ(Fields(added), "71 72 73 12") << "unshown fields come from the source";
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 4);
  EXPECT_EQ(ListText(IDC_SCHEME_COMBO, 3) + "|" + Text(IDC_SCHEME_DESCRIPTION), "beta|");
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 71u) << "the new scheme is loaded";

  const SimScheme& after = Stored(2);
  EXPECT_EQ(after.description, source.description);
  EXPECT_EQ(memcmp(&after.policy, &source.policy, sizeof source.policy) |
                memcmp(&after.processor, &source.processor, sizeof source.processor),
            0);
  EXPECT_EQ(pc_.state().active_scheme, 1u);
}

// Without both processor functions (none, or the write function alone) there is no PROCESSOR
// tab, and nothing is written to a processor policy.
TEST_F(SchemesPageTest, WithoutBothProcessorFunctionsTwoTabsAndNoProcessorWrites) {
  for (bool write_only : {false, true}) {
    SCOPED_TRACE(write_only);
    tabs_.clear();
    Open(write_only, 1, 3, !write_only);
    EXPECT_EQ(Send(IDC_SCHEME_TABS, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tabs_.count(SchemeTabKind::Processor), 0u) << "no PROCESSOR page is made";
    ShowTab(2);  // no such tab: the page shown stays
    EXPECT_EQ(page_->tabs().shown(), 0);
    Tab(SchemeTabKind::User).marker = 5;
    Tab(SchemeTabKind::User).Modify();
    Press(IDC_APPLY);
    EXPECT_EQ(Stored(1).policy.user.IdleTimeoutAc, 5u);
    EXPECT_EQ(Stored(1).processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u);
    EXPECT_EQ(pc_.fake().Called("WriteProcessorPwrScheme"), 0u);
  }
}

// A processor record whose load failed is never written from what its tab shows in its place,
// even when it can be read at the time of the store; the rest of the scheme is.
TEST_F(SchemesPageTest, NothingIsWrittenForAProcessorRecordWhoseLoadFailed) {
  Open();
  fw::PromptRecorder prompts;
  pc_.fake().fail_processor_read = true;
  Choose(IDC_SCHEME_COMBO, 2);
  EXPECT_FALSE(::IsWindowEnabled(Tab(SchemeTabKind::Processor).hwnd())) << "nothing to edit there";
  pc_.fake().fail_processor_read = false;
  Tab(SchemeTabKind::User).marker = 7;
  Tab(SchemeTabKind::Processor).marker = 8;
  Press(IDC_APPLY);
  answer_ = "Copy";
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(Stored(2).policy.user.IdleTimeoutAc, 7u);
  ASSERT_EQ(pc_.state().schemes.size(), 4u);
  EXPECT_EQ(pc_.fake().Called("WriteProcessorPwrScheme"), 0u);
  EXPECT_EQ(Stored(2).processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3002u);
  EXPECT_TRUE(prompts.entries().empty());
}

// A part the system refuses is said; the rest is written, and Save As still makes the scheme.
TEST_F(SchemesPageTest, AProcessorPolicyTheSystemRefusesIsSaid) {
  Open();
  fw::PromptRecorder prompts;
  pc_.fake().fail_processor_write = true;
  Tab(SchemeTabKind::User).marker = 9;
  Tab(SchemeTabKind::User).Modify();
  Press(IDC_APPLY);
  EXPECT_EQ(Stored(1).policy.user.IdleTimeoutAc, 9u);
  EXPECT_TRUE(Enabled(IDC_APPLY)) << "to try again";
  answer_ = "Copy";
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(pc_.state().schemes.size(), 4u);
  ASSERT_EQ(prompts.entries().size(), 2u);
  for (const auto& entry : prompts.entries())
    EXPECT_EQ(testing::Said(entry), testing::Warning(i18n::Text(i18n::IDS_SCHEMES_PROCESSOR_NOT_SAVED)));
}

// Save As makes a new scheme even when the combo box and the list disagree; Delete that fails
// leaves the active scheme as it was; texts outside the user's code page survive an Apply.
TEST_F(SchemesPageTest, SchemesAreNeitherOverwrittenNorLeftInactiveNorRenamed) {
  Open();
  pc_.state().schemes[1].name = L"Beta \u263A";
  pc_.state().schemes[1].description = L"\u263A text";
  Reopen();
  Send(IDC_SCHEME_COMBO, CB_DELETESTRING, 2);  // one short of the list
  answer_ = "New";
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(pc_.state().schemes.size(), 4u);
  EXPECT_EQ(Stored(2).name, L"Gamma");

  fw::PromptRecorder prompts;
  pc_.fake().fail_delete = true;
  Choose(IDC_SCHEME_COMBO, 1);
  Press(IDC_SCHEME_DELETE);
  EXPECT_EQ(pc_.state().active_scheme, 1u);
  ASSERT_EQ(prompts.entries().size(), 2u);  // the question, then the refusal
  EXPECT_EQ(prompts.entries()[1].text, SchemesPage::kDeleteFailedMessage);

  Press(IDC_APPLY);
  EXPECT_EQ(Stored(1).name, L"Beta \u263A");
  EXPECT_EQ(Stored(1).description, L"\u263A text");
}

// A scheme whose record could not be read when it was chosen, or is gone behind the page's back
// by the time it is stored, is never written over: Apply, OK and Save As each say so.
TEST_F(SchemesPageTest, ASchemeThatCannotBeReadIsNotWrittenOver) {
  for (bool gone : {false, true}) {
    SCOPED_TRACE(gone ? "gone before the store" : "unreadable when chosen");
    Open();
    pc_.fake().fail_scheme_read = !gone;
    Choose(IDC_SCHEME_COMBO, 2);
    pc_.fake().fail_scheme_read = false;
    if (gone) pc_.state().schemes.erase(pc_.state().schemes.begin() + 2);
    pc_.fake().calls.clear();
    fw::PromptRecorder prompts;
    Press(IDC_APPLY);
    Press(IDOK);
    answer_ = "Copy";
    Press(IDC_SCHEME_SAVE_AS);
    ASSERT_EQ(prompts.entries().size(), 3u);
    for (const auto& entry : prompts.entries())
      EXPECT_EQ(testing::Said(entry), testing::Warning(SchemesPage::kReadFailedMessage));
    EXPECT_EQ(pc_.fake().Called("Write") + pc_.fake().Called("SetActivePwrScheme"), 0u);
    EXPECT_EQ(pc_.state().schemes.size(), gone ? 2u : 3u) << "no stray scheme";
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_EQ(host_.closes, 0) << "OK keeps the unsaved edits on show";
    EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  }
}

TEST_F(SchemesPageTest, AFailedSaveAsAddsNothing) {
  Open();
  Choose(IDC_SCHEME_COMBO, 0);
  pc_.fake().fail_scheme_write = true;
  fw::PromptRecorder prompts;
  answer_ = "New one";
  Press(IDC_SCHEME_SAVE_AS);
  ASSERT_EQ(prompts.entries().size(), 1u);
  EXPECT_EQ(prompts.entries()[0].text, SchemesPage::kCreateFailedMessage);
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 0);
  EXPECT_EQ(pc_.state().schemes.size(), 3u);

  // A failed store says so and keeps Apply on.
  pc_.fake().fail_scheme_write = true;
  Describe("x");
  Press(IDC_APPLY);
  EXPECT_EQ(prompts.entries().back().text, SchemesPage::kWriteFailedMessage);
  EXPECT_TRUE(Enabled(IDC_APPLY));
  EXPECT_EQ(pc_.fake().Called("SetActivePwrScheme"), 0u);
}

TEST_F(SchemesPageTest, AnActiveSchemeOutsideTheListSelectsNothing) {
  Open(true, 99);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), -1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 0u);
  fw::PromptRecorder prompts;
  Tab(SchemeTabKind::User).Modify();
  Press(IDC_APPLY);
  Press(IDC_SCHEME_DELETE);
  answer_ = "Copy";
  Press(IDC_SCHEME_SAVE_AS);
  Press(IDOK);
  EXPECT_EQ(prompts.entries().size(), 0u);
  EXPECT_EQ(asked_, 0);
  EXPECT_EQ(pc_.fake().calls.size(), 0u);
  EXPECT_EQ(host_.closes, 1);

  // Choosing a scheme makes the page work again.
  Choose(IDC_SCHEME_COMBO, 0);
  Press(IDC_APPLY);
  EXPECT_EQ(pc_.state().active_scheme, 0u);
}

// With the program's own editor tabs: pages come and go without leaks, an Apply without edits
// writes back what the tabs loaded, and the keyboard starts on a control on screen.
TEST_F(SchemesPageTest, PagesWithTheirOwnTabsComeAndGoWithoutLeaksAndTakeNoHiddenKeys) {
  Open();
  page_.reset();
  const long user = fw::LiveUserObjects(), gdi = fw::LiveGdiObjects();
  for (int i = 0; i < 3; ++i) {
    SchemesPage page(host_.hwnd());
    ASSERT_TRUE(page.Create());
    ::ShowWindow(page.hwnd(), SW_SHOW);
    ::UpdateWindow(page.hwnd());
    EXPECT_EQ(::SendMessageA(::GetDlgItem(page.hwnd(), IDC_SCHEME_TABS), TCM_GETITEMCOUNT, 0, 0), 3);
    // The active scheme chosen again: Apply writes it.
    HWND combo = ::GetDlgItem(page.hwnd(), IDC_SCHEME_COMBO);
    ::SendMessageA(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SCHEME_COMBO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    HWND apply = ::GetDlgItem(page.hwnd(), IDC_APPLY);
    ASSERT_TRUE(::IsWindowEnabled(apply));
    ::SendMessageA(apply, BM_CLICK, 0, 0);
  }
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(Stored(1).processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u) << "an unedited value is written back as it was";

  // Opening the page leaves the keyboard on a control on screen: a key typed next reaches no
  // hidden field of the editor's tabs.
  ::SetFocus(host_.hwnd());
  SchemesPage page(host_.hwnd());
  ASSERT_TRUE(page.Create());
  ::ShowWindow(page.hwnd(), SW_SHOW);
  HWND focus = ::GetFocus();
  ASSERT_TRUE(focus);
  EXPECT_TRUE(::IsWindowVisible(focus)) << "the focus is on control " << ::GetDlgCtrlID(focus) << ", hidden";
  ::SendMessageA(focus, WM_CHAR, '5', 1);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page.hwnd(), IDC_APPLY)));
}

// The dialog, created modeless so that the test can type into it; its end only hides it then.
TEST(SaveAsDialogTest, TakesAtMost32CharactersAndRefusesBlankNames) {
  CSaveAsDialog dialog(nullptr);
  ASSERT_TRUE(dialog.Create());
  ::ShowWindow(dialog.hwnd(), SW_SHOW);
  EXPECT_EQ(testing::WindowText(dialog.hwnd()), "Save As...");
  HWND edit = ::GetDlgItem(dialog.hwnd(), IDC_SAVE_AS_NAME);
  for (int i = 0; i < 40; ++i) ::SendMessageA(edit, WM_CHAR, 'a' + i % 26, 1);
  EXPECT_EQ(testing::WindowText(edit).size(), 32u);

  fw::PromptRecorder prompts;
  for (const char* blank : {"", " ", "   "}) {
    ::SetWindowTextA(edit, blank);
    ::SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(dialog.hwnd())) << "'" << blank << "'";
  }
  ASSERT_EQ(prompts.entries().size(), 3u);
  EXPECT_EQ(testing::Said(prompts.entries()[0]), testing::Warning("Input power scheme name!"));

  ::SetWindowTextA(edit, " My plan ");
  ::SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_FALSE(::IsWindowVisible(dialog.hwnd()));
  EXPECT_EQ(dialog.name(), " My plan ") << "blanks are kept";
  EXPECT_EQ(prompts.entries().size(), 3u);
}

}  // namespace
}  // namespace vantrel::power
