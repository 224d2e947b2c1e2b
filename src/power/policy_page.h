// The Policy page of the main window: the system's global power policy, event by event.
#pragma once

#include "ui/page.h"

namespace vantrel::power {

// For now the page holds its buttons only; the event, action, flag and alarm controls and
// Apply come with the page's own work.
class PolicyPage : public ui::CPage {
 public:
  explicit PolicyPage(HWND parent) noexcept;
  void ApplyLanguage() override;
};

}  // namespace vantrel::power
