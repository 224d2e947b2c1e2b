// The Schemes page against the simulated power library: its Save As dialog, editor tabs that
// record what they load and put marker values into what they store, the scheme list beneath it,
// Export and Import on both power interfaces (round trips, refused files, imports undone), and
// the list of every setting of a plan edited in place. The scheme editor's own tab pages on a
// simulated laptop: what each row shows and stores, that an untouched page writes back every
// byte it loaded, the C-state entries, the throttle lists, the change message and the re-texting.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "all_settings_ids.h"
#include "controls/icon_combo.h"
#include "controls/masked_edit.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "power/power_platform.h"
#include "power/save_as_dialog.h"
#include "power/scheme_editor.h"
#include "power/scheme_file_io.h"
#include "power/scheme_records_win.h"
#include "power/schemes_page.h"
#include "resource.h"
#include "scheme_editor_ids.h"
#include "schemes_ids.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using platform::PlanGuid;
using platform::sim::SimPowerBackend;
using platform::sim::SimScheme;
using platform::sim::SimState;

// A Schemes page shown in a stand-in main window that stays when closed.
class PageTest : public ::testing::Test, protected testing::PageControls {
 protected:
  HWND Host() {
    host_.hide_on_close = false;
    EXPECT_TRUE(host_.IsWindow() || host_.Create());
    return host_.hwnd();
  }
  void Show(std::unique_ptr<SchemesPage> page) {
    page_ = std::move(page);
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
  }
  void TearDown() override { page_.reset(); }  // before the machine it uses
  HWND page() const override { return page_->hwnd(); }
  // Tab `tab` chosen as the user chooses it.
  void ShowTab(int tab) const {
    HWND control = Item(IDC_SCHEME_TABS);
    ::SendMessageA(control, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header{control, IDC_SCHEME_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageA(page_->hwnd(), WM_NOTIFY, IDC_SCHEME_TABS, reinterpret_cast<LPARAM>(&header));
  }

  testing::MainWindowStandIn host_;
  std::unique_ptr<SchemesPage> page_;
};

// An empty child dialog: all a tab page needs to be placed, shown and hidden.
struct alignas(4) ChildTemplate {
  DLGTEMPLATE header;
  WORD menu, window_class, title;
};
const ChildTemplate kChildTemplate = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 270, 150}, 0, 0, 0};

class FakeTab : public CSchemeTab {
 public:
  FakeTab(SchemeTabKind kind, HWND tab_control) : CSchemeTab(&kChildTemplate.header, tab_control), kind(kind) {}

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

class SchemesPageTest : public PageTest {
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
    Reopen();
  }
  // A new page on the machine as it is.
  void Reopen() {
    page_.reset();
    Show(std::make_unique<SchemesPage>(
        Host(),
        [this](SchemeTabKind kind, HWND tab_control) {
          auto tab = std::make_unique<FakeTab>(kind, tab_control);
          tabs_[kind] = tab.get();
          return tab;
        },
        [this](HWND) {
          ++asked_;
          return answer_;
        }));
    pc_.fake().calls.clear();
  }

