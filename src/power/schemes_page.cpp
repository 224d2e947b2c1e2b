#include "power/schemes_page.h"

#include <commctrl.h>

#include <utility>

#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "power/power_backend.h"
#include "power/save_as_dialog.h"
#include "power/scheme_file_io.h"
#include "power/wide_text.h"
#include "resource.h"
#include "schemes_ids.h"

namespace vantrel::power {

namespace {

constexpr i18n::ControlText kTexts[] = {
    {i18n::IDS_OK, IDOK},
    {i18n::IDS_CANCEL, IDCANCEL},
    {i18n::IDS_APPLY, IDC_APPLY},
    {i18n::IDS_SCHEMES_POWER_SCHEME, IDC_SCHEME_GROUP},
    {i18n::IDS_SCHEMES_SAVE_AS, IDC_SCHEME_SAVE_AS},
    {i18n::IDS_SCHEMES_DELETE, IDC_SCHEME_DELETE},
    {i18n::IDS_SCHEMES_EXPORT, IDC_SCHEME_EXPORT},
    {i18n::IDS_SCHEMES_IMPORT, IDC_SCHEME_IMPORT},
    {i18n::IDS_SCHEMES_POWER_POLICY, IDC_POLICY_GROUP},
};
constexpr int kHandCursorControls[] = {IDC_SCHEME_COMBO, IDC_SCHEME_SAVE_AS, IDC_SCHEME_DELETE, IDC_SCHEME_EXPORT,
                                       IDC_SCHEME_IMPORT};

// A plan's texts stay wide, as the system gives them: the controls take them as they are.
std::wstring WindowTextW(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// The problems of a store that the user should hear of: fields without a setting and fixed
// ones are disabled on the tabs and never written, so they are no failure of this store.
bool StoreFailed(const StoreReport& report) {
  if (report.error != ERROR_SUCCESS) return true;
  for (const FieldProblem& problem : report.problems) {
    if (problem.problem != StoreProblem::NoCounterpart && problem.problem != StoreProblem::Locked) return true;
  }
  return false;
}

std::optional<std::string> AskWithDialog(HWND owner) {
  CSaveAsDialog dialog(::GetAncestor(owner, GA_ROOT));
  if (dialog.DoModal() != IDOK) return std::nullopt;
  return dialog.name();
}

}  // namespace

SchemesPage::SchemesPage(HWND parent) : SchemesPage(parent, {}, {}) {}

SchemesPage::SchemesPage(HWND parent, SchemeTabs::PageFactory make_tab, NameAsker ask_name)
    : CPage(IDD_SCHEMES_PAGE, parent, IDC_APPLY),
      make_tab_(make_tab ? std::move(make_tab) : SchemeTabs::PageFactory(&MakeSchemeTab)),
      ask_name_(ask_name ? std::move(ask_name) : NameAsker(&AskWithDialog)),
      ask_file_(&AskSchemeFile) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);
}

void SchemesPage::set_file_asker(FileAsker ask_file) {
  ask_file_ = ask_file ? std::move(ask_file) : FileAsker(&AskSchemeFile);
}

HWND SchemesPage::Combo() const { return Item(IDC_SCHEME_COMBO); }

int SchemesPage::selected() const {
  auto number = static_cast<int>(::SendMessageA(Combo(), CB_GETCURSEL, 0, 0));
  return number >= 0 && static_cast<unsigned>(number) < Count() ? number : -1;
}

void SchemesPage::Warn(const char* message) const { fw::AppPrompt(hwnd(), message, MB_OK | MB_ICONEXCLAMATION); }

std::string SchemesPage::SchemeName(int number) const {
  if (on_plans_) return plans_.GetPlanName(number);
  unsigned length = 0;
  power_.GetSchemeText(number, nullptr, 0, &length, nullptr, 0, nullptr);
  std::string name(length, '\0');
  power_.GetSchemeText(number, name.data(), length, nullptr, nullptr, 0, nullptr);
  return name;
}

std::string SchemesPage::SchemeDescription(int number) const {
  unsigned length = 0;
  power_.GetSchemeText(number, nullptr, 0, nullptr, nullptr, 0, &length);
  std::string text(length, '\0');
  power_.GetSchemeText(number, nullptr, 0, nullptr, text.data(), length, nullptr);
  return text;
}

