// The battery notices' options: for each notice a box that switches it on and its level in
// per cent (1..100). OK puts the levels into effect and stores them at once; Cancel changes
// nothing.
#pragma once

#include <cstdint>

#include "i18n/lang_dialog.h"
#include "settings/core/app_settings.h"

namespace vantrel::display {

struct NoticeLevelRow;

class CNoticesDialog : public i18n::CLangDialog {
 public:
  // `settings` are the running program's options; the meter reads the levels from there.
  CNoticesDialog(HWND parent, settings::AppSettings& settings) noexcept;
  void ApplyLanguage() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;

 private:
  void LoadRow(const NoticeLevelRow& row) const;
  // 0 while the box is unchecked, else the typed level kept within 1..100.
  uint32_t ChosenLevel(const NoticeLevelRow& row) const;
  void EnableRow(const NoticeLevelRow& row) const;

  settings::AppSettings& settings_;
};

}  // namespace vantrel::display
