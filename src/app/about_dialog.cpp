#include "app/about_dialog.h"

#include <cstdint>
#include <span>

#include "settings/core/app_settings.h"
#include "app/core/version_info.h"
#include "app/main_dialog.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::app {

namespace {

constexpr char kProductNameKey[] = "ProductName";
constexpr unsigned kFallbackMajor = 1;
constexpr unsigned kFallbackMinor = 0;

// Where the lines are painted, in dialog units: the product line beside the icon, the contact
// lines below.
constexpr int kProductLeft = 40;
constexpr int kProductTop = 14;
constexpr int kTextLeft = 10;
constexpr int kLineTops[] = {40, 52, 68, 80};

std::span<const uint8_t> VersionResource() {
  HINSTANCE instance = fw::ResourceInstance();
  HRSRC found = ::FindResourceA(instance, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(instance, found);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const uint8_t*>(bytes), static_cast<size_t>(::SizeofResource(instance, found))};
}

}  // namespace

std::string ProductLine() {
  const std::span<const uint8_t> resource = VersionResource();
  const std::string name = VersionString(resource, kProductNameKey).value_or(settings::kProductName);
  const ProductVersion version = FixedProductVersion(resource).value_or(ProductVersion{kFallbackMajor, kFallbackMinor});
  return name + " " + FormatVersion(version.major, version.minor);
}

CAboutDialog::CAboutDialog(HWND parent) noexcept : CLangDialog(IDD_ABOUT, parent) {}

BOOL CAboutDialog::OnInitDialog() {
  LOGFONTA font{};
  HFONT dialog_font = reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
  if (dialog_font && ::GetObjectA(dialog_font, sizeof font, &font)) {
    font.lfWeight = FW_BOLD;
    bold_font_.reset(::CreateFontIndirectA(&font));
  }
  ApplyLanguage();
  return TRUE;
}

void CAboutDialog::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {{i18n::IDS_ABOUT_CAPTION, i18n::kDialogCaption},
                                                 {i18n::IDS_OK, IDOK}};
  ApplyTexts(kTexts);
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

std::vector<std::string> CAboutDialog::Lines() const {
  return {ProductLine(), i18n::Text(i18n::IDS_ABOUT_COMMENTS),
          i18n::Text(i18n::IDS_ABOUT_WRITE_TO) + " " + kContactAddress, i18n::Text(i18n::IDS_ABOUT_DOWNLOAD),
          kWebSiteAddress};
}

void CAboutDialog::Paint(HDC dc) {
  const std::vector<std::string> lines = Lines();
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  auto draw = [&](const std::string& text, int left, int top, HFONT with) {
    RECT at{left, top, left, top};
    ::MapDialogRect(hwnd(), &at);
    fw::SelectObjectGuard select(dc, with);
    ::TextOutA(dc, at.left, at.top, text.c_str(), static_cast<int>(text.size()));
  };
  draw(lines[0], kProductLeft, kProductTop, bold_font_ ? bold_font_.get() : font);
  for (size_t i = 1; i < lines.size(); ++i) draw(lines[i], kTextLeft, kLineTops[i - 1], font);
  ::SetTextColor(dc, old_colour);
  ::SetBkMode(dc, old_mode);
}

bool CAboutDialog::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) {
  if (msg != WM_PAINT) return false;
  fw::PaintDC dc(hwnd());
  Paint(dc);
  return true;
}

}  // namespace vantrel::app
