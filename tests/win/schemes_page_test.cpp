// The Schemes page and its Save As dialog against the simulated power library, with editor tabs
// that record what they load and put marker values into what they store.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <optional>
#include <string>

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
  int retexts = 0;
  SchemeBuffer loaded{};
  DWORD marker = 0;  // stored into the field this tab stands for

  void LoadFromPolicy(const SchemeBuffer& buffer) override {
    loaded = buffer;
    // A real page's controls report their change while being filled.
    Modify();
  }
  void StoreToPolicy(SchemeBuffer& buffer) override {
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
  void Open(bool processor_functions = true, UINT active = 1, bool processor_read = true) {
    page_.reset();
    SimState state = testing::XpLaptop();
    state.schemes = {MakeScheme(0, L"Alpha"), MakeScheme(1, L"Beta"), MakeScheme(2, L"Gamma")};
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
  RECT area{}, wanted{0, 0, 270, 140};  // dialog units: room for the editor's pages
  ::GetClientRect(tabs, &area);
  ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  ::MapDialogRect(page_->hwnd(), &wanted);
  EXPECT_TRUE(area.right - area.left >= wanted.right && area.bottom - area.top >= wanted.bottom)
      << "display area " << area.right - area.left << " x " << area.bottom - area.top << " pixels";
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

  // Cancel writes nothing and goes back to the active scheme.
  Choose(IDC_SCHEME_COMBO, 1);
  Describe("never stored");
  Tab(SchemeTabKind::User).marker = 999;
  pc_.fake().calls.clear();
  Press(IDCANCEL);
  EXPECT_EQ(host_.closes, 2);
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 2);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Gamma, edited");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 444u);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  EXPECT_EQ(pc_.fake().calls.size(), 0u);
  EXPECT_EQ(Stored(1).description, L"Beta text");
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
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "");
  EXPECT_EQ(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc, 71u) << "the new scheme is loaded";

  const SimScheme& after = Stored(2);
  EXPECT_EQ(after.description, source.description);
  EXPECT_EQ(memcmp(&after.policy, &source.policy, sizeof source.policy), 0);
  EXPECT_EQ(memcmp(&after.processor, &source.processor, sizeof source.processor), 0);
}