BOOL SchemesPage::OnInitDialog() {
  ::SendMessageA(Item(IDC_SCHEME_DESCRIPTION), EM_LIMITTEXT, kSchemeDescriptionLimit, 0);
  const PowerBackend backend = CurrentPowerBackend();
  on_plans_ = backend == PowerBackend::Plans;
  has_backend_ = backend != PowerBackend::None;
  // No plan field lives on the PROCESSOR tab (the processor states are on USER and MACHINE).
  tabs_.SetUp(Item(IDC_SCHEME_TABS), !on_plans_ && PowerPlatform::HasProcessorSchemes() != 0, make_tab_, on_plans_);

  if (on_plans_) {
    plans_.EnumPlans();
    for (const PlanEntry& plan : plans_.plans())
      ::SendMessageW(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(plan.name.c_str()));
  } else {
    power_.EnumSchemes();
    for (unsigned number = 0; number < power_.GetSchemeCount(); ++number) {
      std::string name = SchemeName(static_cast<int>(number));
      ::SendMessageA(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
  }
  if (Count() > 0) {
    SelectActive();
  } else if (backend == PowerBackend::None) {
    // Neither interface answers (Wine's own power library): say so instead of empty fields.
    ShowNoScheme();
    SetItemText(IDC_SCHEME_DESCRIPTION, i18n::Text(i18n::IDS_SCHEMES_UNREADABLE));
    for (int id : {IDC_SCHEME_COMBO, IDC_SCHEME_DESCRIPTION, IDC_SCHEME_SAVE_AS, IDC_SCHEME_DELETE})
      EnableItem(id, false);
  }
  EnableFileButtons();
  EnableApply(false);
  ApplyLanguage();
  // The focus stays where the user chose the page: a focused drop-down list would take the
  // arrow keys and F10 meant for the page list and the menu bar.
  return FALSE;
}

void SchemesPage::ApplyLanguage() {
  CPage::ApplyLanguage();
  tabs_.ApplyLanguage();
}

void SchemesPage::LoadScheme(int number) {
  if (on_plans_) {
    LoadPlan(number);
    return;
  }
  LoadScope loading(*this);
  SetItemText(IDC_SCHEME_DESCRIPTION, SchemeDescription(number));
  // A record that cannot be read shows as empty fields that take no input.
  SchemeBuffer buffer;
  policy_loaded_ = power_.ReadScheme(number, &buffer.policy) == 0;
  tabs_.LoadPolicy(buffer);
  tabs_.EnablePolicy(policy_loaded_);
  processor_loaded_ = false;
  if (tabs_.page(SchemeTabKind::Processor)) {
    processor_loaded_ = power_.ReadProcessorScheme(number, &buffer.processor) == 0;
    tabs_.LoadProcessor(buffer);
    tabs_.EnableProcessor(processor_loaded_);
  }
  EnableFileButtons();
}

void SchemesPage::ShowNoScheme() {
  LoadScope loading(*this);
  ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SetItemText(IDC_SCHEME_DESCRIPTION, "");
  const SchemeBuffer empty;
  tabs_.LoadPolicy(empty);
  tabs_.LoadProcessor(empty);
  policy_loaded_ = processor_loaded_ = false;
  plan_read_ = false;
  EnableFileButtons();
}

void SchemesPage::SelectActive() {
  // Asked afresh: another program may have made another scheme active.
  int active = ActiveIndex();
  if (active < 0 || static_cast<unsigned>(active) >= Count()) {
    ShowNoScheme();  // the system's active scheme is not one of the list
    return;
  }
  ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(active), 0);
  LoadScheme(active);
}

SchemesPage::Stored SchemesPage::StoreScheme(int number) {
  if (on_plans_) return StorePlan(number, nullptr) ? Stored::kAll : Stored::kNothing;
  // The fields no tab shows keep their stored values; a scheme that cannot be read is not
  // overwritten with empty ones.
  SchemeBuffer buffer;
  if (!policy_loaded_ || power_.ReadScheme(number, &buffer.policy) != 0) {
    Warn(kReadFailedMessage);
    return Stored::kNothing;
  }
  tabs_.StorePolicy(buffer);
  std::string description = ItemText(IDC_SCHEME_DESCRIPTION);
  if (power_.WriteScheme(nullptr, description.c_str(), buffer.policy, &number) != 0) {
    Warn(kWriteFailedMessage);
    return Stored::kNothing;
  }
  if (processor_loaded_ && tabs_.StoreProcessor(buffer) && power_.WriteProcessorScheme(number, buffer.processor) != 0) {
    Warn(i18n::Text(i18n::IDS_SCHEMES_PROCESSOR_NOT_SAVED).c_str());
    return Stored::kPartly;
  }
  return Stored::kAll;
}

bool SchemesPage::OnApply() {
  int number = selected();
  if (number < 0) return false;
  if (on_plans_) {
    bool reapplied = false;
    if (!StorePlan(number, &reapplied)) return false;  // Apply stays on for another try
    // A store of the active plan made it active again already.
    if (!reapplied && plans_.Activate(number) != 0) Warn(kActivateFailedMessage);
    return true;
  }
  const Stored stored = StoreScheme(number);
  if (stored == Stored::kNothing) return false;  // Apply stays on for another try
  // What was written is made active; Apply stays on while a part is left to write.
  if (power_.SetActiveScheme(number) == -1) Warn(kActivateFailedMessage);
  return stored == Stored::kAll;
}

bool SchemesPage::OnOkay() {
  int number = selected();
  // On a store that is not whole the window stays open, so that the edits are not lost unseen.
  return number < 0 || StoreScheme(number) == Stored::kAll;
}

void SchemesPage::OnReset() {
  if (int number = selected(); number >= 0) LoadScheme(number);
  EnableApply(false);
  SelectActive();
}

void SchemesPage::Delete() {
  int number = selected();
  if (number < 0) return;
  std::string question = i18n::FormatText(i18n::Text(i18n::IDS_SCHEMES_DELETE_QUESTION), {SchemeName(number)});
  if (fw::Prompt(hwnd(), question, i18n::Text(i18n::IDS_SCHEMES_DELETE_CAPTION),
                 MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
    return;
  if (on_plans_) {
    DeletePlan(number);
    return;
  }
  if (power_.DeleteScheme(number) != 1) {
    Warn(kDeleteFailedMessage);
    return;
  }
  ::SendMessageA(Combo(), CB_DELETESTRING, static_cast<WPARAM>(number), 0);
  SelectActive();  // the scheme that took over the active state
  EnableApply(false);
}

void SchemesPage::SaveAs() {
  int source = selected();
  if (source < 0) return;
  std::optional<std::string> name = ask_name_(hwnd());
  if (!name) return;
  if (on_plans_) {
    SaveAsPlan(source, *name);
    return;
  }
  if (!power_.IsSchemeNameFree(name->c_str())) {
    Warn(kNameTakenMessage);
    return;
  }
  // The new scheme: the source's stored fields with the values on the tabs put in.
  SchemeBuffer buffer;
  if (!policy_loaded_ || power_.ReadScheme(source, &buffer.policy) != 0) {
    Warn(kReadFailedMessage);
    return;
  }
  tabs_.StorePolicy(buffer);
  int number = -1;  // a new scheme, whatever the list and the combo hold
  if (power_.WriteScheme(name->c_str(), nullptr, buffer.policy, &number) != 0) {
    Warn(kCreateFailedMessage);  // nothing was added; the selection stays
    return;
  }
  // The PROCESSOR page holds the source's whole record with its edits; a record that could not
  // be read is not written.
  const bool processor_written = !processor_loaded_ || !tabs_.StoreProcessor(buffer) ||
                                 power_.WriteProcessorScheme(number, buffer.processor) == 0;
  // The list holds the name as the system keeps it.
  std::string stored = SchemeName(number);
  const LRESULT item = ::SendMessageA(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(stored.c_str()));
  ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  LoadScheme(number);
  if (!processor_written) Warn(i18n::Text(i18n::IDS_SCHEMES_PROCESSOR_NOT_SAVED).c_str());
}

// ---- scheme files ------------------------------------------------------------------------------------

void SchemesPage::EnableFileButtons() {
  const int number = selected();
  EnableItem(IDC_SCHEME_EXPORT, number >= 0 && (on_plans_ ? plan_read_ : policy_loaded_));
  EnableItem(IDC_SCHEME_IMPORT, has_backend_);
}

void SchemesPage::Export() {
  const int number = selected();
  if (number < 0) return;
  // What the system keeps, not the unsaved values on the tabs.
  SchemeFile scheme;
  if ((on_plans_ ? PlanToFile(plans_, number, &scheme) : XpSchemeToFile(power_, number, &scheme)) != 0) {
    Warn(kReadFailedMessage);
    return;
  }
  std::string text;
  if (const SchemeFileProblem problem = WriteSchemeFile(scheme, &text); !problem.ok()) {
    Warn(SchemeFileMessage(problem).c_str());
    return;
  }
  // The name offered for the file: the scheme's, without what a file name cannot hold.
  std::wstring suggested = on_plans_ ? plans_.Entry(number)->name : Widen(SchemeName(number));
  for (wchar_t& c : suggested) {
    if (c < L' ' || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  }
  const std::optional<std::wstring> path = ask_file_(::GetAncestor(hwnd(), GA_ROOT), true, on_plans_, suggested);
  if (!path) return;
  if (!ReplaceFileWith(*path, text)) Warn(i18n::Text(i18n::IDS_SCHEME_FILE_NOT_WRITTEN).c_str());
}

void SchemesPage::Import() {
  if (!has_backend_) return;
  const std::optional<std::wstring> path = ask_file_(::GetAncestor(hwnd(), GA_ROOT), false, on_plans_, {});
  if (!path) return;
  ImportOutcome outcome;
  if (on_plans_ && IsSystemPlanFile(*path)) {
    outcome = ImportSystemPlanFile(plans_, *path);
  } else {
    std::string bytes;
    if (const SchemeFileError error = ReadSchemeFileBytes(*path, &bytes); error != SchemeFileError::None) {
      outcome.message = SchemeFileMessage({error, 0, {}});
    } else {
      outcome = on_plans_ ? ImportPlan(plans_, bytes) : ImportXpScheme(power_, bytes, selected());
    }
  }
  if (outcome.created >= 0) {
    // The new scheme joins the list at its end and is shown.
    if (on_plans_) {
      ::SendMessageW(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(plans_.Entry(outcome.created)->name.c_str()));
    } else {
      const std::string name = SchemeName(outcome.created);
      ::SendMessageA(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(outcome.created), 0);
    LoadScheme(outcome.created);
  }
  if (!outcome.message.empty()) {
    fw::AppPrompt(hwnd(), outcome.message, MB_OK | (outcome.created >= 0 ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
  }
}

// ---- the plan back end ----------------------------------------------------------------------------

void SchemesPage::LoadPlan(int number) {
  LoadScope loading(*this);
  const PlanEntry* entry = plans_.Entry(number);
  ::SetWindowTextW(Item(IDC_SCHEME_DESCRIPTION), entry ? entry->description.c_str() : L"");
  // A plan that cannot be read shows as empty fields, all disabled, and is never written.
  PlanView view;
  plan_read_ = plans_.Load(number, &view) == 0;
  if (!plan_read_) view = PlanView{};
  loaded_ = view;
  const SchemeBuffer buffer{view.policy, view.processor};
  tabs_.LoadPolicy(buffer);
  tabs_.EnablePolicy(plan_read_);
  tabs_.ShowSupport(&view.support);
  if (AllSettingsTab* all = tabs_.all_settings()) all->LoadPlan(plans_, plan_read_ ? number : -1);
  EnableFileButtons();
}

bool SchemesPage::StorePlan(int number, bool* reapplied) {
  if (!plan_read_) {
    Warn(kReadFailedMessage);
    return false;
  }
  // The tabs put the user's values into the plan as loaded; only what differs is written.
  SchemeBuffer buffer{loaded_.policy, loaded_.processor};
  tabs_.StorePolicy(buffer);
  PlanView edited = loaded_;
  edited.policy = buffer.policy;
  // The list of every setting first: what it wrote, the tabs then show as loaded.
  bool all_wrote = false, all_reapplied = false;
  AllSettingsTab* all = tabs_.all_settings();
  const bool all_written = !all || all->StorePlan(number, &all_wrote, &all_reapplied);
  const StoreReport report = plans_.Store(number, edited, loaded_);
  if (reapplied) *reapplied = report.reapplied || all_reapplied;
  bool written = !StoreFailed(report) && all_written;
  const PlanEntry* entry = plans_.Entry(number);
  std::wstring description = WindowTextW(Item(IDC_SCHEME_DESCRIPTION));
  if (entry && description != entry->description) {
    const std::wstring name = entry->name;
    written = plans_.Rename(number, name, &description) == 0 && written;
  }
  // What the next store compares with: the plan as it is now. A value the list wrote may be one
  // a tab shows: the tabs show the plan again, so that a later store does not write back what
  // they showed before.
  if (all_wrote) {
    LoadPlan(number);
  } else {
    PlanView now;
    if (plans_.Load(number, &now) == 0) loaded_ = now;
    if (all && all_written && !report.written.empty()) all->LoadPlan(plans_, number);
  }
  if (!written) Warn(kWriteFailedMessage);
  return written;
}

void SchemesPage::DeletePlan(int number) {
  if (plans_.Delete(number) != 0) {
    Warn(kDeleteFailedMessage);
    return;
  }
  ::SendMessageA(Combo(), CB_DELETESTRING, static_cast<WPARAM>(number), 0);
  SelectActive();  // the plan that took over the active state
  EnableApply(false);
}

void SchemesPage::SaveAsPlan(int source, const std::string& name) {
  const std::wstring wide = Widen(name);
  for (const PlanEntry& plan : plans_.plans()) {
    if (plan.name == wide) {
      Warn(kNameTakenMessage);
      return;
    }
  }
  if (!plan_read_) {
    Warn(kReadFailedMessage);
    return;
  }
  // The copy is made by the system from the stored plan; the values on the tabs go in after.
  SchemeBuffer buffer{loaded_.policy, loaded_.processor};
  tabs_.StorePolicy(buffer);
  PlanView edited = loaded_;
  edited.policy = buffer.policy;
  int number = -1;
  if (plans_.SaveAs(source, wide, nullptr, &number) != 0) {
    Warn(kCreateFailedMessage);  // nothing was added; the selection stays
    return;
  }
  // The copy takes the edits of the list of every setting too.
  bool all_written = true;
  if (AllSettingsTab* all = tabs_.all_settings()) all_written = all->StorePlan(number, nullptr, nullptr);
  const StoreReport report = plans_.Store(number, edited, loaded_);
  ::SendMessageW(Combo(), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(plans_.plans()[static_cast<size_t>(number)].name.c_str()));
  ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(number), 0);
  LoadPlan(number);
  if (StoreFailed(report) || !all_written) Warn(kWriteFailedMessage);
}

bool SchemesPage::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case IDC_SCHEME_COMBO:
      if (code != CBN_SELCHANGE) return false;
      if (int number = selected(); number >= 0) {
        LoadScheme(number);
        MarkChanged();  // another scheme to store and activate
      }
      return true;
    case IDC_SCHEME_DESCRIPTION:
      if (code != EN_CHANGE) return false;
      MarkChanged();
      return true;
    case IDC_SCHEME_DELETE:
    case IDC_SCHEME_SAVE_AS:
    case IDC_SCHEME_EXPORT:
    case IDC_SCHEME_IMPORT:
      if (code != BN_CLICKED) return false;
      if (id == IDC_SCHEME_DELETE) Delete();
      else if (id == IDC_SCHEME_SAVE_AS) SaveAs();
      else if (id == IDC_SCHEME_EXPORT) Export();
      else Import();
      return true;
    default:
      return CPage::OnCommand(id, code, control);
  }
}

bool SchemesPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_SCHEME_MODIFIED) {
    MarkChanged();
    result = 1;
    return true;
  }
  return CPage::OnMessage(msg, wp, lp, result);
}

}  // namespace vantrel::power