  void Describe(const char* text) const {
    HWND edit = Item(IDC_SCHEME_DESCRIPTION);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
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
  // The scheme chosen, its description, what the User tab loaded, and " apply" while Apply is on.
  std::string Showing() {
    return std::to_string(Selected(IDC_SCHEME_COMBO)) + " " + Text(IDC_SCHEME_DESCRIPTION) + " " +
           std::to_string(Tab(SchemeTabKind::User).loaded.policy.user.IdleTimeoutAc) +
           (Enabled(IDC_APPLY) ? " apply" : "");
  }

  testing::PowerTestMachine pc_;
  std::map<SchemeTabKind, FakeTab*> tabs_;
  std::optional<std::string> answer_;
  int asked_ = 0;
};

TEST_F(SchemesPageTest, OpensOnTheActiveSchemeApplyWritesAndActivatesOkOnlyWritesSaveAsMakesANewOne) {
  Open();
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(ListText(IDC_SCHEME_COMBO, 0) + ListText(IDC_SCHEME_COMBO, 1) + ListText(IDC_SCHEME_COMBO, 2), "AlphaBetaGamma");
  EXPECT_EQ(Showing(), "1 Beta text 1001") << "the tabs' own change reports during the load are not the user's";
  EXPECT_EQ(Tab(SchemeTabKind::Machine).loaded.policy.mach.DozeTimeoutAc, 2001u);
  EXPECT_EQ(Tab(SchemeTabKind::Processor).loaded.processor.ProcessorPolicyAc.Policy[0].TimeCheck, 3001u);

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

  // Changes enable Apply, which writes and activates, while OK only writes.
  EXPECT_EQ(Tab(SchemeTabKind::User).Modify(), 1);
  EXPECT_TRUE(Enabled(IDC_APPLY));
  Press(IDC_APPLY);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  Describe("typed");
  EXPECT_TRUE(Enabled(IDC_APPLY)) << "the description is the user's";

  Choose(IDC_SCHEME_COMBO, 2);
  EXPECT_EQ(Showing(), "2 Gamma text 1002 apply");
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
  EXPECT_EQ(Showing(), "2 Gamma, edited 444");
  EXPECT_EQ(pc_.fake().calls.size(), 0u);
  EXPECT_EQ(Stored(1).description, L"Beta text");

  // Save As makes a new scheme from the tabs and leaves the source alone.
  Choose(IDC_SCHEME_COMBO, 2);
  const SimScheme source = Stored(2);
  Describe("not for the new one");
  Mark(71, 72, 73);

  prompts.clear();
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
  EXPECT_EQ(Showing(), "3  71") << "the new scheme is loaded";

  const SimScheme& after = Stored(2);
  EXPECT_EQ(after.description, source.description);
  EXPECT_EQ(memcmp(&after.policy, &source.policy, sizeof source.policy), 0);
  EXPECT_EQ(memcmp(&after.processor, &source.processor, sizeof source.processor), 0);
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
  EXPECT_EQ(Showing(), "1 Gamma text 1002");

  // The active scheme last: the one before it takes over.
  Press(IDC_SCHEME_DELETE);
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(pc_.state().active_scheme, 0u);
  EXPECT_EQ(Showing(), "0 Alpha text 1000");

  // The only scheme stays.
  prompts.clear();
  Press(IDC_SCHEME_DELETE);
  ASSERT_EQ(prompts.entries().size(), 2u);
  EXPECT_EQ(testing::Said(prompts.entries()[1]), testing::Warning("You can't delete this power scheme!"));
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(pc_.state().schemes.size(), 1u);
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
    EXPECT_EQ(pc_.fake().Called("WriteProcessorPwrScheme") > 0, c == kWriteRefused);
    ASSERT_EQ(prompts.entries().size(), c == kWriteRefused ? 2u : 0u);
    for (const auto& entry : prompts.entries())
      EXPECT_EQ(testing::Said(entry), testing::Warning(i18n::Text(i18n::IDS_SCHEMES_PROCESSOR_NOT_SAVED)));
  }
}

// An active scheme outside the list selects nothing, and nothing works until a scheme is chosen.
// Save As makes a new scheme even when the combo box and the list disagree; Delete that fails
// leaves the active scheme as it was; texts outside the user's code page survive an Apply.
TEST_F(SchemesPageTest, SchemesAreNeitherOverwrittenNorLeftInactiveNorRenamedNorChosenWhenAbsent) {
  Open(true, 99);
  EXPECT_EQ(Showing(), "-1  0");
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

  Open();
  pc_.state().schemes[1].name = L"Beta \u263A";
  pc_.state().schemes[1].description = L"\u263A text";
  Reopen();
  Send(IDC_SCHEME_COMBO, CB_DELETESTRING, 2);  // one short of the list
  answer_ = "New";
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(pc_.state().schemes.size(), 4u);
  EXPECT_EQ(Stored(2).name, L"Gamma");

  prompts.clear();
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
    EXPECT_EQ(pc_.fake().Called("Write") > 0, c == kRefused);
    EXPECT_EQ(pc_.fake().Called("SetActivePwrScheme"), 0u);
    EXPECT_EQ(pc_.state().schemes.size(), c == kGone ? 2u : 3u) << "no stray scheme";
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_EQ(host_.closes, 0) << "OK keeps the unsaved edits on show";
    EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
    EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 2);
  }
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
  void SetUp() override { testing::MovePointerAway(); }
  CSchemeTab& Open(SchemeTabKind kind, BOOLEAN throttle = TRUE) {
    SimState state = testing::XpLaptop();  // S3, S4, S5; throttling 25..100
    state.capabilities.ProcessorThrottle = throttle;
    pc_.Boot(state);
    EXPECT_TRUE(host_.IsWindow() || host_.Create());
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

  testing::PowerTestMachine pc_;
  EditorHost host_;
  std::unique_ptr<CSchemeTab> page_;
};

