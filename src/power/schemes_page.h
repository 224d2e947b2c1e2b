// The Schemes page of the main window: the system's power schemes, the selected one's
// description and fields on the editor tabs, Save As, Delete, Export and Import to and from a
// scheme file, and Apply (which also makes the scheme the active one). On the plan back end (power_backend.h) the schemes are the system's
// power plans, each shown through the same tabs; the fields a plan has no setting for are
// disabled and never written.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "power/power_plans.h"
#include "power/power_platform.h"
#include "power/scheme_tabs.h"
#include "ui/page.h"

namespace vantrel::power {

class SchemesPage : public ui::CPage {
 public:
  // Asks for the name of a new scheme: the name on OK, nothing on Cancel.
  using NameAsker = std::function<std::optional<std::string>(HWND owner)>;
  // Asks for a scheme file to write (`save`) or read: the path on OK, nothing on Cancel.
  using FileAsker =
      std::function<std::optional<std::wstring>(HWND owner, bool save, bool plans, const std::wstring& suggested)>;

  // With the editor's own tab pages and the Save As dialog.
  explicit SchemesPage(HWND parent);
  // Empty functions stand for the defaults.
  SchemesPage(HWND parent, SchemeTabs::PageFactory make_tab, NameAsker ask_name);

  void ApplyLanguage() override;
  // Replaces the standard file dialogs (Export and Import); an empty function restores them.
  void set_file_asker(FileAsker ask_file);

  // The scheme number selected in the combo, -1 when none.
  int selected() const;
  const SchemeTabs& tabs() const noexcept { return tabs_; }
  // True when the page shows the system's power plans.
  bool on_plans() const noexcept { return on_plans_; }

  // The fixed English messages, byte for byte: "already exist" is misspelled on purpose (a
  // test pins it).
  static constexpr char kActivateFailedMessage[] =
      "You can't set this power scheme in active state, system internal error!";
  static constexpr char kDeleteFailedMessage[] = "You can't delete this power scheme!";
  static constexpr char kNameTakenMessage[] = "The power scheme with current name already exist!";
  static constexpr char kReadFailedMessage[] = "You can't save this power scheme, the system can't read it!";
  static constexpr char kWriteFailedMessage[] = "You can't save this power scheme, system internal error!";
  static constexpr char kCreateFailedMessage[] = "You can't create this power scheme, system internal error!";

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // Stores the selected scheme and makes it the active one.
  bool OnApply() override;
  // Stores the selected scheme; a failed store keeps the window open.
  bool OnOkay() override;
  // The selected scheme again, then the active one.
  void OnReset() override;

 private:
  void LoadScheme(int number);
  void ShowNoScheme();
  // Selects and loads the active scheme, or nothing when it is not in the list.
  void SelectActive();
  enum class Stored { kNothing, kPartly, kAll };
  // What could be written, after saying why when not all.
  Stored StoreScheme(int number);
  void Delete();
  void SaveAs();
  void Export();
  void Import();
  // Export needs a scheme that could be read, Import a power interface.
  void EnableFileButtons();

  // The plan back end's side of each operation.
  void LoadPlan(int number);
  bool StorePlan(int number, bool* reapplied);
  void DeletePlan(int number);
  void SaveAsPlan(int source, const std::string& name);
  unsigned Count() const noexcept { return on_plans_ ? plans_.GetPlanCount() : power_.GetSchemeCount(); }
  int ActiveIndex() const { return on_plans_ ? plans_.GetActivePlanIndex() : power_.GetActiveSchemeIndex(); }

  std::string SchemeName(int number) const;
  std::string SchemeDescription(int number) const;
  void Warn(const char* message) const;
  HWND Combo() const;

  // The schemes only: the page looks for no battery.
  PowerPlatform power_{battery::BatteryPlatform::NoBatteries{}};
  bool on_plans_ = false;
  PowerPlans plans_;
  // The plan as loaded into the tabs, and whether it could be read: a store writes only what
  // differs from it.
  PlanView loaded_{};
  bool plan_read_ = false;
  SchemeTabs tabs_;
  // Whether the shown scheme's records could be read: one that could not is never written
  // from the placeholders its tabs show.
  bool policy_loaded_ = false;
  bool processor_loaded_ = false;
  SchemeTabs::PageFactory make_tab_;
  NameAsker ask_name_;
  FileAsker ask_file_;
  bool has_backend_ = false;
};

}  // namespace vantrel::power
