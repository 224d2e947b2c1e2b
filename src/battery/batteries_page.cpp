#include "battery/batteries_page.h"

#include "resource.h"

namespace vantrel::battery {

CBatteriesPage::CBatteriesPage(HWND parent) noexcept : CPage(IDD_BATTERIES_PAGE, parent) {}

}  // namespace vantrel::battery