// Round trips per page: each control shows its own field, and a store gives the whole record
// back as it was loaded, values its controls cannot show included.
TEST_F(SchemeEditorTest, EveryFieldMakesTheRoundTripThroughItsOwnControlAndTakesALanguage) {
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

  // A language: the labels first, then each time field's presets.
  CSchemeTab& page = Open(SchemeTabKind::Machine);
  EXPECT_EQ(Text(IDC_MACHINE_LATENCY_SLEEP_LABEL), "Max system power state:") << "texts applied over the template's";
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
}

// The USER page. A time field tells a time it cannot show in a tip; a value its control cannot
// show is stored as loaded until the user edits that control, and then as shown; each edit is
// reported; the forced throttle's spins span the processor's range, and without throttling are
// fixed at 100 and off, while the fan tolerance stays free.
TEST_F(SchemeEditorTest, UserPageEditsTipsAndThrottleRange) {
  SchemeBuffer in = Unshowable(), out = SampleBuffer();
  CSchemeTab& page = Open(K::User);
  page.LoadFromPolicy(in);
  EXPECT_EQ(Text(IDC_USER_SPINDOWN_TIMEOUT_AC), "9:59:59");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "10:00:00");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "25:01:01");
  EXPECT_EQ(TipOf(IDC_USER_IDLE_TIMEOUT_AC), "");

  // Edited, they store what they show: a time set back to what its field showed too. Each edit is
  // reported.
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "1");
  EXPECT_GT(host_.modified, 0);
  Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "95959");
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_AC), "");
  Send(IDC_USER_IDLE_SENSITIVITY_AC_SPIN, UDM_SETPOS32, 0, 90);
  Type(IDC_USER_IDLE_TIMEOUT_AC, "95959");
  Type(IDC_USER_IDLE_TIMEOUT_DC, "00000");
  const int before = host_.modified;
  Click(IDC_USER_OPTIMIZE_DC);
  EXPECT_EQ(host_.modified, before + 1);
  // S1 is not supported on this machine: drawn dark red, still chosen and stored.
  Choose(IDC_USER_MAX_SLEEP_DC, 2);
  EXPECT_EQ(host_.modified, before + 2);
  Send(IDC_USER_FAN_TOLERANCE_AC_SPIN, UDM_SETPOS32, 0, 95);
  EXPECT_EQ(Text(IDC_USER_FAN_TOLERANCE_AC), "95");
  EXPECT_EQ(host_.modified, before + 3) << "a spin changes its edit";
  page.StoreToPolicy(out);
  const USER_POWER_POLICY& o = out.policy.user;  // the edited seven, then two still untouched
  EXPECT_EQ(std::vector<DWORD>({o.SpindownTimeoutAc, o.IdleSensitivityAc, o.IdleTimeoutAc, o.IdleTimeoutDc,
                                o.OptimizeForPowerDc, static_cast<DWORD>(o.MaxSleepDc), o.FanThrottleToleranceAc,
                                o.ForcedThrottleAc, o.SpindownTimeoutDc}),
            std::vector<DWORD>({35999, 90, 35999, 0, 0, PowerSystemSleeping1, 95, 10, 90061}));

  // Reloading a time the field can show takes the tip away.
  in.policy.user.SpindownTimeoutDc = 60;
  page.LoadFromPolicy(in);
  EXPECT_EQ(TipOf(IDC_USER_SPINDOWN_TIMEOUT_DC), "");

  auto* list = dynamic_cast<controls::CIconComboBox*>(fw::Window::FromHandle(Item(IDC_USER_MAX_SLEEP_DC)));
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

  // The tip window goes with the page, though the window that holds the page stays.
  const size_t tips = Tooltips().size();
  page_->DestroyWindow();
  EXPECT_EQ(Tooltips().size(), tips - 1);

  out.policy.user.ForcedThrottleAc = 100;
  for (BOOLEAN throttle : {TRUE, FALSE}) {
    Open(K::User, throttle).LoadFromPolicy(out);
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
  EXPECT_EQ(std::memcmp(&buffer.processor, &want, sizeof want), 0) << "each edit is stored in its own entry and column";

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
  for (int id : {IDC_CPU_TIME_CHECK_AC, IDC_CPU_DEMOTE_LIMIT_DC, IDC_CPU_PROMOTE_PERCENT_AC})
    EXPECT_EQ(Text(id) + (Enabled(id) ? " enabled" : ""), "") << id;
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

// The scheme list beneath the page.
TEST_F(SchemesPageTest, ThePowerPlatformListsReadsWritesAndDeletesSchemesAndTheGlobalPolicy) {
  pc_.Boot(testing::XpLaptop());
  PowerPlatform power;
  power.EnumSchemes();
  ASSERT_EQ(power.GetSchemeCount(), 6u);
  EXPECT_EQ(power.GetActiveSchemeIndex(), 1);
  // A buffer one short gets nothing and learns the length; the exact capacity gets the text.
  unsigned length = 0;
  std::string buffer(16, '#');
  power.GetSchemeText(1, buffer.data(), 14, &length, nullptr, 0, nullptr);
  EXPECT_EQ(length, 15u);
  EXPECT_EQ(buffer, std::string(16, '#'));
  power.GetSchemeText(1, buffer.data(), length, nullptr, nullptr, 0, nullptr);
  EXPECT_STREQ(buffer.c_str(), "Portable/Laptop");
  power.EnumSchemes();
  EXPECT_EQ(power.GetSchemeCount(), 6u) << "a new enumeration replaces the list";

  // A global policy write applies the active scheme again.
  GLOBAL_POWER_POLICY global{};
  ASSERT_EQ(PowerPlatform::ReadGlobalPolicy(&global), 0);
  global.user.DischargePolicy[1].BatteryLevel = 17;
  ASSERT_EQ(PowerPlatform::WriteGlobalPolicy(global), 0);
  EXPECT_EQ(pc_.fake().calls, (std::vector<std::string>{"WriteGlobalPwrPolicy", "SetActivePwrScheme 1"}));

  // Null records keep the stored ones; given records replace them; all of it in the state file.
  const DWORD video = pc_.state().schemes[3].policy.user.VideoTimeoutAc;
  EXPECT_EQ(power.SetActiveScheme(3), 0);
  EXPECT_EQ(pc_.state().schemes[3].policy.user.VideoTimeoutAc, video);
  POWER_POLICY changed{};
  changed.user.VideoTimeoutAc = 4321;
  EXPECT_EQ(power.SetActiveScheme(3, nullptr, &changed), 0);
  ASSERT_EQ(power.DeleteScheme(0), 1);
  SimState reread;
  ASSERT_TRUE(platform::sim::LoadState(pc_.machine().ini_path(), reread));
  ASSERT_EQ(reread.schemes.size(), 5u);
  EXPECT_EQ(reread.schemes[0].id, 1u) << "the deleted scheme is gone and the others moved up";
  EXPECT_EQ(reread.schemes[2].policy.user.VideoTimeoutAc, 4321u);
  EXPECT_EQ(reread.active_scheme, 3u);
  EXPECT_EQ(reread.global.user.DischargePolicy[1].BatteryLevel, 17u);

  // New schemes take the smallest free id and cut their texts; an active scheme missing from the
  // list gives the count as its index, and nothing reads past the end.
  pc_.state().schemes.erase(pc_.state().schemes.begin() + 2);  // ids 1, 2, 4, 5
  power.EnumSchemes();
  POWER_POLICY policy{};
  policy.user.VideoTimeoutAc = 321;
  int number = -1;
  ASSERT_EQ(power.WriteScheme(std::string(40, 'N').c_str(), std::string(300, 'd').c_str(), policy, &number), 0);
  EXPECT_EQ(number, 4);
  ASSERT_EQ(pc_.state().schemes.size(), 5u);
  const SimScheme& stored = pc_.state().schemes.back();
  EXPECT_EQ(stored.id, 3u);
  EXPECT_EQ(stored.description, std::wstring(255, L'd'));
  EXPECT_EQ(stored.policy.user.VideoTimeoutAc, 321u);
  EXPECT_EQ(power.schemes()[4].name, std::string(32, 'N')) << "the list holds what the system holds";
  pc_.state().schemes.resize(2);
  pc_.state().active_scheme = 9;
  power.EnumSchemes();
  int active = power.GetActiveSchemeIndex();
  EXPECT_EQ(active, 2);
  EXPECT_NE(power.ReadScheme(active, &policy), 0);
  char name[8] = "keep";
  length = 99;
  power.GetSchemeText(active, name, sizeof name - 1, &length, nullptr, 0, nullptr);
  EXPECT_STREQ(name, "keep");
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(power.SetActiveScheme(active), -1);
  EXPECT_EQ(power.DeleteScheme(active), 0);
  EXPECT_EQ(pc_.state().schemes.size(), 2u);
}

constexpr SimPowerBackend kXp = SimPowerBackend::Xp, kPlans = SimPowerBackend::Plans;

// Every field of both records set to a value of its own, each within what the field holds.
XpSchemeRecords DistinctRecords() {
  XpSchemeRecords r;
  uint32_t n = 0;
  for (const RecordField& f : RecordFields()) SetField(r, f, static_cast<uint32_t>(++n % (FieldMaximum(f) + 1ull)));
  return r;
}

// Every setting of the machine set by the plan itself, AC and DC apart, off its defaults.
void SetEverySetting(platform::sim::SimPlan& plan) {
  uint32_t n = 0;
  for (const platform::sim::SimSettingDefinition& s : platform::sim::SimSettings()) {
    const uint64_t values = s.values.empty() ? uint64_t{s.max} - s.min + 1 : s.values.size();
    const DWORD base = s.values.empty() ? s.min : 0;
    plan.values.push_back({s.guid, static_cast<DWORD>(base + (++n * 7) % values),
                           static_cast<DWORD>(base + (n * 13) % values)});
  }
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The program's own page on a laptop of either interface, its file dialogs answered with `path_`.
class SchemeFilesTest : public PageTest {
 protected:
  void Boot(SimState state) {
    page_.reset();
    pc_.reset();
    pc_ = std::make_unique<testing::PlanTestMachine>(std::move(state));
    auto page = std::make_unique<SchemesPage>(Host());
    page->set_file_asker([this](HWND, bool, bool, const std::wstring&) { return std::optional<std::wstring>(Wide(path_)); });
    ::SetFocus(host_.hwnd());
    Show(std::move(page));
    prompts_.clear();
  }
  size_t Count() { return page_->on_plans() ? pc_->store().plans.size() : pc_->state().schemes.size(); }
  std::string ExportSelected(int number) {
    path_ = dir_.File("out.vps");
    Choose(IDC_SCHEME_COMBO, number);
    Press(IDC_SCHEME_EXPORT);
    std::string bytes;
    EXPECT_EQ(ReadSchemeFileBytes(Wide(path_), &bytes), SchemeFileError::None);
    EXPECT_TRUE(prompts_.entries().empty()) << prompts_.entries().front().text;
    return bytes;
  }
  // Imports file `name`, written with `bytes` unless `write` is false; gives what the user was told.
  std::string Import(const std::string& bytes, const char* name = "in.vps", bool write = true) {
    path_ = dir_.File(name);
    EXPECT_TRUE(!write || dir_.Write(name, bytes));
    prompts_.clear();
    Press(IDC_SCHEME_IMPORT);
    return prompts_.entries().empty() ? "" : prompts_.entries().back().text;
  }
  size_t Creates() { return pc_->recorder().Called("PowerDuplicateScheme") + pc_->recorder().Called("WritePwrScheme"); }

  fw::PromptRecorder prompts_;  // no box may wait for a user
  testing::TempDir dir_;
  std::string path_;
  std::unique_ptr<testing::PlanTestMachine> pc_;
};

TEST_F(SchemeFilesTest, SameInterfaceRoundTripsKeepEveryByteAndEverySettingUnderAFreeName) {
  // XP: both records byte for byte, padding included. Members set by their system names are
  // written under their own keys, so a field or bit the portable table puts at the wrong place shows.
  SimState xp = testing::PlanLaptop(kXp);
  POWER_POLICY& policy = xp.schemes[1].policy;
  MACHINE_PROCESSOR_POWER_POLICY& processor = xp.schemes[1].processor;
  FromSchemeRecords(DistinctRecords(), &policy, &processor);
  policy.user.ForcedThrottleDc = 66;
  processor.ProcessorPolicyDc.DisableCStates = 1;
  processor.ProcessorPolicyDc.Reserved = 0x1234567;
  processor.ProcessorPolicyDc.Policy[2] = {50000, 100, 200, 40, 80, {1, 2}, 1, 0, 0x2aaaaaaa};
  const XpSchemeRecords records = ToSchemeRecords(policy, processor);
  Boot(xp);
  const std::string xp_file = ExportSelected(1);
  for (const char* line : {"user.ForcedThrottleDc = 66", "processor.Dc.DisableCStates = 1",
                           "processor.Dc.Reserved = 0x01234567", "processor.Dc.Policy2.AllowDemotion = 1",
                           "processor.Dc.Policy2.AllowPromotion = 0", "processor.Dc.Policy2.Reserved = 0x2aaaaaaa"})
    EXPECT_NE(xp_file.find(std::string("\n") + line), std::string::npos) << line;
  Boot(testing::PlanLaptop(kXp));
  const size_t schemes = Count();
  EXPECT_EQ(Import(xp_file), "") << "nothing to say";
  ASSERT_EQ(Count(), schemes + 1);
  const platform::sim::SimScheme& made = pc_->machine().state().schemes.back();
  EXPECT_EQ(ToSchemeRecords(made.policy, made.processor), records);
  EXPECT_EQ(made.name, xp.schemes[1].name + L" (2)");
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), static_cast<int>(schemes));

  // Plans: every setting, hidden ones too, and the personality.
  SimState unlocked = testing::PlanLaptop();
  unlocked.plans.policy_locked = {};  // the laptop's Group Policy fixes the wake timers
  SimState plans = unlocked;
  SetEverySetting(plans.plans.plans[2]);
  Boot(plans);
  const std::string plan_file = ExportSelected(2);
  Boot(unlocked);
  EXPECT_EQ(Import(plan_file), "");
  ASSERT_EQ(Count(), 4u);
  EXPECT_EQ(pc_->store().plans[3].personality, g::kPowerSaver);
  for (const platform::sim::SimSettingDefinition& s : platform::sim::SimSettings()) {
    const auto want = EffectiveValue(plans.plans.plans[2], s), got = pc_->Value(3, s.guid);
    EXPECT_EQ(std::make_pair(got.ac, got.dc), std::make_pair(want.ac, want.dc)) << platform::FormatGuid(s.guid);
  }

  // Where Group Policy fixes a setting the plan is made all the same, and the setting listed.
  Boot(testing::PlanLaptop());
  EXPECT_NE(Import(plan_file).find(platform::FormatGuid(g::kAllowWakeTimers)), std::string::npos);
  EXPECT_EQ(Count(), 4u);
}