// Without both processor functions (none, or the write function alone) there is no PROCESSOR
// tab; a processor record whose load failed is never written from what its tab shows in its
// place, even when it can be read at the time of the store; one the system refuses is said. The
// rest of the scheme is written each time, and Save As still makes the scheme.
TEST_F(SchemesPageTest, AProcessorRecordIsWrittenOnlyWhenItWasLoadedAndARefusalIsSaid) {
  enum Case { kNoFunctions, kWriteOnly, kLoadFailed, kWriteRefused };
  for (Case c : {kNoFunctions, kWriteOnly, kLoadFailed, kWriteRefused}) {
    SCOPED_TRACE(c);
    tabs_.clear();
    Open(c != kNoFunctions, 1, c != kWriteOnly);
    const bool processor_tab = c >= kLoadFailed;
    EXPECT_EQ(Send(IDC_SCHEME_TABS, TCM_GETITEMCOUNT, 0, 0), processor_tab ? 3 : 2);
    EXPECT_EQ(tabs_.count(SchemeTabKind::Processor), processor_tab ? 1u : 0u);
    ShowTab(2);  // no such tab without one: the page shown stays
    EXPECT_EQ(page_->tabs().shown(), processor_tab ? 2 : 0);
    fw::PromptRecorder prompts;
    pc_.fake().fail_processor_read = c == kLoadFailed;
    pc_.fake().fail_processor_write = c == kWriteRefused;
    Choose(IDC_SCHEME_COMBO, 1);
    if (processor_tab) {
      EXPECT_EQ(::IsWindowEnabled(Tab(SchemeTabKind::Processor).hwnd()) != FALSE, c != kLoadFailed);
      Tab(SchemeTabKind::Processor).marker = 8;
    }
    pc_.fake().fail_processor_read = false;
    Tab(SchemeTabKind::User).marker = 7;
    Press(IDC_APPLY);
    EXPECT_EQ(Enabled(IDC_APPLY), c == kWriteRefused) << "to try again";
    answer_ = "Copy";
    Press(IDC_SCHEME_SAVE_AS);
    EXPECT_EQ(Stored(1).policy.user.IdleTimeoutAc, 7u);
    ASSERT_EQ(pc_.state().schemes.size(), 4u);
    EXPECT_EQ(Stored(1).processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u);
    if (c != kWriteRefused) {
      EXPECT_EQ(pc_.fake().Called("WriteProcessorPwrScheme"), 0u);
    }
    ASSERT_EQ(prompts.entries().size(), c == kWriteRefused ? 2u : 0u);
    for (const auto& entry : prompts.entries())
      EXPECT_EQ(testing::Said(entry), testing::Warning(i18n::Text(i18n::IDS_SCHEMES_PROCESSOR_NOT_SAVED)));
  }
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

// A scheme whose record could not be read when it was chosen, that is gone behind the page's
// back by the time it is stored, or whose write the system refuses, is left as it was: Apply, OK
// and Save As each say so, add nothing, and keep the edits on show.
TEST_F(SchemesPageTest, ASchemeThatCannotBeWrittenOverStaysAsItWas) {
  enum Case { kUnreadable, kGone, kRefused };
  for (Case c : {kUnreadable, kGone, kRefused}) {
    SCOPED_TRACE(c);
    Open();
    pc_.fake().fail_scheme_read = c == kUnreadable;
    Choose(IDC_SCHEME_COMBO, 2);
    pc_.fake().fail_scheme_read = false;
    if (c == kGone) pc_.state().schemes.erase(pc_.state().schemes.begin() + 2);
    pc_.fake().fail_scheme_write = c == kRefused;
    pc_.fake().calls.clear();
    fw::PromptRecorder prompts;
    Press(IDC_APPLY);
    Press(IDOK);
    answer_ = "Copy";
    Press(IDC_SCHEME_SAVE_AS);
    const char* failed = c == kRefused ? SchemesPage::kWriteFailedMessage : SchemesPage::kReadFailedMessage;
    const char* said[] = {failed, failed, c == kRefused ? SchemesPage::kCreateFailedMessage : failed};
    ASSERT_EQ(prompts.entries().size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(testing::Said(prompts.entries()[i]), testing::Warning(said[i])) << i;
    if (c != kRefused) {
      EXPECT_EQ(pc_.fake().Called("Write"), 0u);
    }
    EXPECT_EQ(pc_.fake().Called("SetActivePwrScheme"), 0u);
    EXPECT_EQ(pc_.state().schemes.size(), c == kGone ? 2u : 3u) << "no stray scheme";
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_EQ(host_.closes, 0) << "OK keeps the unsaved edits on show";
    EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
    EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 2);
  }
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

// With the program's own editor tabs: the keyboard starts on a control on screen, and an Apply
// without edits writes back what the tabs loaded.
TEST_F(SchemesPageTest, WithItsOwnTabsThePageTakesNoHiddenKeysAndWritesBackWhatItLoaded) {
  Open();
  page_ = std::make_unique<SchemesPage>(host_.hwnd());
  ::SetFocus(host_.hwnd());
  ASSERT_TRUE(page_->Create());
  ::ShowWindow(page_->hwnd(), SW_SHOW);
  HWND focus = ::GetFocus();
  ASSERT_TRUE(focus);
  EXPECT_TRUE(::IsWindowVisible(focus)) << "the focus is on control " << ::GetDlgCtrlID(focus) << ", hidden";
  ::SendMessageA(focus, WM_CHAR, '5', 1);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  EXPECT_EQ(Send(IDC_SCHEME_TABS, TCM_GETITEMCOUNT), 3);
  Choose(IDC_SCHEME_COMBO, 1);  // the active scheme chosen again: Apply writes it
  Press(IDC_APPLY);
  EXPECT_EQ(Stored(1).processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u) << "an unedited value is written back as it was";
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
