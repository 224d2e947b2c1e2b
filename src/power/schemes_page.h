// The Schemes page of the main window: the system's power schemes and their editor.
#pragma once

#include "ui/page.h"

namespace vantrel::power {

// For now the page holds its buttons only; the scheme list, the editor tabs, Save As, Delete
// and Apply come with the page's own work.
class SchemesPage : public ui::CPage {
 public:
  explicit SchemesPage(HWND parent) noexcept;
  void ApplyLanguage() override;
};

}  // namespace vantrel::power