TEST_F(SchemeFilesTest, AcrossInterfacesTheMappedFieldsAreTakenAndTheRestListedInOneMessage) {
  SimState xp = testing::PlanLaptop(kXp);
  USER_POWER_POLICY& user = xp.schemes[0].policy.user;
  user.VideoTimeoutAc = 420, user.VideoTimeoutDc = 180, user.SpindownTimeoutAc = 1500, user.SpindownTimeoutDc = 240;
  Boot(xp);
  // With the program's own editor tabs the keyboard starts on a control on screen, where a key is no edit.
  HWND focus = ::GetFocus();
  ASSERT_TRUE(focus);
  EXPECT_TRUE(::IsWindowVisible(focus)) << "the focus is on control " << ::GetDlgCtrlID(focus) << ", hidden";
  ::SendMessageA(focus, WM_CHAR, '5', 1);
  EXPECT_FALSE(Enabled(IDC_APPLY));
  EXPECT_EQ(Send(IDC_SCHEME_TABS, TCM_GETITEMCOUNT), 3);
  const std::string xp_file = ExportSelected(0);
  SimState plans = testing::PlanLaptop();
  plans.plans.plans[0].values = {{g::kVideoTimeout, 660, 90}, {g::kDiskTimeout, 900, 300}};
  Boot(plans);
  const std::string plan_file = ExportSelected(0);

  // XP file on the plan machine.
  std::string said = Import(xp_file);
  ASSERT_EQ(Count(), 4u);
  const auto video = pc_->Value(3, g::kVideoTimeout), disk = pc_->Value(3, g::kDiskTimeout);
  EXPECT_EQ(std::vector<DWORD>({video.ac, video.dc, disk.ac, disk.dc}), std::vector<DWORD>({420, 180, 1500, 240}));
  const std::string lead = i18n::Text(i18n::IDS_SCHEME_FILE_NOT_TAKEN).substr(0, 20);
  EXPECT_EQ(said.rfind(lead, 0), 0u) << said;
  EXPECT_NE(said.find("ThrottlePolicy"), std::string::npos) << said;

  // Plan file on the XP machine: a scheme of the machine gives every other field.
  Boot(testing::PlanLaptop(kXp));
  const size_t schemes = Count();
  said = Import(plan_file);
  ASSERT_EQ(Count(), schemes + 1);
  const USER_POWER_POLICY& made = pc_->machine().state().schemes.back().policy.user;
  EXPECT_EQ(std::vector<DWORD>({made.VideoTimeoutAc, made.VideoTimeoutDc, made.SpindownTimeoutAc}),
            std::vector<DWORD>({660, 90, 900}));
  EXPECT_NE(said.find(platform::FormatGuid(g::kBoostMode)), std::string::npos) << said;
  EXPECT_EQ(pc_->recorder().Called("WriteGlobalPwrPolicy"), 0u) << "the machine's global policy is left alone";
}

