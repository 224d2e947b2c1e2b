// The Schemes page of the main window: the system's power schemes and their editor.
#pragma once

#include "app/main_page.h"

namespace vantrel::power {

// For now the page holds its buttons only; the scheme list, the editor tabs, Save As, Delete
// and Apply come with the page's own work.
class SchemesPage : public app::CMainPage {
 public:
  explicit SchemesPage(HWND parent) noexcept;
  void ApplyLanguage() override;
};

}  // namespace vantrel::power
