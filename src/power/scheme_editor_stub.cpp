// TEMPORARY: stands in for the editor tab pages until they arrive; delete it with their merge.
// Without pages the Schemes page shows its tabs empty.
#include "power/scheme_editor.h"

namespace vantrel::power {

std::unique_ptr<CSchemeTab> MakeSchemeTab(SchemeTabKind, HWND) { return nullptr; }

}  // namespace vantrel::power