TEST_F(SchemeFilesTest, BadFilesAreRefusedAndImportsOrExportsThatFailLeaveNothingBehind) {
  const auto reason = [](SchemeFileError error, const char* key = "") {
    return i18n::FormatText(i18n::Text(SchemeFileErrorTextId(error)), {key});
  };
  for (SimPowerBackend backend : {kXp, kPlans}) {
    SCOPED_TRACE(static_cast<int>(backend));
    SimState state = testing::PlanLaptop(backend);
    state.plans.writes_ignored = g::kDiskTimeout;
    Boot(state);
    const std::string good = ExportSelected(0);
    const size_t count = Count();
    pc_->recorder().calls.clear();
    // A key the format lacks is named; a file too large to be one is not even parsed.
    const std::string unknown = Import(Replace(good, "\nend", "\ncolour = 3\nend"));
    EXPECT_NE(unknown.find(reason(SchemeFileError::UnknownKey, "colour")), std::string::npos) << unknown;
    const std::string huge = Import(good + std::string(300 * 1024, '#'));
    EXPECT_NE(huge.find(reason(SchemeFileError::TooLarge)), std::string::npos) << huge;
    EXPECT_EQ(Import("", "missing.vps", false), i18n::Text(i18n::IDS_SCHEME_FILE_UNREADABLE));
    EXPECT_EQ(Creates(), 0u) << "nothing was even begun";

    pc_->recorder().fail_processor_write = true;
    // On plans the file asks for a disk timeout other than the copy's own, which then does not take.
    EXPECT_EQ(Import(backend == kPlans ? Replace(good, " = 1200 ", " = 1260 ") : good),
              i18n::Text(i18n::IDS_SCHEME_FILE_REMOVED));
    EXPECT_EQ(Count(), count);
    EXPECT_GE(Creates(), 1u) << "it was created, then removed";
  }
  // A file of the system's own format goes to the system, which cannot read it here.
  EXPECT_EQ(Import("binary", "plan.pow"), i18n::FormatText(i18n::Text(i18n::IDS_SCHEME_FILE_SYSTEM_REFUSED),
                                                            {std::to_string(ERROR_INVALID_DATA)}));
  EXPECT_EQ(Count(), 3u);
  // A file that cannot be replaced keeps its old bytes, and no temporary is left beside it.
  ASSERT_TRUE(dir_.Write("old.vps", "old"));
  path_ = dir_.File("old.vps");
  HANDLE held = ::CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  prompts_.clear();
  Press(IDC_SCHEME_EXPORT);
  ::CloseHandle(held);
  ASSERT_EQ(prompts_.entries().size(), 1u) << "the file is in use";
  EXPECT_EQ(prompts_.entries()[0].text, i18n::Text(i18n::IDS_SCHEME_FILE_NOT_WRITTEN));
  std::string bytes;
  ASSERT_EQ(ReadSchemeFileBytes(Wide(path_), &bytes), SchemeFileError::None);
  EXPECT_EQ(bytes, "old");
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(dir_.File("vps*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

// Balanced (the active plan) sets its boost mode itself: Aggressive plugged in, Enabled on battery.
SimState BoostLaptop() {
  SimState state = testing::PlanLaptop();
  state.plans.plans[0].values.push_back({g::kBoostMode, 2, 1});
  return state;
}

// The page's last tab, the list of every setting, on that laptop.
class AllSettingsTest : public SchemeFilesTest {
 protected:
  void SetUp() override {
    Boot(BoostLaptop());
    tab_ = page_->tabs().all_settings();
    ASSERT_NE(tab_, nullptr);
    ShowTab(2);
    pc_->recorder().calls.clear();
  }
  HWND Tab(int id) const { return ::GetDlgItem(tab_->hwnd(), id); }
  HWND List() const { return Tab(IDC_ALL_SETTINGS_LIST); }
  void Key(HWND window, WPARAM key) const { ::SendMessageA(window, WM_KEYDOWN, key, 0); }
  // The row of a setting selected, as a click on it does.
  void Select(const PlanGuid& setting) const {
    const int item = tab_->ItemOf(platform::ToGuid(setting));
    ASSERT_GE(item, 0);
    ListView_SetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::string Cell(const PlanGuid& setting, int column) const {
    char text[128] = {};
    ListView_GetItemText(List(), tab_->ItemOf(platform::ToGuid(setting)), column, text, sizeof text);
    return text;
  }

  AllSettingsTab* tab_ = nullptr;
};

TEST_F(AllSettingsTest, EditsInPlaceFitTheSettingEscapeDropsThemAndApplyTakesThem) {
  // The column by Left or Right, the editor by Enter or F2, text typed into it (none: null), keys
  // to it, and Enter or Escape (0: a click on Apply with the editor open); what the cell shows.
  struct Row {
    PlanGuid setting;
    WPARAM side, open;
    const char* typed;
    std::initializer_list<WPARAM> keys;
    WPARAM close;
    const char* shown;
    bool changed;
  } rows[] = {
      {g::kBoostMode, VK_LEFT, VK_F2, nullptr, {VK_UP}, VK_ESCAPE, "Aggressive", false},
      {g::kIdleThreshold, VK_LEFT, VK_RETURN, "250", {}, VK_RETURN, "100 %", true},
      {g::kIdleThreshold, VK_RIGHT, VK_F2, nullptr, {VK_DOWN, VK_DOWN}, VK_RETURN, "48 %", true},
      {g::kVideoTimeout, VK_RIGHT, VK_RETURN, "5", {}, VK_ESCAPE, "300 Seconds", false},
      {g::kVideoTimeout, VK_LEFT, VK_RETURN, "", {}, VK_RETURN, "600 Seconds", false},
      {g::kBoostMode, VK_RIGHT, VK_RETURN, nullptr, {VK_DOWN}, 0, "Aggressive", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(&row - rows);
    Select(row.setting);
    Key(List(), row.side);
    Key(List(), row.open);
    ASSERT_TRUE(tab_->editing());
    HWND editor = ::GetFocus();
    ASSERT_TRUE(editor == Tab(IDC_ALL_SETTINGS_CHOICE) || editor == Tab(IDC_ALL_SETTINGS_NUMBER));
    if (row.typed) {
      ::SendMessageA(editor, EM_SETSEL, 0, -1);
      ::SendMessageA(editor, WM_CHAR, '\b', 0);
      for (const char* c = row.typed; *c; ++c) ::SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(*c), 0);
    }
    for (WPARAM key : row.keys) Key(editor, key);
    if (row.close) {
      Key(editor, row.close);
    } else {
      Press(IDC_APPLY);
      testing::Pump(50);
    }
    EXPECT_FALSE(tab_->editing());
    EXPECT_FALSE(::IsWindowVisible(editor));
    EXPECT_NE(::GetFocus(), editor);
    EXPECT_EQ(Cell(row.setting, row.side == VK_LEFT ? 1 : 2), row.shown);
    EXPECT_EQ(page_->apply_enabled(), row.changed);
    ::SendMessageA(page_->hwnd(), WM_COMMAND, IDCANCEL, 0);  // Cancel puts the plan back as it is
  }
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).dc, 2u) << "the click on Apply took the editor's value";
}

TEST_F(AllSettingsTest, DefaultGivesThePersonalitysValuesAndALockedSettingTakesNoEdit) {
  EXPECT_NE(Cell(g::kBoostMode, 0).find(i18n::Text(i18n::IDS_ALL_SETTINGS_HIDDEN)), std::string::npos);
  EXPECT_EQ(Cell(g::kBoostMode, 1) + "|" + Cell(g::kBoostMode, 2), "Aggressive|Enabled");
  EXPECT_EQ(Cell(g::kStandbyTimeout, 1), "1800 Seconds");
  Select(g::kBoostMode);
  ASSERT_TRUE(::IsWindowEnabled(Tab(IDC_ALL_SETTINGS_DEFAULT)));
  ::SendMessageA(Tab(IDC_ALL_SETTINGS_DEFAULT), BM_CLICK, 0, 0);
  EXPECT_EQ(Cell(g::kBoostMode, 2), "Aggressive") << "Balanced's default on battery";
  Press(IDC_APPLY);
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).ac, 2u);
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).dc, 2u);

  pc_->recorder().calls.clear();
  Select(g::kAllowWakeTimers);
  EXPECT_NE(Cell(g::kAllowWakeTimers, 0).find(i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED)), std::string::npos);
  EXPECT_EQ(testing::WindowText(Tab(IDC_ALL_SETTINGS_NOTE)), i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED_NOTE));
  EXPECT_FALSE(::IsWindowEnabled(Tab(IDC_ALL_SETTINGS_DEFAULT)));
  for (WPARAM key : {VK_RETURN, VK_F2}) {
    Key(List(), key);
    EXPECT_FALSE(tab_->editing());
  }
  ::SendMessageA(List(), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_FALSE(tab_->editing());
  EXPECT_FALSE(page_->apply_enabled());
  EXPECT_EQ(pc_->recorder().Called("PowerWrite"), 0u);
}

}  // namespace
}  // namespace vantrel::power
