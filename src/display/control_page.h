// The Control page of the main window: the meter's options and the system's power flags.
#pragma once

#include "ui/page.h"

namespace vantrel::display {

// For now the page holds its buttons only; the option groups, loading, preview and Apply come
// with the page's own work.
class CControlPage : public ui::CPage {
 public:
  explicit CControlPage(HWND parent) noexcept;
  void ApplyLanguage() override;
};

}  // namespace vantrel::display
