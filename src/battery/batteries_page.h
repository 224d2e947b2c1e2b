// The Batteries page of the main window: one battery's information and live status.
#pragma once

#include "ui/page.h"

namespace vantrel::battery {

// For now the page is empty, with nothing to translate; the battery list, the information and
// status fields, their refresh and the charge button come with the page's own work. Enter and
// Escape close the main window.
class CBatteriesPage : public ui::CPage {
 public:
  explicit CBatteriesPage(HWND parent) noexcept;
};

}  // namespace vantrel::battery
